// Conversion between the program's text and stored 8-bit text.
//
// Inside the program text is UTF-8 (std::string). Text stored in scale files
// and written to report files is 8-bit, one byte per character, in the
// Windows-1252 code page as the handheld wrote it. The table store and the
// report writer convert at that boundary with these two functions.
//
// Mapping:
// - 0x00-0x7F are ASCII both ways; 0xA0-0xFF are U+00A0-U+00FF.
// - 0x80-0x9F are the Windows-1252 letters and signs (0x80 euro sign, 0x8A
//   S with caron, 0x99 trade mark, ...). The five bytes the code page leaves
//   undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are read as the control characters
//   U+0081, U+008D, U+008F, U+0090, U+009D and written back as the same bytes,
//   so that no stored byte is lost in a round trip.
// - A character with no 8-bit form becomes "?". No best-fit substitution
//   ("a" for "a with macron"): a report must not show a letter the user did
//   not type.
// - Damaged UTF-8 (stray continuation bytes, truncated sequences, overlong
//   forms, surrogates, values above U+10FFFF) gives one "?" per byte that
//   cannot start a valid character, and conversion goes on after it.
//
// Both functions are pure, never fail, and allocate at most three bytes of
// output per input byte. Thread safety: safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// UTF-8 to Windows-1252: one output byte per character of the input (or per
// undecodable byte). NUL characters are kept.
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 to UTF-8: every input byte gives one character (one to three
// bytes of UTF-8). Never produces "?" itself: every byte has a character.
std::string Cp1252ToUtf8(std::string_view cp1252);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). Plain ASCII is valid.
bool IsValidUtf8(std::string_view bytes);

// True when `a` and `b` are equal but for the letter case of ASCII letters
// (A-Z and a-z); every other byte must be the same. Names of tables, columns
// and settings, species codes and file extensions compare this way,
// independent of the locale.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace platform
