#include "cli/table_dump.h"

#include <strings.h>

#include "mkstore/json_dump.h"
#include "mkstore/storage.h"

namespace cli {
namespace {

// DumpJson starts every top-level entry on a line of its own with this text;
// no other line does (rows start with a blank, and texts carry their line
// breaks as \u000a).
constexpr std::string_view kEntryStart = "{\"name\": \"";

// The entry of top-level view `table` in `dump`, or "" when there is none.
// Names are compared as they appear quoted in the dump, letter case ignored.
std::string PickEntry(const std::string& dump, const std::string& table) {
  size_t pos = 0;
  while ((pos = dump.find(std::string("\n") + std::string(kEntryStart), pos)) !=
         std::string::npos) {
    const size_t begin = pos + 1;
    const size_t nameAt = begin + kEntryStart.size();
    pos = nameAt;
    if (dump.size() < nameAt + table.size() + 1 || dump[nameAt + table.size()] != '"' ||
        strncasecmp(dump.data() + nameAt, table.data(), table.size()) != 0) {
      continue;
    }
    // The entry ends before the ",\n" that starts the next one, or before the
    // "\n]\n}\n" that closes the views.
    size_t end = dump.find(std::string(",\n") + std::string(kEntryStart), begin);
    if (end == std::string::npos) end = dump.rfind("\n]\n}\n");
    return dump.substr(begin, end - begin) + "\n";
  }
  return "";
}

}  // namespace

bool DumpFile(const std::string& path, const std::string& table, std::string* json,
              std::string* error) {
  std::unique_ptr<mk::Storage> storage;
  const mk::Status status = mk::Storage::OpenReadOnly(path, &storage);
  if (!status.ok()) {
    // The engine's messages start with the path, which the caller adds.
    *error = status.message();
    if (error->starts_with(path + ": ")) error->erase(0, path.size() + 2);
    return false;
  }
  *json = mk::DumpJson(*storage);
  if (table.empty()) return true;
  *json = PickEntry(*json, table);
  if (json->empty()) {
    *error = "no table named " + table;
    return false;
  }
  return true;
}

}  // namespace cli
