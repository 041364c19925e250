#include "sampling/mt11213_generator.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <climits>
#include <cstdint>

namespace sampling {
namespace {

// A plain transcription of the generator's rules, kept apart from the class
// so that a slip in either shows up as a difference.
class ReferenceMt {
 public:
  explicit ReferenceMt(uint32_t s) {
    for (int i = 0; i < 351; ++i) {
      s = s * 29943829u - 1u;
      mt_[i] = s;
    }
  }
  uint32_t Next() {
    if (i_ >= 351) {
      for (int k = 0; k < 351; ++k) {
        const uint32_t y = (mt_[k] & 0xFFF80000u) | (mt_[(k + 1) % 351] & 0x7FFFFu);
        mt_[k] = mt_[(k + 175) % 351] ^ (y >> 1) ^ ((y & 1) ? 0xE4BD75F5u : 0u);
      }
      i_ = 0;
    }
    uint32_t y = mt_[i_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x655E5280u;
    y ^= (y << 15) & 0xFFD58000u;
    y ^= y >> 17;
    return y;
  }

 private:
  std::array<uint32_t, 351> mt_{};
  int i_ = 351;
};

TEST(Mt11213GeneratorTest, SeedOneGivesKnownFirstValues) {
  Mt11213Generator g(1);
  EXPECT_EQ(g.NextU32(), 2258625865u);
  EXPECT_EQ(g.NextU32(), 4233392635u);
  EXPECT_EQ(g.NextU32(), 1874677523u);
}

TEST(Mt11213GeneratorTest, Seed123456GivesKnownDrawsFrom0To50) {
  Mt11213Generator g(123456);
  const int expected[] = {31, 10, 9, 14, 37, 9, 5, 35};
  for (int value : expected) EXPECT_EQ(g.NextInRange(0, 50), value);
}

TEST(Mt11213GeneratorTest, MatchesReferenceAcrossSeveralRegenerations) {
  for (uint32_t seed : {0u, 1u, 4357u, 0xFFFFFFFFu}) {
    Mt11213Generator g(seed);
    ReferenceMt ref(seed);
    for (int i = 0; i < 351 * 4 + 7; ++i)
      ASSERT_EQ(g.NextU32(), ref.Next()) << "seed " << seed << " draw " << i;
  }
}

TEST(Mt11213GeneratorTest, ReseedingRestartsTheSequence) {
  Mt11213Generator g(99);
  const uint32_t first = g.NextU32();
  for (int i = 0; i < 500; ++i) g.NextU32();
  g.Seed(99);
  EXPECT_EQ(g.NextU32(), first);
}

TEST(Mt11213GeneratorTest, UniformIsBuiltFromTheHighBits) {
  Mt11213Generator g(7);
  ReferenceMt ref(7);
  for (int i = 0; i < 1000; ++i) {
    const uint32_t r = ref.Next();
    const uint64_t bits = (uint64_t{0x3FF00000u | (r >> 12)} << 32) | uint32_t(r << 20);
    const double u = g.NextUniform();
    ASSERT_EQ(u, std::bit_cast<double>(bits) - 1.0);
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
  }
}

TEST(Mt11213GeneratorTest, RangeStaysInsideItsBounds) {
  Mt11213Generator g(2024);
  bool sawMin = false, sawMax = false;
  for (int i = 0; i < 5000; ++i) {
    const int v = g.NextInRange(0, 1);
    ASSERT_TRUE(v == 0 || v == 1);
    sawMin |= v == 0;
    sawMax |= v == 1;
  }
  EXPECT_TRUE(sawMin && sawMax);
  for (int i = 0; i < 1000; ++i) {
    const int v = g.NextInRange(-5, 5);
    ASSERT_GE(v, -5);
    ASSERT_LE(v, 5);
  }
}

TEST(Mt11213GeneratorTest, EqualBoundsGiveTheBound) {
  Mt11213Generator g(3);
  EXPECT_EQ(g.NextInRange(12, 12), 12);
}

TEST(Mt11213GeneratorTest, ReversedBoundsGiveMostNegativeWithoutDrawing) {
  Mt11213Generator g(5), same(5);
  EXPECT_EQ(g.NextInRange(10, 9), INT32_MIN);
  EXPECT_EQ(g.NextU32(), same.NextU32());  // nothing was consumed
}

TEST(Mt11213GeneratorTest, FullIntRangeDoesNotOverflow) {
  Mt11213Generator g(11);
  for (int i = 0; i < 1000; ++i) {
    const int64_t v = g.NextInRange(INT32_MIN, INT32_MAX);
    ASSERT_GE(v, INT32_MIN);
    ASSERT_LE(v, INT32_MAX);
  }
}

}  // namespace
}  // namespace sampling
