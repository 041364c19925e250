#include "mkstore/items.h"

#include <gtest/gtest.h>

#include <random>

namespace mk {
namespace {

// Packed columns behave exactly like a plain vector through every change.
TEST(ItemsTest, PackedItemsFollowAPlainVector) {
  auto buffer = std::make_shared<const std::string>("xxhelloworld!");
  Items items;
  items.AssignPacked(buffer, {{2, 5}, {7, 5}, {12, 1}, {0, 0}});
  std::vector<std::string> ref{"hello", "world", "!", ""};
  ASSERT_EQ(items.size(), ref.size());
  for (size_t i = 0; i < ref.size(); ++i) EXPECT_EQ(items[i], ref[i]);
  std::mt19937 rng(3);
  for (int step = 0; step < 500; ++step) {
    const size_t n = ref.size();
    switch (rng() % 3) {
      case 0:
        if (n > 0) {
          const size_t i = rng() % n;
          const std::string v(rng() % 20, static_cast<char>('a' + rng() % 26));
          items.Set(i, v);
          ref[i] = v;
        }
        break;
      case 1: {
        const size_t pos = rng() % (n + 1), count = rng() % 3;
        items.Insert(pos, count);
        ref.insert(ref.begin() + static_cast<std::ptrdiff_t>(pos), count, std::string());
        break;
      }
      default:
        if (n > 0) {
          const size_t pos = rng() % n, count = std::min<size_t>(rng() % 3, n - pos);
          items.Erase(pos, count);
          ref.erase(ref.begin() + static_cast<std::ptrdiff_t>(pos),
                    ref.begin() + static_cast<std::ptrdiff_t>(pos + count));
        }
    }
    ASSERT_EQ(items.size(), ref.size());
    for (size_t i = 0; i < ref.size(); ++i) ASSERT_EQ(items[i], ref[i]) << step;
  }
  items.AssignEmpty(2);
  EXPECT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1], "");
}

TEST(IntsTest, PackedValuesDecodeAtEveryWidth) {
  // 4-bit values 1..6 (low nibble first), then 16-bit big-endian -2, 300.
  auto buffer = std::make_shared<const std::string>(std::string("\x21\x43\x65\xFF\xFE\x01\x2C", 7));
  Ints nibbles;
  nibbles.AssignPacked(buffer, 0, 4, false, 6);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(nibbles[i], static_cast<int32_t>(i + 1));
  Ints wide;
  wide.AssignPacked(buffer, 3, 16, true, 2);
  EXPECT_EQ(wide[0], -2);
  EXPECT_EQ(wide[1], 300);
  Ints zeros;
  zeros.AssignPacked(buffer, 0, 0, false, 4);
  EXPECT_EQ(zeros.size(), 4u);
  EXPECT_EQ(zeros[3], 0);
}

TEST(IntsTest, ChangesUnpackFirst) {
  auto buffer = std::make_shared<const std::string>(std::string("\x21\x43\x65", 3));
  Ints v;
  v.AssignPacked(buffer, 0, 4, false, 6);
  v.Set(0, -100000);
  v.Insert(6, 2);
  v.Erase(1, 1);
  const std::vector<int32_t> expected{-100000, 3, 4, 5, 6, 0, 0};
  ASSERT_EQ(v.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(v[i], expected[i]);
  v.AssignZeros(1);
  EXPECT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0], 0);
}

}  // namespace
}  // namespace mk
