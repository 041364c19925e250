#include "app/load_import.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

#include "platform/text.h"
#include "sampling/load_checks.h"
#include "sampling/log_tables.h"
#include "scaling/load_log_rows.h"
#include "tablestore/import_reader.h"
#include "tablestore/slot_guard.h"

namespace app {
namespace {

using tablestore::TableStore;

// One data line of a section: its line number in the file and its values
// (UTF-8).
struct DataRow {
  int line = 0;
  std::vector<std::string> values;
};

// One section of the file: its table, the line numbers of its section,
// description and titles lines, the columns its description names, its
// titles line and its data lines split into values (all UTF-8).
struct Section {
  std::string table;
  int line = 0;
  int descriptionLine = 0;
  int titlesLine = 0;  // 0 when the text ends before it
  std::string titles;
  std::vector<std::string> columns;
  std::vector<DataRow> rows;
};

// A load's SALE and LLR, letter case folded as the selections fold it.
using FoldedKey = std::pair<std::string, std::string>;

std::string Fold(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return platform::EqualsIgnoringAsciiCase(a, b);
}

std::string At(int line) { return "line " + std::to_string(line) + ": "; }

std::string LoadName(const std::string& sale, const std::string& llr) {
  return "SALE " + sale + " LLR " + llr;
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

// The lines of the file, counted, and turned into UTF-8 the one way the
// whole file is read.
class Lines {
 public:
  Lines(std::string_view bytes, bool utf8) : lines_(bytes), utf8_(utf8) {}
  bool Next(std::string& line) {
    if (!lines_.Next(line)) return false;
    ++number_;
    if (!utf8_) line = platform::Cp1252ToUtf8(line);
    return true;
  }
  int number() const { return number_; }

 private:
  tablestore::ImportLines lines_;
  bool utf8_;
  int number_ = 0;
};

// Reads the sections of the file. False with `error` set on a section that
// names no load table or a description that does not fit its section.
bool ReadSections(Lines& lines, std::vector<Section>* sections, std::string* error) {
  std::string line;
  bool pending = lines.Next(line);
  while (pending) {
    if (line.empty() || line[0] != '[') {
      pending = lines.Next(line);
      continue;
    }
    const char* table = SectionTable(line);
    if (table == nullptr) {
      *error = At(lines.number()) + "section " + line +
               " names none of the tables Load, Log, Seg, DefC, DefB, KZ";
      return false;
    }
    Section section;
    section.table = table;
    section.line = lines.number();
    std::string description, name;
    lines.Next(description);
    section.descriptionLine = lines.number();
    if (!ParseDescription(tablestore::CutDescription(description), &name, &section.columns) ||
        !SameName(name, table)) {
      *error = At(section.descriptionLine) + "section [" + table +
               "]: the line after it must describe " + table + " as " + table + "[COLUMN:TYPE,...]";
      return false;
    }
    if (lines.Next(section.titles)) section.titlesLine = lines.number();
    if (!section.titles.empty() && section.titles[0] == '[') {
      *error = At(section.titlesLine) + "section [" + table +
               "] has no column titles line: a new section begins where its titles belong";
      return false;
    }
    while ((pending = lines.Next(line)) && (line.empty() || line[0] != '[')) {
      if (line.empty()) continue;
      section.rows.push_back({lines.number(), tablestore::SplitDataLine(
                                                  line, static_cast<int>(section.columns.size()))});
    }
    sections->push_back(std::move(section));
  }
  return true;
}

// The type letter of every column of the slot's view, by folded name.
std::map<std::string, char> ColumnTypes(const TableStore& store, int slot) {
  std::map<std::string, char> types;
  std::string description;
  if (store.DescribeView(slot, description, false) != 0) return types;
  std::string rest = description.substr(description.find('[') + 1);
  while (!rest.empty()) {
    std::string item;
    TableStore::NextToken(rest, item, ",]");
    const size_t colon = item.find(':');
    if (colon != std::string::npos && colon + 1 < item.size()) {
      types[Fold(item.substr(0, colon))] = item[colon + 1];
    }
  }
  return types;
}

// Why `value` cannot be stored as it stands in a column of type `type`; ""
// when it can.
std::string ValueProblem(const std::string& value, char type) {
  errno = 0;
  char* end = nullptr;
  switch (type) {
    case 'I':
    case 'L': {
      const long long n = std::strtoll(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0') return "is not a whole number";
      const long long max = type == 'I' ? INT_MAX : LLONG_MAX;
      const long long min = type == 'I' ? INT_MIN : LLONG_MIN;
      if (errno == ERANGE || n > max || n < min) return "is out of range";
      return "";
    }
    case 'F':
    case 'D': {
      const double x =
          type == 'F' ? std::strtof(value.c_str(), &end) : std::strtod(value.c_str(), &end);
      if (end == value.c_str() || *end != '\0' || std::isnan(x)) return "is not a number";
      if (std::isinf(x) || errno == ERANGE) return "is out of range";
      return "";
    }
    default:
      return "";
  }
}

// The column indices of the section's columns in the table's slot; false with
// `error` set when the table lacks one.
bool MapColumns(const TableStore& store, int slot, const Section& section, std::vector<int>* map,
                std::string* error) {
  for (const std::string& column : section.columns) {
    const int col = store.ColumnIndex(slot, column);
    if (col < 0) {
      *error = At(section.descriptionLine) + section.table + ": the file's column " + column +
               " is not in the scale file's table";
      return false;
    }
    map->push_back(col);
  }
  return true;
}

// The type letter of the section's column `i` in its table ('S' when unknown).
char TypeOf(const Section& section, size_t i, const std::map<std::string, char>& types) {
  const auto type = types.find(Fold(section.columns[i]));
  return type == types.end() ? 'S' : type->second;
}

// When the section's titles line reads as one of its rows (a number in a
// number column, and no value its column cannot hold), the column and value
// that show it ("LOG \"1\""); "" for a line of titles. A text whose titles
// line is missing would otherwise lose its first row as titles.
std::string DataInTitles(const Section& section, const std::map<std::string, char>& types) {
  const std::vector<std::string> values =
      tablestore::SplitDataLine(section.titles, static_cast<int>(section.columns.size()));
  std::string number;
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].empty()) continue;
    const char type = TypeOf(section, i, types);
    if (!ValueProblem(values[i], type).empty()) return "";
    if (number.empty() && type != 'S') number = section.columns[i] + " \"" + values[i] + "\"";
  }
  return number;
}

// Checks that every section's table exists, has the section's columns and
// can hold every value as it stands, and that its titles line is no row.
bool CheckTables(TableStore& store, const std::vector<Section>& sections, std::string* error) {
  for (const Section& section : sections) {
    tablestore::TableLease lease(store, section.table);
    if (lease.slot() < 0) {
      *error = At(section.line) + "the scale file has no table " + section.table;
      return false;
    }
    std::vector<int> map;
    if (!MapColumns(store, lease.slot(), section, &map, error)) return false;
    const std::map<std::string, char> types = ColumnTypes(store, lease.slot());
    const std::string data = DataInTitles(section, types);
    if (!data.empty()) {
      *error = At(section.titlesLine) + "this line of section [" + section.table +
               "] is read as its column titles, but it holds a row (" + data +
               "): the titles line is missing";
      return false;
    }
    for (const DataRow& row : section.rows) {
      for (size_t i = 0; i < row.values.size(); ++i) {
        if (row.values[i].empty()) continue;
        const std::string problem = ValueProblem(row.values[i], TypeOf(section, i, types));
        if (problem.empty()) continue;
        *error = At(row.line) + section.table + " column " + section.columns[i] + ": \"" +
                 row.values[i] + "\" " + problem;
        return false;
      }
    }
  }
  return true;
}

// The value of `column` in `row` of `section`; "" when the section lacks it.
std::string ValueOf(const Section& section, const DataRow& row, const char* column) {
  for (size_t i = 0; i < section.columns.size(); ++i) {
    if (SameName(section.columns[i], column)) return row.values[i];
  }
  return "";
}

// SALE and LLR of every row of the Load table.
std::vector<FoldedKey> StoredLoadKeys(TableStore& store) {
  std::vector<FoldedKey> keys;
  for (const sampling::TextRow& row : sampling::ReadRows(store, "Load", "", "", {"SALE", "LLR"})) {
    keys.emplace_back(Fold(row.Get("SALE")), Fold(row.Get("LLR")));
  }
  return keys;
}

// Refuses a SALE or LLR with a comma anywhere, and a Load row whose load
// the text or (unless `replace`) the file already holds; the loads to
// replace go to `replaced`. (A Load row left without SALE and LLR is
// refused once written, when its defaults are known: WriteRows.)
bool CheckLoadKeys(TableStore& store, const std::vector<Section>& sections, bool replace,
                   std::set<FoldedKey>* replaced, std::vector<std::string>* names,
                   std::string* error) {
  const std::vector<FoldedKey> stored = StoredLoadKeys(store);
  std::set<FoldedKey> seen;
  for (const Section& section : sections) {
    for (const DataRow& row : section.rows) {
      for (const char* column : {"SALE", "LLR"}) {
        if (ValueOf(section, row, column).find(',') == std::string::npos) continue;
        *error = At(row.line) + column + " \"" + ValueOf(section, row, column) +
                 "\" has a comma (\"^\" in the text): " + column + " can't have commas";
        return false;
      }
      if (section.table != "Load") continue;
      const std::string sale = ValueOf(section, row, "SALE"), llr = ValueOf(section, row, "LLR");
      const FoldedKey key{Fold(sale), Fold(llr)};
      const std::string name = "SALE " + sale + " LLR " + llr;
      if (!seen.insert(key).second) {
        *error = At(row.line) + "the text holds the load " + name + " twice";
        return false;
      }
      if (std::find(stored.begin(), stored.end(), key) == stored.end()) continue;
      if (sale.empty() && llr.empty()) continue;  // the new file's empty row
      if (!replace) {
        *error = At(row.line) + "the file already holds the load " + name +
                 "; nothing was imported (--replace replaces it)";
        return false;
      }
      replaced->insert(key);
      names->push_back(name);
    }
  }
  return true;
}

// Removes the rows of the `replaced` loads from Log, Seg, DefC and DefB and
// empties SALE and LLR of their Load rows, which the imported Load rows then
// fill. Returns false when a row could not be changed.
bool RemoveReplacedLoads(TableStore& store, const std::set<FoldedKey>& replaced) {
  for (const char* table : {"Log", "Seg", "DefC", "DefB", "Load"}) {
    tablestore::TableLease lease(store, table);
    const int sale = store.ColumnIndex(lease.slot(), "SALE");
    const int llr = store.ColumnIndex(lease.slot(), "LLR");
    if (sale < 0 || llr < 0) continue;
    for (int row = store.RowCount(lease.slot()) - 1; row >= 0; --row) {
      std::string s, l;
      store.GetText(lease.slot(), row, sale, s);
      store.GetText(lease.slot(), row, llr, l);
      if (replaced.count({Fold(s), Fold(l)}) == 0) continue;
      const bool done = std::string(table) == "Load"
                            ? store.SetText(lease.slot(), row, sale, "") == 0 &&
                                  store.SetText(lease.slot(), row, llr, "") == 0
                            : store.RemoveRow(lease.slot(), row) >= 0;
      if (!done) return false;
    }
  }
  return true;
}

// The first Load row without SALE and LLR (the row added when a new file was
// opened, or the row of a load being replaced), or -1.
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

// A row written by the import: the table's row index and the text's line.
struct WrittenRow {
  int row = 0;
  int line = 0;
};
using WrittenRows = std::map<std::string, std::vector<WrittenRow>>;  // by table

// Writes one section's rows into the table's slot (column information
// loaded), noting each in `written`. False with `error` set when a row
// cannot be added or a value cannot be written, and for a Load row left
// without SALE and LLR: it would stand for no load (and the next Load row
// would take its place).
bool WriteRows(TableStore& store, int slot, const Section& section, const std::vector<int>& map,
               std::vector<WrittenRow>* written, std::string* error) {
  const bool load = section.table == "Load";
  for (const DataRow& values : section.rows) {
    int row = load ? PlaceholderLoadRow(store, slot) : -1;
    if (row < 0) row = store.AddRow(slot, -1);
    bool done = row >= 0;
    for (size_t i = 0; done && i < values.values.size(); ++i) {
      done = values.values[i].empty() || store.SetText(slot, row, map[i], values.values[i]) == 0;
    }
    if (!done) {
      *error = At(values.line) + "the row could not be written to " + section.table;
      return false;
    }
    if (load && PlaceholderLoadRow(store, slot) == row) {
      *error = At(values.line) + "the Load row has neither SALE nor LLR";
      return false;
    }
    written->push_back({row, values.line});
  }
  return true;
}

// Writes the sections of `table`. False with `error` set when a row could
// not be written.
bool ImportTable(TableStore& store, const char* table, const std::vector<Section>& sections,
                 std::vector<WrittenRow>* written, std::string* error) {
  tablestore::TableLease lease(store, table);
  if (lease.slot() < 0) {
    *error = std::string("the table ") + table + " could not be opened";
    return false;
  }
  // Without column information the rows get no defaults; the imported
  // values are written all the same.
  (void)store.LoadColumnInfo(lease.slot());
  for (const Section& section : sections) {
    if (section.table != table) continue;
    std::vector<int> map;
    std::string unused;
    MapColumns(store, lease.slot(), section, &map, &unused);
    if (!WriteRows(store, lease.slot(), section, map, written, error)) return false;
  }
  return true;
}

// Reads `columns` of the `written` rows of the stored table `table`, in
// order (the table opened and the columns looked up once). A column the
// table lacks is left out of the rows.
std::vector<sampling::TextRow> ReadWrittenRows(TableStore& store, const std::string& table,
                                               const std::vector<WrittenRow>& written,
                                               const std::vector<std::string>& columns) {
  const tablestore::TableLease lease(store, table);
  std::vector<std::pair<std::string, int>> found;
  for (const std::string& column : columns) {
    const int col = store.ColumnIndex(lease.slot(), column);
    if (col >= 0) found.emplace_back(column, col);
  }
  std::vector<sampling::TextRow> rows;
  rows.reserve(written.size());
  for (const WrittenRow& w : written) {
    sampling::TextRow cells;
    for (const auto& [column, col] : found) {
      std::string value;
      store.GetText(lease.slot(), w.row, col, value);
      cells.Put(column, value);
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// Adds each line of `text` (lines ending in "\n") to `out`, after `prefix`.
void AddLines(const std::string& prefix, const std::string& text, std::vector<std::string>* out) {
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = text.find('\n', begin);
    out->push_back(prefix + text.substr(begin, end - begin));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
}

const std::vector<std::string> kLogColumns = {"SALE", "LLR", "LOG", "S",   "SP",   "P",
                                              "LN",   "SD",  "LD",  "HIT", "VOID", "SkipSeg"};

// What the checks of an imported log read of its load, once per load: the
// load's check context and its Seg and DefC rows.
struct LoadForChecks {
  sampling::LogCheckContext context;
  scaling::StoredLoadRows rows;
};

// The log and defect checks of the data entry screen on one imported log
// (`row`, read from the file). Its segments and defects come from the rows
// of its load, read once for all its logs, and only for a log with all three
// measurements (the others have none to check).
void CheckImportedLog(TableStore& store, const sampling::TextRow& row, int line,
                      bool defectsImported, std::map<FoldedKey, LoadForChecks>* loads,
                      ImportSummary* summary) {
  const sampling::LoadKey load{row.Get("SALE"), row.Get("LLR")};
  const FoldedKey folded{Fold(load.sale), Fold(load.llr)};
  auto found = loads->find(folded);
  if (found == loads->end()) {
    found =
        loads->emplace(folded, LoadForChecks{sampling::ReadLogCheckContext(store, load), {}}).first;
    // A load whose rows cannot be read (no free slot) is checked without
    // segments, as the data entry screen's check would be.
    (void)scaling::ReadStoredLoadRows(store, "Cubic", load.sale, load.llr, &found->second.rows);
  }
  const LoadForChecks& checks = found->second;
  const scaling::LogKey key = sampling::LogKeyFromRow(row);
  const auto read = [&] { return sampling::LogSegmentsOf(checks.rows, key); };
  const std::string prefix = At(line) + "Log " + row.Get("LOG") + ": ";
  const sampling::Findings findings = sampling::CheckLog(checks.context, row, read);
  AddLines(prefix, findings.errors, &summary->errors);
  AddLines(prefix, findings.warnings, &summary->warnings);
  const bool measured = row.GetInt("LN") > 0 && row.GetInt("SD") > 0 && row.GetInt("LD") > 0;
  if (!defectsImported || !measured || checks.context.scaleSystem != "Cubic" ||
      row.GetInt("VOID") == 1) {
    return;
  }
  for (const sampling::SegmentDefects& segment : read()) {
    const sampling::DefectGridProblem problem =
        sampling::CheckDefectGrid(segment.defects, row.GetInt("LN"));
    if (problem.record == 0) continue;
    summary->errors.push_back(prefix + "Seg " + std::to_string(segment.seg) + ": " +
                              problem.message);
  }
}

// The logs of the file: SALE, LLR (folded), LOG and S.
using LogId = std::tuple<std::string, std::string, std::string, std::string>;

std::set<LogId> StoredLogs(TableStore& store) {
  std::set<LogId> logs;
  for (const sampling::TextRow& row :
       sampling::ReadRows(store, "Log", "", "", {"SALE", "LLR", "LOG", "S"})) {
    logs.insert({Fold(row.Get("SALE")), Fold(row.Get("LLR")), row.Get("LOG"), row.Get("S")});
  }
  return logs;
}

// Imported segment and defect rows: each belongs to a log of the file, and
// has no negative length or measurement.
void CheckImportedParts(TableStore& store, const WrittenRows& written, ImportSummary* summary) {
  const std::set<LogId> logs = StoredLogs(store);
  const std::vector<std::string> measures = {"LN", "SD", "LD", "M1", "M2", "M3", "M4", "PCT"};
  std::vector<std::string> columns = {"SALE", "LLR", "LOG", "S"};
  columns.insert(columns.end(), measures.begin(), measures.end());
  for (const char* table : {"Seg", "DefC", "DefB"}) {
    const auto rows = written.find(table);
    if (rows == written.end()) continue;
    const std::vector<sampling::TextRow> stored =
        ReadWrittenRows(store, table, rows->second, columns);
    for (size_t i = 0; i < stored.size(); ++i) {
      const sampling::TextRow& row = stored[i];
      const std::string prefix =
          At(rows->second[i].line) + table + " row of Log " + row.Get("LOG") + ": ";
      if (logs.count({Fold(row.Get("SALE")), Fold(row.Get("LLR")), row.Get("LOG"), row.Get("S")}) ==
          0) {
        summary->errors.push_back(prefix + "no such log (" +
                                  LoadName(row.Get("SALE"), row.Get("LLR")) + " split " +
                                  row.Get("S") + ")");
      }
      for (const std::string& measure : measures) {
        if (row.Has(measure) && row.GetInt(measure) < 0) {
          summary->errors.push_back(prefix + measure + " of " + row.Get(measure) + " is negative");
        }
      }
    }
  }
}

// Runs the log and defect checks of the imported rows into `summary`.
void CheckImportedRows(TableStore& store, const WrittenRows& written, ImportSummary* summary) {
  std::map<FoldedKey, LoadForChecks> loads;
  const auto logs = written.find("Log");
  if (logs != written.end()) {
    const bool defects = written.count("DefC") > 0 && !written.at("DefC").empty();
    const std::vector<sampling::TextRow> rows =
        ReadWrittenRows(store, "Log", logs->second, kLogColumns);
    for (size_t i = 0; i < rows.size(); ++i) {
      CheckImportedLog(store, rows[i], logs->second[i].line, defects, &loads, summary);
    }
  }
  CheckImportedParts(store, written, summary);
}

// The loads of the imported Load rows, by SALE and LLR as stored (folded).
std::set<FoldedKey> ImportedLoads(TableStore& store, const WrittenRows& written) {
  std::set<FoldedKey> loads;
  const auto rows = written.find("Load");
  if (rows == written.end()) return loads;
  for (const sampling::TextRow& row :
       ReadWrittenRows(store, "Load", rows->second, {"SALE", "LLR"})) {
    loads.insert({Fold(row.Get("SALE")), Fold(row.Get("LLR"))});
  }
  return loads;
}

// Every imported Log, Seg, DefC and DefB row belongs, by its SALE and LLR as
// stored (a value the text leaves out takes its default, which may copy the
// row before it in the file), to a load of an imported Load row: for a text
// that holds a Load row for them, its rows cannot pile onto another load of
// the file or stay without a load. One finding per table and load named,
// at the first such row, with the count of the others.
void CheckRowsBelongToTheTextsLoads(TableStore& store, const WrittenRows& written,
                                    ImportSummary* summary) {
  const std::set<FoldedKey> loads = ImportedLoads(store, written);
  for (const char* table : {"Log", "Seg", "DefC", "DefB"}) {
    const auto rows = written.find(table);
    if (rows == written.end()) continue;
    const std::vector<sampling::TextRow> stored =
        ReadWrittenRows(store, table, rows->second, {"SALE", "LLR", "LOG"});
    std::map<FoldedKey, std::pair<size_t, int>> strays;  // first row, count
    std::vector<FoldedKey> order;
    for (size_t i = 0; i < stored.size(); ++i) {
      const FoldedKey key{Fold(stored[i].Get("SALE")), Fold(stored[i].Get("LLR"))};
      if (loads.count(key) > 0) continue;
      const auto [stray, added] = strays.try_emplace(key, i, 0);
      if (added) order.push_back(key);
      ++stray->second.second;
    }
    for (const FoldedKey& key : order) {
      const auto [first, count] = strays.at(key);
      const sampling::TextRow& row = stored[first];
      const std::string what = std::string(table) == "Log"
                                   ? "Log " + row.Get("LOG")
                                   : table + std::string(" row of Log ") + row.Get("LOG");
      std::string finding = At(rows->second[first].line) + what + " belongs to the load " +
                            LoadName(row.Get("SALE"), row.Get("LLR")) +
                            ", which has no Load row in the text";
      if (count > 1) {
        finding += " (nor do the " + std::to_string(count - 1) + " other " + table +
                   " rows of that load after it)";
      }
      summary->errors.push_back(finding);
    }
  }
}

// Removes the file's KZ rows with the SP and P of an imported KZ row (SP
// letter case ignored), so that the text's frequency takes the place of the
// setup's, and refuses a text that gives one SP and P twice. The imported
// rows are the table's last. False with `error` set.
bool ReplaceKzRows(TableStore& store, const std::vector<WrittenRow>& written, std::string* error) {
  if (written.empty()) return true;
  const std::vector<sampling::TextRow> imported =
      ReadWrittenRows(store, "KZ", written, {"SP", "P"});
  std::set<FoldedKey> keys;
  for (size_t i = 0; i < imported.size(); ++i) {
    const FoldedKey key{Fold(imported[i].Get("SP")), std::to_string(imported[i].GetInt("P"))};
    if (keys.insert(key).second) continue;
    *error = At(written[i].line) + "the text gives the KZ row of SP " + imported[i].Get("SP") +
             " and P " + imported[i].Get("P") + " twice";
    return false;
  }
  tablestore::TableLease lease(store, "KZ");
  const int sp = store.ColumnIndex(lease.slot(), "SP");
  const int p = store.ColumnIndex(lease.slot(), "P");
  if (sp < 0 || p < 0) return true;
  for (int row = store.RowCount(lease.slot()) - static_cast<int>(written.size()) - 1; row >= 0;
       --row) {
    std::string s;
    int n = 0;
    store.GetText(lease.slot(), row, sp, s);
    store.GetInt(lease.slot(), row, p, n);
    if (keys.count({Fold(s), std::to_string(n)}) == 0) continue;
    if (store.RemoveRow(lease.slot(), row) < 0) {
      *error = "a KZ row of the file could not be replaced";
      return false;
    }
  }
  return true;
}

// The first section a setup file does not take (any but KZ), or nullptr.
const Section* LoadDataSection(const std::vector<Section>& sections) {
  for (const Section& section : sections) {
    if (section.table != "KZ") return &section;
  }
  return nullptr;
}

// Refuses a text that would import no row, and a Load section without rows:
// its one row was read as the titles line, which is missing.
bool CheckSectionsHaveRows(const std::vector<Section>& sections, std::string* error) {
  for (const Section& section : sections) {
    if (section.table != "Load" || !section.rows.empty()) continue;
    *error = At(section.line) +
             "section [Load] has no Load row (the line after its "
             "description is read as the column titles: is the titles line missing?)";
    return false;
  }
  if (std::all_of(sections.begin(), sections.end(),
                  [](const Section& s) { return s.rows.empty(); })) {
    *error = "the text has no row to import: its sections are empty";
    return false;
  }
  return true;
}

// Reads and checks the text; false with `summary->error` set when refused.
bool ReadAndCheck(TableStore& store, std::string_view bytes, const ImportOptions& options,
                  std::vector<Section>* sections, std::set<FoldedKey>* replaced,
                  ImportSummary* summary) {
  bytes = tablestore::WithoutByteOrderMark(bytes);
  const bool utf8 = platform::IsValidUtf8(bytes);
  if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) {
    summary->encoding = utf8 ? "UTF-8" : "Windows-1252";
  }
  Lines lines(bytes, utf8);
  if (!ReadSections(lines, sections, &summary->error)) return false;
  if (sections->empty()) {
    summary->error = "no section of the tables Load, Log, Seg, DefC, DefB, KZ in the file";
    return false;
  }
  if (const Section* loadData = options.setupFile ? LoadDataSection(*sections) : nullptr) {
    summary->error = At(loadData->line) +
                     "a setup file takes no load data (every scale file made from it would "
                     "inherit it); only KZ sections can be imported into it";
    return false;
  }
  return CheckSectionsHaveRows(*sections, &summary->error) &&
         CheckTables(store, *sections, &summary->error) &&
         CheckLoadKeys(store, *sections, options.replace, replaced, &summary->replaced,
                       &summary->error);
}

// Writes the text's sections, table by table, into `written`.
bool WriteSections(TableStore& store, const std::vector<Section>& sections, WrittenRows* written,
                   ImportSummary* summary) {
  for (const char* table : kLoadTables) {
    const auto named = [&](const Section& s) { return s.table == table; };
    if (std::none_of(sections.begin(), sections.end(), named)) continue;
    if (!ImportTable(store, table, sections, &(*written)[table], &summary->error)) return false;
    summary->rows.emplace_back(table, static_cast<int>((*written)[table].size()));
  }
  summary->logs = static_cast<int>((*written)["Log"].size());
  return true;
}

std::string Errors(size_t n) { return std::to_string(n) + " error" + (n == 1 ? "" : "s"); }

}  // namespace

int ImportLoadText(TableStore& store, std::string_view bytes, const ImportOptions& options,
                   ImportSummary* summary) {
  if (!store.IsOpen()) return tablestore::kNoFile;
  std::vector<Section> sections;
  std::set<FoldedKey> replaced;
  if (!ReadAndCheck(store, bytes, options, &sections, &replaced, summary)) return -1;
  if (!RemoveReplacedLoads(store, replaced)) {
    summary->error = "the rows of a replaced load could not be removed";
    return -1;
  }
  WrittenRows written;
  if (!WriteSections(store, sections, &written, summary)) return -1;
  CheckRowsBelongToTheTextsLoads(store, written, summary);
  if (!summary->errors.empty()) {
    summary->error = Errors(summary->errors.size()) +
                     ": every Log, Seg, DefC and DefB row must belong to a Load row of the "
                     "text; nothing was imported";
    return -1;
  }
  if (!ReplaceKzRows(store, written["KZ"], &summary->error)) return -1;
  CheckImportedRows(store, written, summary);
  if (!summary->errors.empty()) {
    summary->error = "the log and defect checks found " + Errors(summary->errors.size()) +
                     "; nothing was imported";
    return -1;
  }
  return 0;
}

}  // namespace app
