// Reading import files: the lines of an 8-bit text file and the values of its
// data lines. Pure functions over bytes, shared by ImportView and its fuzz
// target. The file format is described in tablestore/import_format.md.
//
// Thread safety: an ImportLines object is used by one thread; the free
// functions are pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tablestore {

// `bytes` without the UTF-8 byte order mark (EF BB BF) that some editors
// and spreadsheets write at the start of a text: it is no part of the first
// line (whose "[" would otherwise not begin it).
std::string_view WithoutByteOrderMark(std::string_view bytes);

// The lines of an import file: bytes up to a line feed or the end of the
// bytes, a leading byte order mark dropped (WithoutByteOrderMark); carriage
// returns and line feeds are not part of a line. The last line counts
// whether or not it ends with a line break; a final line break does not
// start another line.
class ImportLines {
 public:
  // `bytes` is borrowed and must outlive the object.
  explicit ImportLines(std::string_view bytes) : rest_(WithoutByteOrderMark(bytes)) {}

  // Sets `line` to the next line and returns true; false (line emptied) when
  // no line is left.
  [[nodiscard]] bool Next(std::string& line);

 private:
  std::string_view rest_;
};

// A description line up to and including its first "]" (the whole line when it
// has none): what follows, e.g. a spreadsheet's trailing separators, is ignored.
std::string CutDescription(std::string_view line);

// The first `columns` values of a data line: separated by ",", blanks around
// them dropped, every "^" standing for ","; values the line lacks are empty.
std::vector<std::string> SplitDataLine(std::string_view line, int columns);

}  // namespace tablestore
