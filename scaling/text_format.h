// printf-style formatting into std::string, for the fixed texts of the
// volume listings (their formats are part of what the user sees).
//
// Thread safety: pure functions; safe from any thread.
#pragma once

#include <string>

namespace scaling {

// Appends the printf-formatted text to `out`.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The printf-formatted text.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace scaling
