#include "reports/char_text.h"

namespace reports {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length announced by a lead byte, with the limits of the second byte that
// keep out overlong forms, surrogates and code points above U+10FFFF.
size_t SequenceLength(unsigned char lead, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) *low = 0xA0;
    if (lead == 0xED) *high = 0x9F;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) *low = 0x90;
    if (lead == 0xF4) *high = 0x8F;
    return 4;
  }
  return 1;
}

}  // namespace

size_t CharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return 1;
  unsigned char low = 0;
  unsigned char high = 0;
  const size_t length = SequenceLength(lead, &low, &high);
  if (length == 1 || pos + length > text.size()) return 1;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second < low || second > high) return 1;
  for (size_t i = 2; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) return 1;
  }
  return length;
}

size_t CharCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) {
    pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : CharLength(text, pos);
  }
  return count;
}

std::vector<size_t> CharStarts(std::string_view text) {
  std::vector<size_t> starts;
  starts.reserve(text.size() + 1);
  for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) starts.push_back(pos);
  starts.push_back(text.size());
  return starts;
}

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimWhiteSpace(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsWhiteSpace(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsWhiteSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace reports
