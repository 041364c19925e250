// ImportView: rows from a text file into a table. Every problem is logged to
// the journal with level "W" and returned as -1; nothing is shown.
#include <algorithm>
#include <memory>

#include "platform/file_system.h"
#include "platform/text.h"
#include "tablestore/import_reader.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"
#include "tablestore/table_store_state.h"

namespace tablestore {
namespace {

// An import file is read whole; larger files are refused rather than risk a
// huge allocation (a sale list is a few kilobytes).
constexpr size_t kMaxImportBytes = 32u << 20;
// A description with more columns than this is refused: no table of the
// program comes near it, and each imported row would cost that many cells.
constexpr int kMaxImportColumns = 1024;
// An import writing more values (rows times columns) than this is refused: a
// file of short lines into a wide table would otherwise take gigabytes and
// minutes. A sale list holds a few thousand values.
constexpr size_t kMaxImportValues = size_t{1} << 20;

size_t DescribedColumns(std::string_view desc) {
  return static_cast<size_t>(std::count(desc.begin(), desc.end(), ',')) + 1;
}

// True when the description line names `tableName` and lists at least one
// and at most kMaxImportColumns columns.
bool DescribesTable(std::string_view desc, std::string_view tableName) {
  const size_t bracket = desc.find('[');
  if (bracket == std::string_view::npos || desc.back() != ']' || desc.size() < bracket + 3) {
    return false;
  }
  return platform::EqualsIgnoringAsciiCase(desc.substr(0, bracket), tableName) &&
         DescribedColumns(desc) <= kMaxImportColumns;
}

// The next data line, empty lines skipped; false at the end of the file and,
// in mode 1, at the next section line.
bool NextDataLine(ImportLines& lines, int mode, std::string& line) {
  while (lines.Next(line)) {
    if (mode == 1 && line.starts_with('[')) return false;
    if (!line.empty()) return true;
  }
  return false;
}

// The number of data lines left, read ahead without moving `lines`.
size_t CountDataLines(ImportLines lines, int mode) {
  size_t count = 0;
  std::string line;
  while (NextDataLine(lines, mode, line)) ++count;
  return count;
}

bool TooManyValues(size_t rows, size_t columns) {
  return columns > 0 && rows > kMaxImportValues / columns;
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (bytes.substr(0, kMark.size()) == kMark) bytes.remove_prefix(kMark.size());
  return bytes;
}

bool ImportLines::Next(std::string& line) {
  line.clear();
  if (rest_.empty()) return false;
  const size_t end = rest_.find('\n');
  const std::string_view raw = rest_.substr(0, end);
  rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
  line.reserve(raw.size());
  for (char c : raw) {
    if (c != '\r') line += c;
  }
  return true;
}

std::string CutDescription(std::string_view line) {
  const size_t bracket = line.find(']');
  return std::string(bracket == std::string_view::npos ? line : line.substr(0, bracket + 1));
}

std::vector<std::string> SplitDataLine(std::string_view line, int columns) {
  std::vector<std::string> values(std::max(columns, 0));
  // Each value is cut from its own piece: cutting every value from the front
  // of the whole rest would copy a long line once per column.
  size_t start = 0;
  for (std::string& value : values) {
    if (start > line.size()) break;  // the line is exhausted: empty values
    const size_t end = std::min(line.find(',', start), line.size());
    std::string piece(line.substr(start, end - start));
    TableStore::NextToken(piece, value, ",");
    std::replace(value.begin(), value.end(), '^', ',');
    start = end + 1;
  }
  return values;
}

int TableStore::ImportView(int mode, const std::string& fileName, const std::string& tableName,
                           int replace) {
  if (!IsOpen()) return kNoFile;
  auto problem = [&](const std::string& text) {
    // The import has failed either way; a journal that cannot take the
    // entry changes nothing about the result.
    (void)LogMessage(text, "W", s_->deviceIdentity, "Varnolde");
    return kNotFound;
  };
  std::unique_ptr<platform::FileSystem> posix;
  platform::FileSystem* files = s_->files;
  if (files == nullptr) files = (posix = std::make_unique<platform::PosixFileSystem>()).get();
  std::string bytes;
  if (files->ReadFile(fileName, kMaxImportBytes, &bytes) != platform::FileResult::kOk) {
    return problem("Can not open import file " + fileName);
  }
  ImportLines lines(bytes);
  std::string line, desc;
  if (mode == 1) {
    const std::string section = detail::Narrow(tableName);
    bool found = false;
    while (!found && lines.Next(line))
      found = line.starts_with('[') && line.find(section) != std::string::npos;
    if (!found) return problem("Can not find table " + tableName);
    // At the end of the text `line` is emptied: the description is then empty.
    static_cast<void>(lines.Next(line));
    desc = detail::Widen(CutDescription(line));
  }
  // Column titles in mode 1, the first line in mode 2; at the end of the
  // text there are simply no rows.
  static_cast<void>(lines.Next(line));
  const size_t rows = CountDataLines(lines, mode);
  const std::string tooLarge = "Can not open import file " + fileName;

  bool created = false;
  if (FindView(tableName) < 0 && TableExists(tableName) < 0) {
    if (mode != 1) return problem("Can not find table " + tableName);
    if (!DescribesTable(desc, tableName)) return problem("Different structure for import");
    if (TooManyValues(rows, DescribedColumns(desc))) return problem(tooLarge);
    if (DefineTable(desc) != kOk) return problem("Different structure for import");
    created = true;
  }
  TableLease table(*this, tableName);
  if (table.slot() < 0) return problem("Can not find table " + tableName);
  detail::Slot& sl = s_->slots[table.slot()];
  // Rows go straight into a table slot; a derived or scratch view of that
  // name has no stored structure to import into.
  if (sl.parentSlot >= 0 || sl.description.empty() ||
      (mode == 1 && !created && !platform::EqualsIgnoringAsciiCase(sl.description, desc))) {
    return problem("Different structure for import");
  }
  const int columns = ColumnCount(table.slot());
  if (TooManyValues(rows, static_cast<size_t>(columns))) return problem(tooLarge);
  if (replace == 2 && !sl.view.SetSize(0)) return problem("Import failed");
  while (NextDataLine(lines, mode, line)) {
    const int row = sl.view.AddRow();
    if (row < 0) return problem("Import failed");
    const std::vector<std::string> values = SplitDataLine(line, columns);
    // A column of a type that holds no text (result 1) stays empty.
    for (int c = 0; c < columns; ++c) {
      (void)SetText(table.slot(), row, c, detail::Widen(values[c]));
    }
  }
  return table.Release() == kOk ? kOk : kWriteFailed;
}

}  // namespace tablestore
