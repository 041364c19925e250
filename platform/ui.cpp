#include "platform/ui.h"

namespace platform {
namespace {

// Cuts the text up to the next "|" (or the end) off the front of rest.
std::string_view NextField(std::string_view& rest) {
  const size_t bar = rest.find('|');
  const std::string_view field = rest.substr(0, bar);
  rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  return field;
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<FileFilter> entries;
  std::string_view rest = filter;
  while (!rest.empty()) {
    const std::string_view description = NextField(rest);
    if (description.empty()) break;  // "||" ends the list; "NULL" after it is not an entry
    const std::string_view pattern = NextField(rest);
    entries.push_back({std::string(description), std::string(pattern)});
  }
  return entries;
}

}  // namespace platform
