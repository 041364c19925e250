// Test helpers for the password file: a hash cost low enough for tests under
// the sanitizers (the program always hashes at app::kPasswordHashCost).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/password_hash.h"

namespace setup::testing {

// libsodium's lowest cost: one pass over 8 KiB.
inline constexpr app::HashCost kTestHashCost{1, 8192};

// A hash of `password` at kTestHashCost.
inline std::string TestHash(const std::string& password) {
  auto hash = app::HashPassword(password, kTestHashCost);
  EXPECT_TRUE(hash.has_value());
  return hash.value_or("");
}

}  // namespace setup::testing
