#include "reports/page_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "reports/char_text.h"

// Invariants:
//  - text_ is appended to only through Write and AppendLayoutLine, so
//    lineOnPage_ is the number of line feeds written since the last
//    StartPage, less those inside header and footer parts; page breaks are
//    decided from it alone, never by scanning the report text.
//  - A laid-out column has start <= end + 1, and every field, heading row and
//    rule segment of it is exactly end - start + 1 characters wide.
//  - Every count appended as blanks or fill characters is bounded by
//    kMaxExtent (or by the length of a text the caller gave), so no layout
//    text can make the formatter allocate without bound.

namespace reports {

namespace {

constexpr std::string_view kPageToken = "[SUB:page]";

long long Chars(std::string_view text) { return static_cast<long long>(CharCount(text)); }

int ClampInt(long long value, long long low, long long high) {
  return static_cast<int>(std::clamp(value, low, high));
}

// A derived or given page count brought into 0..kMaxExtent; NaN counts as 0.
int ClampExtent(double value) {
  if (!(value > 0)) return 0;
  return value >= PageLayout::kMaxExtent ? PageLayout::kMaxExtent : static_cast<int>(value);
}

// The whole inches of `extent` less the two margins, times `perInch`. The
// fraction of an inch is dropped before multiplying: 8.5 inches less two half
// inches at 13 characters per inch gives 7 x 13 = 91 characters.
int DeriveCount(float extent, float margin1, float margin2, int perInch) {
  const float inches = extent - margin1 - margin2;
  return ClampExtent(std::trunc(static_cast<double>(inches)) * perInch);
}

// Appends `text` fitted to `width` characters (see PageLayout::Pad) and returns
// the difference d = width - length.
long long AppendPadded(std::string& out, std::string_view text, int width, char align, char fill) {
  const long long d = static_cast<long long>(width) - Chars(text);
  if (d == 0) {
    out += text;
  } else if (d < 0) {
    if (width > 0) out.append(static_cast<size_t>(width), '*');
  } else if (align == 'r') {
    out.append(static_cast<size_t>(d), fill);
    out += text;
  } else if (align == 'l') {
    out += text;
    out.append(static_cast<size_t>(d), fill);
  } else if (align == 'c') {
    out.append(static_cast<size_t>(d - d / 2), fill);
    out += text;
    out.append(static_cast<size_t>(d / 2), fill);
  } else {
    out += text;
  }
  return d;
}

// Replaces every occurrence of name in text by value, left to right, without
// rescanning the replacements; stops replacing before text would grow beyond
// the formatter's limit.
void ReplaceAll(std::string& text, std::string_view name, std::string_view value) {
  if (name.empty()) return;
  size_t pos = text.find(name);
  if (pos == std::string::npos) return;
  const long long growth =
      static_cast<long long>(value.size()) - static_cast<long long>(name.size());
  long long length = static_cast<long long>(text.size());
  std::string out;
  size_t from = 0;
  while (pos != std::string::npos && length + growth <= PageLayout::kMaxSubstitutedLength) {
    out.append(text, from, pos - from);
    out += value;
    length += growth;
    from = pos + name.size();
    pos = text.find(name, from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

// Cuts the next field off `rest` at the delimiter; the whole rest when there
// is none, and an empty field once the row is used up.
std::string_view NextField(std::string_view& rest, char delimiter) {
  const size_t at = rest.find(delimiter);
  std::string_view field = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
  return field;
}

// The rows of a heading text whose rows are each ended by '|'.
std::vector<std::string> SplitRows(std::string_view wrapped) {
  std::vector<std::string> rows;
  while (!wrapped.empty()) {
    const size_t at = wrapped.find('|');
    rows.emplace_back(wrapped.substr(0, at));
    wrapped = at == std::string_view::npos ? std::string_view() : wrapped.substr(at + 1);
  }
  return rows;
}

int FieldWidth(const LayoutColumn& column) { return std::max(0, column.end - column.start + 1); }

// Positions of every column: the field starts after its prefix, and the next
// column after the field's suffix. A field that would end beyond kMaxExtent
// is narrowed so that no table is wider than the limit.
void PlaceColumns(LayoutTable& table) {
  long long pos = table.indent + 1LL;
  for (LayoutColumn& column : table.columns) {
    const long long start = pos + Chars(column.prefix);
    long long end = start + std::max(0, column.width) - 1;
    end = std::min<long long>(end, std::max<long long>(start - 1, PageLayout::kMaxExtent));
    column.start = ClampInt(start, 0, INT32_MAX / 2);
    column.end = ClampInt(end, column.start - 1, INT32_MAX / 2);
    pos = column.end + 1LL + Chars(column.suffix);
  }
}

// Fill characters under every column, blanks between (a rule of kind 'b').
void AppendColumnRule(std::string& out, const LayoutTable& table, char fill) {
  long long length = 0;
  for (const LayoutColumn& column : table.columns) {
    if (column.start - 1 > length) {
      out.append(static_cast<size_t>(column.start - 1 - length), ' ');
      length = column.start - 1;
    }
    const int width = FieldWidth(column);
    out.append(static_cast<size_t>(width), fill);
    length += width;
  }
}

}  // namespace

PageLayout::PageLayout(const PageGeometry& geometry, const platform::Clock& clock) : clock_(clock) {
  SetGeometry(geometry);
  RecordTimeAndDate();
}

PageGeometry PageLayout::ReportConstructionGeometry() { return PageGeometry{}; }

void PageLayout::SetGeometry(const PageGeometry& geometry) {
  geometry_ = geometry;
  PageGeometry& g = geometry_;
  g.linesPerPage = g.linesPerPage < 0
                       ? DeriveCount(g.pageHeight, g.topMargin, g.bottomMargin, g.linesPerInch)
                       : std::min(g.linesPerPage, kMaxExtent);
  g.charsPerLine = g.charsPerLine < 0
                       ? DeriveCount(g.pageWidth, g.leftMargin, g.rightMargin, g.charsPerInch)
                       : std::min(g.charsPerLine, kMaxExtent);
}

void PageLayout::RecordTimeAndDate() {
  const platform::LocalDateTime now = clock_.Now();
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d", now.hour, now.minute);
  AddSubstitution("[SUB:time]", text);
  std::snprintf(text, sizeof text, "%02d/%02d/%d", now.month, now.day, now.year);
  AddSubstitution("[SUB:date]", text);
}

void PageLayout::Clear() {
  headerLines_.clear();
  footerLines_.clear();
  substitutions_.clear();
  for (auto& slot : tables_) slot.reset();
  currentTable_ = -1;
}

void PageLayout::AddHeaderLine(std::string_view left, std::string_view center,
                               std::string_view right) {
  if (headerLines_.size() >= kMaxLayoutLines) return;
  headerLines_.push_back({std::string(left), std::string(center), std::string(right)});
}

void PageLayout::AddFooterLine(std::string_view left, std::string_view center,
                               std::string_view right) {
  if (footerLines_.size() >= kMaxLayoutLines) return;
  footerLines_.push_back({std::string(left), std::string(center), std::string(right)});
}

void PageLayout::AddSubstitution(std::string_view name, std::string_view value) {
  if (substitutions_.size() >= kMaxLayoutLines) return;
  substitutions_.emplace_back(std::string(name), std::string(value));
}

int PageLayout::AddTable(std::string_view name, int indent, std::string_view title,
                         bool ruleUnderHeadings) {
  for (int slot = 0; slot < kMaxTables; ++slot) {
    if (tables_[slot]) continue;
    LayoutTable& table = tables_[slot].emplace();
    table.name = name;
    table.indent = std::clamp(indent, 0, kMaxExtent);
    table.title = title;
    table.ruleUnderHeadings = ruleUnderHeadings;
    currentTable_ = slot;
    return slot;
  }
  return -1;
}

int PageLayout::SelectTable(std::string_view name) {
  for (int slot = 0; slot < kMaxTables; ++slot) {
    if (tables_[slot] && tables_[slot]->name == name) return currentTable_ = slot;
  }
  return currentTable_ = -1;
}

void PageLayout::AddColumn(std::string_view title, int width, char align, std::string_view prefix,
                           std::string_view suffix, bool verticalTitle, int titleHeight) {
  LayoutTable* table = Current();
  if (table == nullptr) return;
  LayoutColumn column;
  column.title = title;
  column.width = std::clamp(width, -kMaxExtent, kMaxExtent);
  column.align = align;
  column.prefix = prefix;
  column.suffix = suffix;
  column.verticalTitle = verticalTitle;
  column.titleHeight = std::clamp(titleHeight, -kMaxExtent, kMaxExtent);
  table->columns.push_back(std::move(column));
  table->needsLayout = true;
}

const LayoutTable* PageLayout::table(int slot) const {
  if (slot < 0 || slot >= kMaxTables || !tables_[slot]) return nullptr;
  return &*tables_[slot];
}

LayoutTable* PageLayout::Current() {
  return currentTable_ < 0 ? nullptr : &*tables_[currentTable_];
}

void PageLayout::LayOutColumns() {
  LayoutTable* table = Current();
  if (table == nullptr || !table->needsLayout || table->columns.empty()) return;
  PlaceColumns(*table);
  BuildHeadingLines(*table);
  table->needsLayout = false;
}

// A horizontal title is word-wrapped to the column's width, one row per line.
std::vector<std::string> PageLayout::ColumnHeading(const LayoutColumn& column,
                                                   int fieldWidth) const {
  if (column.verticalTitle) return VerticalHeading(column, fieldWidth);
  std::string wrapped;
  WrapText(column.title, 1, column.width, "|", &wrapped);
  return SplitRows(wrapped);
}

// The title wrapped into as few lines as fit side by side in the column, each
// line read downwards and bottom-aligned at height h. The search for h stops
// where a taller heading could not help (h reaches the title's length) or
// would be cut anyway (kMaxHeadingRows); the lines then may not fit and the
// heading line prints asterisks for them, as for any text too wide.
std::vector<std::string> PageLayout::VerticalHeading(const LayoutColumn& column,
                                                     int fieldWidth) const {
  const long long titleLength = Chars(column.title);
  long long h = std::max(1, column.titleHeight + 1);
  std::vector<std::string> lines;
  for (;; ++h) {
    std::string wrapped;
    WrapText(column.title, 1, static_cast<int>(h), "|", &wrapped);
    lines = SplitRows(wrapped);
    if (static_cast<long long>(lines.size()) <= fieldWidth || h >= titleLength ||
        h >= kMaxHeadingRows) {
      break;
    }
  }
  long long tallest = 0;
  std::vector<std::vector<size_t>> starts;
  for (std::string& line : lines) {
    line = std::string(TrimWhiteSpace(line));
    starts.push_back(CharStarts(line));
    tallest = std::max(tallest, static_cast<long long>(starts.back().size()) - 1);
  }
  // (width - n) - floor((width - n) / 2) blanks centre the n lines; none when
  // they do not fit.
  const long long spare = fieldWidth - static_cast<long long>(lines.size());
  const long long lead = spare > 0 ? spare - spare / 2 : 0;
  std::vector<std::string> rows;
  // Rows above h - tallest are blank in every line, and blank rows before the
  // first kept one are dropped, so they are never built.
  for (long long k = std::max(1LL, h - tallest + 1); k <= h; ++k) {
    std::string row(static_cast<size_t>(lead), ' ');
    for (size_t i = 0; i < lines.size(); ++i) {
      const long long index = k - 1 - (h - (static_cast<long long>(starts[i].size()) - 1));
      if (index < 0) {
        row += ' ';
      } else {
        row.append(lines[i], starts[i][index], starts[i][index + 1] - starts[i][index]);
      }
    }
    const long long chars = Chars(row);
    if (chars < fieldWidth) row.append(static_cast<size_t>(fieldWidth - chars), ' ');
    if (rows.empty() && row.find_first_not_of(' ') == std::string::npos) continue;
    rows.push_back(std::move(row));
  }
  return rows;
}

// One heading line per heading row, bottom-aligned across the columns, then
// the rule under the headings when the table asks for it.
void PageLayout::BuildHeadingLines(LayoutTable& table) {
  std::vector<std::vector<std::string>> headings;
  size_t height = 0;
  for (const LayoutColumn& column : table.columns) {
    headings.push_back(ColumnHeading(column, FieldWidth(column)));
    std::vector<std::string>& rows = headings.back();
    if (rows.size() > static_cast<size_t>(kMaxHeadingRows)) {
      rows.erase(rows.begin(), rows.end() - kMaxHeadingRows);
    }
    height = std::max(height, rows.size());
  }
  table.headingLines.clear();
  for (size_t k = 0; k < height; ++k) {
    std::string line(static_cast<size_t>(table.indent), ' ');
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const LayoutColumn& column = table.columns[c];
      const size_t missing = height - headings[c].size();
      const std::string_view row = k < missing ? std::string_view() : headings[c][k - missing];
      line.append(static_cast<size_t>(Chars(column.prefix)), ' ');
      AppendPadded(line, row, FieldWidth(column), column.verticalTitle ? 'l' : 'c', ' ');
      line.append(static_cast<size_t>(Chars(column.suffix)), ' ');
    }
    table.headingLines.push_back(std::move(line));
  }
  if (table.ruleUnderHeadings) {
    std::string rule;
    AppendColumnRule(rule, table, '-');
    table.headingLines.push_back(std::move(rule));
  }
}

void PageLayout::Write(std::string_view lines) {
  text_ += lines;
  lineOnPage_ += static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
}

std::string PageLayout::TakeText() { return std::exchange(text_, std::string()); }

void PageLayout::StartPage() {
  lineOnPage_ = 0;
  ++pageNumber_;
  for (const LayoutLine& line : headerLines_) AppendLayoutLine(line, false);
}

void PageLayout::EndPage() {
  if (footerLines_.empty()) return;
  const long long footer = static_cast<long long>(footerLines_.size());
  if (lineOnPage_ + footer < linesPerPage()) {
    Write(std::string(static_cast<size_t>(linesPerPage() - footer - lineOnPage_), '\n'));
  }
  for (const LayoutLine& line : footerLines_) AppendLayoutLine(line, true);
}

void PageLayout::PageBreak() {
  EndPage();
  text_ += '\f';
  StartPage();
}

// The left part; then, for a footer always and for a header only when its
// center and right parts are both given, the center part centred on the line
// and the right part ending at the line's last character. The line counts one
// however many line feeds its parts hold (see the top of page_layout.h).
void PageLayout::AppendLayoutLine(const LayoutLine& line, bool isFooter) {
  std::string text = Substitute(line.left);
  if (isFooter || (!line.center.empty() && !line.right.empty())) {
    const std::string center = Substitute(line.center);
    const int width = charsPerLine();
    Pad(text, width / 2 - static_cast<int>(Chars(center) / 2), 'l', ' ');
    text += center;
    AppendPadded(text, Substitute(line.right), ClampInt(width - Chars(text), -1, kMaxExtent), 'r',
                 ' ');
  }
  text_ += text;
  text_ += '\n';
  ++lineOnPage_;
}

bool PageLayout::Fits(int n) const {
  const long long needed =
      static_cast<long long>(footerLines_.size()) + lineOnPage_ + std::min(n, kMaxExtent);
  return needed <= linesPerPage();
}

void PageLayout::EnsureRoom(int n) {
  LayOutColumns();
  if (Fits(n)) return;
  PageBreak();
  if (Current() != nullptr) PrintHeading(*Current());
}

int PageLayout::HeadingLineCount(const LayoutTable& table) const {
  const long long title =
      table.title.empty() ? 0 : 1 + std::count(table.title.begin(), table.title.end(), '\n');
  return ClampInt(title + static_cast<long long>(table.headingLines.size()), 0, kMaxExtent);
}

void PageLayout::TableHeading() {
  const LayoutTable* table = Current();
  if (table == nullptr) return;
  LayOutColumns();
  if (!Fits(HeadingLineCount(*table))) PageBreak();
  PrintHeading(*table);
}

void PageLayout::PrintHeading(const LayoutTable& table) {
  if (!table.title.empty()) {
    Write(table.title);
    Write("\n");
  }
  for (const std::string& line : table.headingLines) {
    Write(Substitute(line));
    Write("\n");
  }
}

void PageLayout::FormatRow(std::string_view row, char delimiter) {
  const LayoutTable* table = Current();
  if (table == nullptr) {
    TextLine(" --No Active Table--");
    return;
  }
  EnsureRoom(1);
  std::string line(static_cast<size_t>(table->indent), ' ');
  for (const LayoutColumn& column : table->columns) {
    line += column.prefix;
    const std::string_view field = TrimWhiteSpace(NextField(row, delimiter));
    AppendPadded(line, field, FieldWidth(column), column.align, ' ');
    line += column.suffix;
  }
  line += '\n';
  Write(line);
}

void PageLayout::TextLine(std::string_view text) {
  EnsureRoom(1 + static_cast<int>(
                     std::min<long long>(std::count(text.begin(), text.end(), '\n'), kMaxExtent)));
  Write(text);
  Write("\n");
}

void PageLayout::Paragraph(std::string_view text, int startColumn, int endColumn) {
  std::string wrapped;
  const int lines = WrapText(text, startColumn, endColumn, "\n", &wrapped);
  EnsureRoom(lines);
  Write(wrapped);
}

void PageLayout::BlankLines(int n) {
  n = std::min(n, kMaxExtent);
  for (int i = 0; i < n; ++i) {
    EnsureRoom(n);
    Write("\n");
  }
}

void PageLayout::Rule(char fill, char kind, int startColumn, int endColumn) {
  std::string line;
  if (kind == 'b' || kind == 't') {
    const LayoutTable* table = Current();
    if (table == nullptr) return;
    LayOutColumns();
    if (kind == 'b') {
      AppendColumnRule(line, *table, fill);
    } else if (!table->columns.empty()) {
      line.append(static_cast<size_t>(table->indent), ' ');
      const long long fills = static_cast<long long>(table->columns.back().end) - table->indent;
      line.append(static_cast<size_t>(std::max(0LL, fills)), fill);
    }
  } else {
    const int blanks = std::clamp(startColumn - 1, 0, kMaxExtent);
    const int last = endColumn < 0 ? charsPerLine() : std::min(endColumn, kMaxExtent);
    line.append(static_cast<size_t>(blanks), ' ');
    line.append(static_cast<size_t>(std::max(0, last - blanks)), fill);
  }
  line += '\n';
  EnsureRoom(1);
  Write(line);
}

int PageLayout::Pad(std::string& text, int width, char align, char fill) {
  std::string out;
  const long long d = AppendPadded(out, text, std::min(width, kMaxExtent), align, fill);
  text = std::move(out);
  return ClampInt(d, INT32_MIN, INT32_MAX);
}

std::string PageLayout::Substitute(std::string_view text) const {
  std::string out(text);
  ReplaceAll(out, kPageToken, std::to_string(pageNumber_));
  for (const auto& [name, value] : substitutions_) ReplaceAll(out, name, value);
  return out;
}

int PageLayout::WrapText(std::string_view text, int startColumn, int endColumn,
                         std::string_view terminator, std::string* wrapped) const {
  const long long s = startColumn < 0 ? 1 : std::min(startColumn, kMaxExtent + 1);
  const long long e = endColumn < 0 ? charsPerLine() : endColumn;
  const size_t room = static_cast<size_t>(std::max(1LL, e - s + 1));
  const std::vector<size_t> starts = CharStarts(text);
  const size_t count = starts.size() - 1;
  const auto blankAt = [&](size_t i) { return text[starts[i]] == ' '; };
  int lines = 0;
  for (size_t pos = 0; pos < count; ++lines) {
    if (s > 1) wrapped->append(static_cast<size_t>(s - 1), ' ');
    size_t cut = count - pos;
    if (cut > room) {
      cut = room;
      if (room > 1 && !blankAt(pos + room) && !blankAt(pos + room - 1)) {
        size_t i = room - 1;
        while (i >= 2 && !blankAt(pos + i - 1)) --i;
        if (i >= 2) cut = i;
      }
    }
    wrapped->append(text, starts[pos], starts[pos + cut] - starts[pos]);
    *wrapped += terminator;
    const bool whole = pos + cut == count;
    pos += cut;
    if (!whole) {
      while (pos < count && blankAt(pos)) ++pos;
    }
  }
  return lines;
}

}  // namespace reports
