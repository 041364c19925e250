// The dump command's JSON: a scale file's tables as the reference dumps beside
// the Metakit fixtures lay them out (fixtures/metakit/README.md), values
// typed as stored. The whole storage comes from mkstore's DumpJson; this file
// only opens the file read-only and picks one table out when asked.
//
// Thread safety: plain functions.
#pragma once

#include <string>

namespace cli {

// Sets `json` to the dump of the storage file at `path`: every table, or with
// a non-empty `table` only that table's object ({"name": ..., "columns":
// ..., "row_count": ..., "rows": ...}, name matched without regard to letter
// case), ending in a newline. Returns true; false with `error` set (one line
// without the file's path, which the caller puts in front) when the file
// cannot be opened or is damaged, or has no such table. The file is never
// written.
[[nodiscard]] bool DumpFile(const std::string& path, const std::string& table, std::string* json,
                            std::string* error);

}  // namespace cli
