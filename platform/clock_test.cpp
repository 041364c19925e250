#include "platform/clock.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ClockTest, FixedClockStartsAtTheVersionDate) {
  const FixedClock clock;
  EXPECT_EQ(clock.Now(), (LocalDateTime{2010, 11, 5, 0, 0, 0}));
  EXPECT_EQ(clock.TickCount(), 0u);
}

TEST(ClockTest, FixedClockShowsWhatWasSet) {
  FixedClock clock({2026, 2, 28, 9, 5, 7}, 1234);
  EXPECT_EQ(clock.Now(), (LocalDateTime{2026, 2, 28, 9, 5, 7}));
  EXPECT_EQ(clock.TickCount(), 1234u);
  clock.SetNow({1999, 12, 31, 23, 59, 59});
  clock.SetTickCount(7);
  EXPECT_EQ(clock.Now().year, 1999);
  EXPECT_EQ(clock.TickCount(), 7u);
}

TEST(ClockTest, FixedTickCountWrapsLikeTheRealOne) {
  FixedClock clock;
  clock.SetTickCount(0xFFFFFFF0u);
  clock.AdvanceTicks(0x20);
  EXPECT_EQ(clock.TickCount(), 0x10u);
}

TEST(ClockTest, UsableThroughTheInterface) {
  const FixedClock fixed({2010, 11, 5, 9, 5, 0}, 99);
  const Clock& clock = fixed;
  EXPECT_EQ(clock.Now().minute, 5);
  EXPECT_EQ(clock.TickCount(), 99u);
}

// Only checks that the fields are in range, so the test holds in any time
// zone and on any date.
TEST(ClockTest, SystemClockGivesAPlausibleDate) {
  const SystemClock clock;
  const LocalDateTime now = clock.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.minute, 59);
  EXPECT_LE(now.second, 60);
}

TEST(ClockTest, SystemTickCountDoesNotGoBackwards) {
  const SystemClock clock;
  const uint32_t first = clock.TickCount();
  const uint32_t second = clock.TickCount();
  // Differences in unsigned arithmetic stay right across a wrap.
  EXPECT_LT(second - first, 60000u);
}

}  // namespace
}  // namespace platform
