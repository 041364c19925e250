// Character-level helpers for the page formatter.
//
// Report text is UTF-8 inside the program but is written to files one byte
// per character, so every width, column position and cut point of the
// formatter counts characters, not bytes. A character is one well-formed
// UTF-8 sequence; any byte that does not start a well-formed sequence counts
// as one character on its own, so that damaged text still gets a definite
// width and is never cut inside a sequence it does not understand.
//
// Thread safety: plain functions on values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace reports {

// Byte length of the character that starts at byte `pos` of `text` (1 for a
// byte that starts no well-formed sequence). REQUIRES: pos < text.size().
size_t CharLength(std::string_view text, size_t pos);

// Number of characters in `text`.
size_t CharCount(std::string_view text);

// Byte offset of every character of `text`, followed by text.size(): element
// i is where character i starts, so character i spans [at(i), at(i + 1)).
std::vector<size_t> CharStarts(std::string_view text);

// True for the characters the formatter trims as white space: blank, tab,
// line feed, vertical tab, form feed and carriage return (ASCII only, so the
// result never depends on the locale).
bool IsWhiteSpace(char c);

// `text` without white space (IsWhiteSpace) at both ends.
std::string_view TrimWhiteSpace(std::string_view text);

}  // namespace reports
