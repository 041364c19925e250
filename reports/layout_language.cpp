// The layout language "PL1.0.0": reading a layout text into a PageLayout.

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

#include "reports/char_text.h"
#include "reports/page_layout.h"

namespace reports {

// Cuts a layout text into tokens at every ',', '=' and line feed. The text is
// used up once the last separator (or the last character) has been read;
// asking for more then gives empty tokens.
class LayoutTokens {
 public:
  explicit LayoutTokens(std::string_view text) : text_(text) {}

  bool UsedUp() const { return pos_ >= text_.size(); }

  std::string_view Next() {
    if (UsedUp()) return {};
    const size_t at = text_.find_first_of(",=\n", pos_);
    const size_t end = at == std::string_view::npos ? text_.size() : at;
    const std::string_view token = text_.substr(pos_, end - pos_);
    pos_ = end == text_.size() ? end : end + 1;
    return token;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

namespace {

// Skips the leading white space and a '+' sign, as the C library's string to
// number conversions do.
std::string_view NumberStart(std::string_view token) {
  size_t first = 0;
  while (first < token.size() && IsWhiteSpace(token[first])) ++first;
  token.remove_prefix(first);
  if (token.size() >= 2 && token[0] == '+' && token[1] != '-') token.remove_prefix(1);
  return token;
}

// The longest leading number of the token (after white space), as
// string-to-double reads it; 0 when there is none. A value beyond the range
// of float becomes an infinity, as storing the double in a float would.
float ReadFloat(std::string_view token) {
  const std::string_view text = NumberStart(token);
  double value = 0;
  // Out of the range of double (beyond 1e308, say) reads as 0 as well.
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return 0;
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
    return value > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

// The leading decimal integer of the token (after white space and a sign), as
// string-to-long reads it on the handheld, where long is 32 bits: a value out
// of range saturates at INT_MIN or INT_MAX; 0 when there are no digits.
int ReadInt(std::string_view token) {
  std::string_view text = NumberStart(token);
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool ReadFlag(std::string_view token) { return ReadInt(token) != 0; }

// The keywords "VERSION" and "PAGE" may stand between blanks; any other white
// space (a tab, a carriage return) stays part of the token.
std::string_view TrimBlanks(std::string_view token) {
  const size_t first = token.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return token.substr(first, token.find_last_not_of(' ') - first + 1);
}

}  // namespace

int PageLayout::LoadLayout(std::string_view layoutText) {
  LayoutTokens tokens(layoutText);
  if (TrimBlanks(tokens.Next()) != "VERSION") return -1;
  Clear();
  tokens.Next();  // the version: both layouts say "PL1.0.0"; nothing depends on it
  if (TrimBlanks(tokens.Next()) != "PAGE") return -2;
  PageGeometry g;
  g.pageWidth = ReadFloat(tokens.Next());
  g.pageHeight = ReadFloat(tokens.Next());
  g.charsPerInch = ReadInt(tokens.Next());
  g.leftMargin = ReadFloat(tokens.Next());
  g.rightMargin = ReadFloat(tokens.Next());
  g.topMargin = ReadFloat(tokens.Next());
  g.bottomMargin = ReadFloat(tokens.Next());
  g.linesPerInch = ReadInt(tokens.Next());
  g.linesPerPage = ReadInt(tokens.Next());
  g.charsPerLine = ReadInt(tokens.Next());
  SetGeometry(g);
  lineOnPage_ = 0;
  pageNumber_ = 0;
  currentTable_ = -1;
  RecordTimeAndDate();
  RunDirectives(tokens);
  return 0;
}

// Each directive is known by the first letter of its keyword; a token that
// starts with no known letter (an empty one from a blank line, say) is
// skipped on its own and the next token is read as a keyword.
void PageLayout::RunDirectives(LayoutTokens& tokens) {
  while (!tokens.UsedUp()) {
    const std::string_view keyword = tokens.Next();
    if (!keyword.empty()) ReadDirective(keyword[0], tokens);
  }
}

void PageLayout::ReadDirective(char letter, LayoutTokens& tokens) {
  switch (letter) {
    case 'C': {
      const std::string_view title = tokens.Next();
      const int width = ReadInt(tokens.Next());
      const std::string_view alignToken = tokens.Next();
      const std::string_view prefix = tokens.Next();
      const std::string_view suffix = tokens.Next();
      const bool vertical = ReadFlag(tokens.Next());
      const int titleHeight = ReadInt(tokens.Next());
      AddColumn(title, width, alignToken.empty() ? '\0' : alignToken[0], prefix, suffix, vertical,
                titleHeight);
      break;
    }
    case 'F':
    case 'H': {
      const std::string_view left = tokens.Next();
      const std::string_view center = tokens.Next();
      const std::string_view right = tokens.Next();
      if (letter == 'F') {
        AddFooterLine(left, center, right);
      } else {
        AddHeaderLine(left, center, right);
      }
      break;
    }
    case 'S': {
      const std::string_view name = tokens.Next();
      AddSubstitution(name, tokens.Next());
      break;
    }
    case 'T': {
      const std::string_view name = tokens.Next();
      const int indent = ReadInt(tokens.Next());
      const std::string_view title = tokens.Next();
      AddTable(name, indent, title, ReadFlag(tokens.Next()));
      break;
    }
    default:
      break;
  }
}

}  // namespace reports
