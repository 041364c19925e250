#include "platform/clock.h"

#include <time.h>

namespace platform {

LocalDateTime SystemClock::Now() const {
  const time_t now = time(nullptr);
  struct tm local {};
  // localtime_r fails only for times far outside any calendar; the fields then
  // stay zero, which callers show as an obviously wrong date rather than crash.
  if (localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

uint32_t SystemClock::TickCount() const {
  struct timespec ts {};
  // CLOCK_BOOTTIME keeps counting through suspend, like the handheld's tick
  // count; it cannot fail on Linux for a valid clock id.
  clock_gettime(CLOCK_BOOTTIME, &ts);
  const uint64_t ms =
      static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

}  // namespace platform
