// Clock: the local date and time, and the milliseconds since the system
// started (the handheld's tick count).
//
// The journal stamps entries with the local date and time, the start-up check
// compares today with the program's version date, the page formatter prints
// them, the date prefix of new file names uses them, and 3P sampling seeds its
// generator with the tick count. All take the time from a Clock so that tests
// can fix "today" and the seed with FixedClock.
//
// Thread safety: SystemClock may be used from any thread; FixedClock is a plain
// object (no locking).
#pragma once

#include <cstdint>

namespace platform {

// A local calendar date and time of day, as the user's clock shows it.
struct LocalDateTime {
  int year = 0;    // four digits, e.g. 2010
  int month = 0;   // 1-12
  int day = 0;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-60 (60 only for a leap second)

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // The current local date and time. Never fails.
  virtual LocalDateTime Now() const = 0;

  // Milliseconds since the system started, wrapping around after 2^32 (about
  // 49.7 days) as the handheld's tick count does. Never fails.
  virtual uint32_t TickCount() const = 0;
};

// The machine's clock: Now() in the process's time zone, TickCount() from the
// monotonic clock that counts from boot.
class SystemClock : public Clock {
 public:
  LocalDateTime Now() const override;
  uint32_t TickCount() const override;
};

// A clock that shows what the test sets. Starts at 2010-11-05 00:00:00 with a
// tick count of 0.
class FixedClock : public Clock {
 public:
  FixedClock() = default;
  explicit FixedClock(const LocalDateTime& now, uint32_t ticks = 0) : now_(now), ticks_(ticks) {}

  LocalDateTime Now() const override { return now_; }
  uint32_t TickCount() const override { return ticks_; }

  // Sets what Now() returns. The value is taken as it is, unchecked.
  void SetNow(const LocalDateTime& now) { now_ = now; }
  // Sets what TickCount() returns.
  void SetTickCount(uint32_t ticks) { ticks_ = ticks; }
  // Moves the tick count on by ms, wrapping as the real one does. Now() is
  // left alone: tests that need both set both.
  void AdvanceTicks(uint32_t ms) { ticks_ += ms; }

 private:
  LocalDateTime now_{2010, 11, 5, 0, 0, 0};
  uint32_t ticks_ = 0;
};

}  // namespace platform
