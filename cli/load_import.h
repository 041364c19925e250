// Importing a load from a text file: the header, logs, segments, defects and
// sampling frequencies of a load, as a field office receives them, appended
// to the tables of an open scale file.
//
// The file is in the table store's import text format (8-bit Windows-1252
// text): lines before the first section are ignored; each section is a line
// beginning with "[" that names one of the tables Load, Log, Seg, DefC, DefB
// or KZ, then that table's description line ("Log[LOG:I,S:S,...]", anything
// after its first "]" ignored), one line of column titles, and one data line
// per row (values separated by ",", "^" standing for ","; empty lines
// skipped) up to the next line beginning with "[". A table may have several
// sections.
//
// Unlike the store's ImportView, which adds empty rows and needs the file's
// description to equal the table's, each row here is added the way a screen
// adds one (TableStore::AddRow with the DataDictionary defaults) and the
// file's values are written into the columns of the same name: the file may
// list fewer columns, or list them in another order, and the columns it
// leaves out, or leaves empty, keep their defaults (VOID 0, HIT -1, ...).
//
// A new scale file's Load table holds one row without SALE and LLR, added
// when the file was opened; the first imported Load row is written into such
// a row instead of beside it, so that the imported header is the file's first
// load.
//
// The whole file is checked before anything is written: an unknown section,
// a description for another table, or a column the table lacks refuses the
// import and leaves the tables as they were. Rows are committed at the end.
//
// Thread safety: as TableStore (one thread).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tablestore/table_store.h"

namespace cli {

// The tables a load file may fill, in the order their sections are written.
inline constexpr const char* kLoadTables[] = {"Load", "Log", "Seg", "DefC", "DefB", "KZ"};

// What an import did: rows added per table (in the order of kLoadTables,
// tables without rows left out), or why it was refused.
struct ImportSummary {
  std::vector<std::pair<std::string, int>> rows;
  std::string error;  // empty on success; one line, without a line break
};

// Imports the sections of `bytes` (the file's contents) into the open file of
// `store`. Returns 0 with `summary->rows` filled; -1 with `summary->error`
// set when the text is refused (nothing written), when a table is missing
// from the file or cannot be opened, or when the commit fails; -2 when no
// file is open. REQUIRES: summary != nullptr.
int ImportLoadText(tablestore::TableStore& store, std::string_view bytes, ImportSummary* summary);

}  // namespace cli
