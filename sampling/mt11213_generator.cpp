#include "sampling/mt11213_generator.h"

#include <bit>
#include <limits>

namespace sampling {

namespace {

constexpr int kShift = 175;                      // the "M" of the twister
constexpr uint32_t kLowerMask = (1u << 19) - 1;  // the low 19 bits taken from the next word
constexpr uint32_t kUpperMask = ~kLowerMask;
constexpr uint32_t kMatrix = 0xE4BD75F5u;

uint32_t Twist(uint32_t upperFrom, uint32_t lowerFrom, uint32_t partner) {
  const uint32_t y = (upperFrom & kUpperMask) | (lowerFrom & kLowerMask);
  return partner ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
}

}  // namespace

Mt11213Generator::Mt11213Generator(uint32_t seed) { Seed(seed); }

void Mt11213Generator::Seed(uint32_t seed) {
  uint32_t s = seed;
  for (uint32_t& word : state_) {
    s = s * 29943829u - 1u;
    word = s;
  }
  index_ = kStateWords;
}

void Mt11213Generator::Regenerate() {
  for (int k = 0; k < kStateWords - 1; ++k) {
    state_[k] = Twist(state_[k], state_[k + 1], state_[(k + kShift) % kStateWords]);
  }
  state_[kStateWords - 1] = Twist(state_[kStateWords - 1], state_[0], state_[kShift - 1]);
  index_ = 0;
}

uint32_t Mt11213Generator::NextU32() {
  if (index_ >= kStateWords) Regenerate();
  uint32_t y = state_[index_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x655E5280u;
  y ^= (y << 15) & 0xFFD58000u;
  y ^= y >> 17;
  return y;
}

double Mt11213Generator::NextUniform() {
  const uint32_t r = NextU32();
  const uint64_t high = 0x3FF00000u | (r >> 12);
  const uint64_t low = static_cast<uint32_t>(r << 20);
  return std::bit_cast<double>((high << 32) | low) - 1.0;
}

int32_t Mt11213Generator::NextInRange(int32_t min, int32_t max) {
  if (max < min) return std::numeric_limits<int32_t>::min();
  // The span is formed in 64 bits: max - min + 1 overflows 32 bits for wide ranges.
  const double span = static_cast<double>(static_cast<int64_t>(max) - min + 1);
  const int64_t r = static_cast<int64_t>(min) + static_cast<int64_t>(NextUniform() * span);
  return r > max ? max : static_cast<int32_t>(r);
}

}  // namespace sampling
