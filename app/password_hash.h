// Salted, slow hashes of the supervisors' passwords (Argon2id, through
// libsodium), as the password file stores them.
//
// A stored hash is the text libsodium writes, "$argon2id$v=19$m=<KiB>,t=<passes>,
// p=1$<salt>$<hash>": printable ASCII without line breaks, so it fits the
// password file's lines (its commas come after the line's first one, which
// ends the user name). Knowing it does not give the password back; checking
// a guess costs as much as making the hash did.
//
// Thread safety: all functions may be called from any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The work one hash costs: Argon2id passes over memoryBytes bytes.
struct HashCost {
  unsigned long long passes = 0;
  size_t memoryBytes = 0;
};

// The cost of every hash the program writes: libsodium's "interactive"
// limits (2 passes over 64 MiB), well under a second on a handheld-class
// machine and costly for anyone guessing.
inline constexpr HashCost kPasswordHashCost{2, size_t{64} << 20};

// The highest cost a stored hash may ask for before it is checked, so that a
// damaged or hostile password file cannot make a sign-in take minutes or all
// the machine's memory. A hash above it never matches.
inline constexpr HashCost kMaxStoredHashCost{4, size_t{256} << 20};

// True when `stored` is one of our hashes ("$argon2id$..."), which is checked
// as a hash only; any other stored password is an old scrambled one.
bool IsPasswordHash(std::string_view stored);

// The cost recorded at the start of a stored hash ("$argon2id$v=19$m=<KiB>,
// t=<passes>,p=1$"), or nullopt when `stored` does not start that way.
std::optional<HashCost> StoredHashCost(std::string_view stored);

// A new hash of `password` (any bytes) with a fresh random salt, at `cost`.
// nullopt when it cannot be made (libsodium unusable, or the memory the cost
// asks for is not there). Tests pass a low cost; the program never does.
[[nodiscard]] std::optional<std::string> HashPassword(std::string_view password,
                                                      const HashCost& cost = kPasswordHashCost);

// True when `stored` is a hash (IsPasswordHash) of `password`, within
// kMaxStoredHashCost. False for anything else, a damaged hash included.
bool HashMatches(std::string_view stored, std::string_view password);

}  // namespace app
