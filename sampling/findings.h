// Findings: what a check found, kept as the two grades the scaler sees.
//
// Every check of this layer collects its findings as text lines ending in
// "\n" and counts them; errors must be corrected, warnings (possible errors)
// may be accepted. Both are shown together in one message box.
//
// Thread safety: a plain value.
#pragma once

#include <string>
#include <string_view>

namespace sampling {

struct Findings {
  std::string errors;  // lines ending in "\n", in the order found
  int errorCount = 0;
  std::string warnings;  // lines ending in "\n", in the order found
  int warningCount = 0;

  // Appends `line` (which ends in "\n") to the errors and counts it.
  void Error(std::string_view line) {
    errors.append(line);
    ++errorCount;
  }

  // Appends `line` (which ends in "\n") to the warnings and counts it.
  void Warning(std::string_view line) {
    warnings.append(line);
    ++warningCount;
  }

  bool empty() const { return errorCount == 0 && warningCount == 0; }
};

// The limits a load puts on its logs (Load columns MINLEN, MAXLEN, MINDIA,
// MAXDIA). A load without limits gets these defaults.
struct LoadLimits {
  int minLen = 0;
  int maxLen = 999;
  int minDia = 0;
  int maxDia = 999;
};

}  // namespace sampling
