#include "scaling/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace scaling {
namespace {

void AppendFormatV(std::string& out, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(needed) + 1);
  std::vsnprintf(out.data() + start, static_cast<size_t>(needed) + 1, format, args);
  out.resize(start + static_cast<size_t>(needed));
}

}  // namespace

void AppendFormat(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(out, format, args);
  va_end(args);
}

std::string Format(const char* format, ...) {
  std::string out;
  va_list args;
  va_start(args, format);
  AppendFormatV(out, format, args);
  va_end(args);
  return out;
}

}  // namespace scaling
