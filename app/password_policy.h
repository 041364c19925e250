// What guards the supervisor's sign-in for as long as the program runs: the
// growing wait after wrong passwords, and the cost of the password hashes the
// program writes. The Application holds one PasswordPolicy for the whole run.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <cstdint>

#include "app/password_hash.h"

namespace app {

// The growing wait after wrong user names or passwords: the next try waits
// 1 s after the first failure, twice as long after each further one, at most
// 30 s; a successful sign-in starts over. Times are the clock's tick counts
// (platform::Clock::TickCount), so the wrap-around of the tick count is
// harmless.
class SignInDelay {
 public:
  static constexpr uint32_t kFirstWaitMs = 1000;
  static constexpr uint32_t kLongestWaitMs = 30000;

  // Milliseconds a try at tick count `now` must still wait; 0 when it may be
  // made.
  uint32_t RemainingMs(uint32_t now) const;
  // A wrong user name or password at tick count `now`.
  void OnFailure(uint32_t now);
  // A successful sign-in: the next failure waits kFirstWaitMs again.
  void OnSuccess() { waitMs_ = 0; }

 private:
  uint32_t failedAt_ = 0;
  uint32_t waitMs_ = 0;  // the wait after the last failure; 0: none
};

struct PasswordPolicy {
  SignInDelay delay;
  // The cost of every hash written. Tests lower it to stay fast under the
  // sanitizers; the program keeps kPasswordHashCost.
  HashCost hashCost = kPasswordHashCost;
};

}  // namespace app
