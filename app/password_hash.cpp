#include "app/password_hash.h"

#include <sodium.h>

namespace app {
namespace {

static_assert(kPasswordHashCost.passes == crypto_pwhash_OPSLIMIT_INTERACTIVE);
static_assert(kPasswordHashCost.memoryBytes == crypto_pwhash_MEMLIMIT_INTERACTIVE);

constexpr std::string_view kHashPrefix = "$argon2id$";
constexpr std::string_view kVersionField = "v=19$";

// Takes `prefix` off the front of `text`; false when it is not there.
bool Consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// Takes a decimal number of at most 10 digits off the front of `text`.
std::optional<unsigned long long> ConsumeNumber(std::string_view& text) {
  size_t digits = 0;
  unsigned long long value = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + static_cast<unsigned long long>(text[digits] - '0');
    if (++digits > 10) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

bool Ready() { return sodium_init() >= 0; }

}  // namespace

bool IsPasswordHash(std::string_view stored) { return stored.starts_with(kHashPrefix); }

std::optional<HashCost> StoredHashCost(std::string_view stored) {
  if (!Consume(stored, kHashPrefix) || !Consume(stored, kVersionField) ||
      !Consume(stored, "m=")) {
    return std::nullopt;
  }
  auto kib = ConsumeNumber(stored);
  if (!kib || !Consume(stored, ",t=")) return std::nullopt;
  auto passes = ConsumeNumber(stored);
  if (!passes || !Consume(stored, ",p=") || !ConsumeNumber(stored) || !Consume(stored, "$")) {
    return std::nullopt;
  }
  return HashCost{*passes, static_cast<size_t>(*kib) * 1024};
}

std::optional<std::string> HashPassword(std::string_view password, const HashCost& cost) {
  if (!Ready()) return std::nullopt;
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(out, password.data(), password.size(), cost.passes, cost.memoryBytes) != 0) {
    return std::nullopt;
  }
  return std::string(out);
}

bool HashMatches(std::string_view stored, std::string_view password) {
  auto cost = StoredHashCost(stored);
  if (!cost || cost->passes > kMaxStoredHashCost.passes ||
      cost->memoryBytes > kMaxStoredHashCost.memoryBytes) {
    return false;
  }
  // libsodium reads the hash as a C string of limited length.
  if (stored.size() >= crypto_pwhash_STRBYTES || stored.find('\0') != std::string_view::npos) {
    return false;
  }
  if (!Ready()) return false;
  const std::string hash(stored);
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace app
