// CSV fields as the commands write them (RFC 4180 quoting).
//
// Thread safety: pure function.
#pragma once

#include <string>

namespace cli {

// A CSV field: quoted (quotes doubled) when it holds a comma, a quote or a
// line break.
inline std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace cli
