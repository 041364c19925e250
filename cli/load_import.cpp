#include "cli/load_import.h"

#include <strings.h>

#include <algorithm>

#include "platform/text.h"
#include "tablestore/import_reader.h"
#include "tablestore/slot_guard.h"

namespace cli {
namespace {

using tablestore::TableStore;

// One section of the file: its table, the columns its description names, and
// its data lines split into values (8-bit text, as read).
struct Section {
  std::string table;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The table a section line names: "[Log]" names Log exactly; otherwise the
// first load table whose name the line contains (as the store's import finds
// its section). nullptr when it names none.
const char* SectionTable(const std::string& line) {
  const size_t close = line.find(']');
  const std::string inner =
      line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  for (const char* t : kLoadTables) {
    if (SameName(inner, t)) return t;
  }
  for (const char* t : kLoadTables) {
    if (line.find(t) != std::string::npos) return t;
  }
  return nullptr;
}

// Splits "Name[col:T,col:T]" into the name and the column names. False when
// the line has no "[".
bool ParseDescription(const std::string& description, std::string* name,
                      std::vector<std::string>* columns) {
  const size_t open = description.find('[');
  if (open == std::string::npos) return false;
  *name = description.substr(0, open);
  std::string rest = description.substr(open + 1);
  if (!rest.empty() && rest.back() == ']') rest.pop_back();
  while (!rest.empty()) {
    std::string item;
    TableStore::NextToken(rest, item, ",");
    columns->push_back(item.substr(0, item.find(':')));
  }
  return true;
}

// Reads the sections of the file. False with `error` set on a section that
// names no load table or a description that does not fit its section.
bool ReadSections(std::string_view bytes, std::vector<Section>* sections, std::string* error) {
  tablestore::ImportLines lines(bytes);
  std::string line;
  bool pending = lines.Next(line);
  while (pending) {
    if (line.empty() || line[0] != '[') {
      pending = lines.Next(line);
      continue;
    }
    const char* table = SectionTable(line);
    if (table == nullptr) {
      *error = "section " + platform::Cp1252ToUtf8(line) +
               " names none of the tables Load, Log, "
               "Seg, DefC, DefB, KZ";
      return false;
    }
    Section section;
    section.table = table;
    std::string description, name;
    lines.Next(description);
    if (!ParseDescription(tablestore::CutDescription(description), &name, &section.columns) ||
        !SameName(name, table)) {
      *error = std::string("section [") + table + "]: the line after it must describe " + table +
               " as " + table + "[COLUMN:TYPE,...]";
      return false;
    }
    lines.Next(line);  // column titles
    while ((pending = lines.Next(line)) && (line.empty() || line[0] != '[')) {
      if (line.empty()) continue;
      section.rows.push_back(
          tablestore::SplitDataLine(line, static_cast<int>(section.columns.size())));
    }
    sections->push_back(std::move(section));
  }
  return true;
}

// The column indices of the section's columns in the table's slot; false with
// `error` set when the table lacks one.
bool MapColumns(const TableStore& store, int slot, const Section& section, std::vector<int>* map,
                std::string* error) {
  for (const std::string& column : section.columns) {
    const int col = store.ColumnIndex(slot, platform::Cp1252ToUtf8(column));
    if (col < 0) {
      *error = section.table + ": the file's column " + platform::Cp1252ToUtf8(column) +
               " is not in the scale file's table";
      return false;
    }
    map->push_back(col);
  }
  return true;
}

// The first Load row without SALE and LLR (the row added when a new file was
// opened), or -1.
int PlaceholderLoadRow(const TableStore& store, int slot) {
  const int sale = store.ColumnIndex(slot, "SALE");
  const int llr = store.ColumnIndex(slot, "LLR");
  if (sale < 0 || llr < 0) return -1;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    std::string s, l;
    store.GetText(slot, row, sale, s);
    store.GetText(slot, row, llr, l);
    if (s.empty() && l.empty()) return row;
  }
  return -1;
}

// Writes one section's rows into the table's slot (column information
// loaded). Returns the number of rows written, or -1 when a row cannot be
// added or a value cannot be written.
int WriteRows(TableStore& store, int slot, const Section& section, const std::vector<int>& map) {
  int written = 0;
  for (const std::vector<std::string>& values : section.rows) {
    int row = section.table == "Load" ? PlaceholderLoadRow(store, slot) : -1;
    if (row < 0) row = store.AddRow(slot, -1);
    if (row < 0) return -1;
    for (size_t i = 0; i < values.size(); ++i) {
      if (values[i].empty()) continue;
      if (store.SetText(slot, row, map[i], platform::Cp1252ToUtf8(values[i])) != 0) return -1;
    }
    ++written;
  }
  return written;
}

// Checks that every section's table exists and has the section's columns.
bool CheckTables(TableStore& store, const std::vector<Section>& sections, std::string* error) {
  for (const Section& section : sections) {
    tablestore::TableLease lease(store, section.table);
    if (lease.slot() < 0) {
      *error = "the scale file has no table " + section.table;
      return false;
    }
    std::vector<int> map;
    if (!MapColumns(store, lease.slot(), section, &map, error)) return false;
  }
  return true;
}

// Writes the sections of `table`. Returns the rows written, or -1.
int ImportTable(TableStore& store, const char* table, const std::vector<Section>& sections) {
  const auto named = [&](const Section& s) { return s.table == table; };
  if (std::none_of(sections.begin(), sections.end(), named)) return 0;
  tablestore::TableLease lease(store, table);
  if (lease.slot() < 0) return -1;
  // Without column information the rows get no defaults; the imported
  // values are written all the same.
  (void)store.LoadColumnInfo(lease.slot());
  int count = 0;
  for (const Section& section : sections) {
    if (!named(section)) continue;
    std::vector<int> map;
    std::string unused;
    MapColumns(store, lease.slot(), section, &map, &unused);
    const int n = WriteRows(store, lease.slot(), section, map);
    if (n < 0) return -1;
    count += n;
  }
  return count;
}

}  // namespace

int ImportLoadText(TableStore& store, std::string_view bytes, ImportSummary* summary) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  std::vector<Section> sections;
  if (!ReadSections(bytes, &sections, &summary->error)) return -1;
  if (sections.empty()) {
    summary->error = "no section of the tables Load, Log, Seg, DefC, DefB, KZ in the file";
    return -1;
  }
  if (!CheckTables(store, sections, &summary->error)) return -1;
  for (const char* table : kLoadTables) {
    const int n = ImportTable(store, table, sections);
    if (n < 0) {
      summary->error = std::string("a row could not be written to ") + table;
      return -1;
    }
    if (n > 0) summary->rows.emplace_back(table, n);
  }
  if (store.Commit() != tablestore::kOk) {
    summary->error = "the scale file could not be written: " + store.LastError();
    return -1;
  }
  return 0;
}

}  // namespace cli
