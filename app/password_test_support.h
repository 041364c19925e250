// Test helpers for the password file: a hash cost low enough for tests under
// the sanitizers (the program always hashes at kPasswordHashCost).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/password_hash.h"

namespace app::testing {

// libsodium's lowest cost: one pass over 8 KiB.
inline constexpr HashCost kTestHashCost{1, 8192};

// A hash of `password` at kTestHashCost.
inline std::string TestHash(const std::string& password) {
  auto hash = HashPassword(password, kTestHashCost);
  EXPECT_TRUE(hash.has_value());
  return hash.value_or("");
}

}  // namespace app::testing
