#include "mkstore/items.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
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

// Items end to end: S items lose one terminating NUL (only at their end,
// only one), B items keep every byte.
TEST(ItemsTest, ItemsEndToEndDropOnlyTheTextTerminator) {
  const std::string bytes("__pine\0\0x\0\0oak", 14);
  auto buffer = std::make_shared<const std::string>(bytes);
  const std::vector<uint32_t> ends{2, 7, 8, 8, 10, 11, 14};
  Items text;
  text.AssignEnds(buffer, ends, true, false);  // "oak" has no NUL
  const std::vector<std::string> texts{"pine", "", "", "x", "", "oak"};
  ASSERT_EQ(text.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(text[i], texts[i]) << i;
  Items terminated;  // the same without "oak": every item ends in its NUL
  terminated.AssignEnds(buffer, {2, 7, 8, 8, 10, 11}, true, true);
  ASSERT_EQ(terminated.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(terminated[i], texts[i]) << i;
  Items raw;
  raw.AssignEnds(buffer, ends, false, false);
  const std::vector<std::string> items{std::string("pine\0", 5), std::string(1, '\0'), "",
                                       std::string("x\0", 2),    std::string(1, '\0'), "oak"};
  ASSERT_EQ(raw.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(raw[i], items[i]) << i;
  // Changes unpack them first; the values stay.
  text.Erase(0, 1);
  text.Set(4, "elm");
  EXPECT_EQ(text.size(), 5u);
  EXPECT_EQ(text[2], "x");
  EXPECT_EQ(text[4], "elm");
  Items none;
  none.AssignEnds(buffer, {5}, true, true);
  EXPECT_EQ(none.size(), 0u);
}

// Only S items end to end are described for reading in place.
TEST(ItemsTest, OnlyTextsEndToEndAreReadInPlace) {
  auto buffer = std::make_shared<const std::string>(std::string("ab\0cd\0", 6));
  Items items;
  detail::CellColumn cell;
  items.AssignEnds(buffer, {0, 3, 6}, true, true);
  items.Describe(&cell);
  ASSERT_EQ(cell.kind, detail::CellKind::kText);
  std::string_view v;
  ASSERT_TRUE(detail::ReadText(cell, 1, &v));
  EXPECT_EQ(v, "cd");
  EXPECT_EQ(v.data(), buffer->data() + 3);  // no copy
  for (int form = 0; form < 4; ++form) {
    detail::CellColumn other;
    if (form == 0) items.AssignEnds(buffer, {0, 3, 6}, false, false);  // B items
    if (form == 1) items.AssignEnds(buffer, {0, 2, 3}, true, false);   // "ab" unterminated
    if (form == 2) items.AssignPacked(buffer, {{0, 2}, {3, 2}});
    if (form == 3) items.AssignEmpty(2);
    items.Describe(&other);
    EXPECT_EQ(other.kind, detail::CellKind::kNone) << form;
    EXPECT_FALSE(detail::ReadText(other, 0, &v));
  }
}

// Every stored width reads in place (in the host's byte order; 8 and 16
// bits with the bytes before the values that the word read needs); the
// rest is left to the engine; unpacked values always read in place.
TEST(IntsTest, InPlaceReadsCoverEveryWidth) {
  if constexpr (std::endian::native != std::endian::little) GTEST_SKIP() << "little-endian only";
  // Four bytes before the values, then 5, -6, 70000, -80000 as 32-bit
  // little-endian numbers: every width finds other values in them.
  std::string bytes("pad_", 4);
  for (int32_t v : {5, -6, 70000, -80000}) bytes.append(reinterpret_cast<const char*>(&v), 4);
  auto buffer = std::make_shared<const std::string>(bytes);
  struct Case {
    size_t offset;
    int width;
    bool big;
    detail::CellKind kind;
  };
  const detail::CellKind kInt = detail::CellKind::kInt, kBits = detail::CellKind::kBits,
                         kNone = detail::CellKind::kNone;
  const Case cases[] = {
      {4, 1, false, kBits},  {4, 2, true, kBits},  {0, 4, false, kBits}, {4, 8, true, kInt},
      {3, 8, false, kInt},   {2, 8, false, kNone}, {4, 16, false, kInt}, {2, 16, false, kInt},
      {1, 16, false, kNone}, {4, 32, false, kInt}, {0, 32, false, kInt}, {4, 0, false, kNone},
      {4, 16, true, kNone},  {4, 32, true, kNone},
  };
  for (const Case& c : cases) {
    const size_t room = (bytes.size() - c.offset) * 8;
    const size_t rows =
        c.width == 0 ? 4 : std::min<size_t>(room / static_cast<size_t>(c.width), 99);
    Ints ints;
    ints.AssignPacked(buffer, c.offset, c.width, c.big, rows);
    detail::CellColumn cell;
    ints.Describe(false, &cell);
    const std::string what =
        std::to_string(c.width) + (c.big ? " big" : " little") + " at " + std::to_string(c.offset);
    EXPECT_EQ(cell.kind, c.kind) << what;
    int32_t v = 0;
    ASSERT_EQ(detail::ReadInt(cell, 0, &v), c.kind != kNone) << what;
    for (size_t r = 0; c.kind != kNone && r < rows; ++r) {
      ASSERT_TRUE(detail::ReadInt(cell, static_cast<int>(r), &v));
      EXPECT_EQ(v, ints[r]) << what << " row " << r;
    }
    detail::CellColumn asFloat;
    ints.Describe(true, &asFloat);
    EXPECT_EQ(asFloat.kind,
              c.width == 32 && !c.big ? detail::CellKind::kFloat : detail::CellKind::kNone)
        << what;
  }
  Ints unpacked;
  unpacked.AssignPacked(buffer, 4, 32, true, 4);
  unpacked.Set(1, 9);
  detail::CellColumn cell;
  unpacked.Describe(false, &cell);
  EXPECT_EQ(cell.kind, detail::CellKind::kInt);
  int32_t v = 0;
  ASSERT_TRUE(detail::ReadInt(cell, 1, &v));
  EXPECT_EQ(v, 9);
  ASSERT_TRUE(detail::ReadInt(cell, 3, &v));
  EXPECT_EQ(v, unpacked[3]);
  unpacked.Describe(true, &cell);
  EXPECT_EQ(cell.kind, detail::CellKind::kFloat);
  float f = 0;
  ASSERT_TRUE(detail::ReadFloat(cell, 1, &f));
  EXPECT_EQ(std::bit_cast<int32_t>(f), 9);
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
