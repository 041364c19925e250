#include "app/password_policy.h"

#include <algorithm>

namespace app {

uint32_t SignInDelay::RemainingMs(uint32_t now) const {
  const uint32_t elapsed = now - failedAt_;  // modulo 2^32, as the ticks wrap
  return elapsed >= waitMs_ ? 0 : waitMs_ - elapsed;
}

void SignInDelay::OnFailure(uint32_t now) {
  failedAt_ = now;
  waitMs_ = waitMs_ == 0 ? kFirstWaitMs : std::min(2 * waitMs_, kLongestWaitMs);
}

}  // namespace app
