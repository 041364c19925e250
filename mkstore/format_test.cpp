#include "mkstore/format.h"

#include <gtest/gtest.h>

#include <vector>

namespace mk::format {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s.push_back(static_cast<char>(x));
  return s;
}

std::string Encode(int64_t v) {
  std::string s;
  PutVarint(&s, v);
  return s;
}

// Encodings of the format notes' Numbers (FORMAT.md).
TEST(VarintTest, EncodesTheDocumentedExamples) {
  EXPECT_EQ(Encode(0), Bytes({0x80}));
  EXPECT_EQ(Encode(1), Bytes({0x81}));
  EXPECT_EQ(Encode(127), Bytes({0xFF}));
  EXPECT_EQ(Encode(128), Bytes({0x01, 0x80}));
  EXPECT_EQ(Encode(300), Bytes({0x02, 0xAC}));
  EXPECT_EQ(Encode(16383), Bytes({0x7F, 0xFF}));
  EXPECT_EQ(Encode(16384), Bytes({0x01, 0x00, 0x80}));
  EXPECT_EQ(Encode(268435456), Bytes({0x01, 0x00, 0x00, 0x00, 0x80}));
  EXPECT_EQ(Encode(2147483647), Bytes({0x07, 0x7F, 0x7F, 0x7F, 0xFF}));
  EXPECT_EQ(Encode(-1), Bytes({0x00, 0x80}));
  EXPECT_EQ(Encode(-129), Bytes({0x00, 0x01, 0x80}));
  EXPECT_EQ(Encode(-2147483648LL), Bytes({0x00, 0x07, 0x7F, 0x7F, 0x7F, 0xFF}));
}

TEST(VarintTest, DecodesWhatItEncodes) {
  for (int64_t v :
       {0LL, 1LL, 127LL, 128LL, 300LL, 16384LL, 2147483647LL, -1LL, -129LL, -2147483648LL}) {
    const std::string s = Encode(v);
    VarintReader r(s);
    int64_t got = 0;
    ASSERT_TRUE(r.Read(&got)) << v;
    EXPECT_EQ(got, v);
    EXPECT_TRUE(r.AtEnd());
  }
}

TEST(VarintTest, RejectsTruncatedAndOversizedInput) {
  int64_t v;
  const std::string unterminated = Bytes({0x01, 0x02});
  EXPECT_FALSE(VarintReader(unterminated).Read(&v));
  const std::string tooLong = Bytes({0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x81});
  EXPECT_FALSE(VarintReader(tooLong).Read(&v));
  const std::string tooBig = Bytes({0x0F, 0x7F, 0x7F, 0x7F, 0xFF});
  EXPECT_FALSE(VarintReader(tooBig).Read(&v));
  EXPECT_FALSE(VarintReader("").Read(&v));
}

TEST(VarintTest, FailedReaderStaysFailed) {
  const std::string s = Bytes({0x01});
  VarintReader r(s);
  int64_t v;
  EXPECT_FALSE(r.Read(&v));
  std::string_view out;
  EXPECT_FALSE(r.ReadBytes(0, &out));
  EXPECT_FALSE(r.AtEnd());
}

// Observed sizes of small integer columns (FORMAT.md, Integer columns) for
// N = 1..8 and each width.
TEST(WidthTest, SmallColumnSizesMatchTheObservedTable) {
  const int widths[] = {1, 2, 4, 8, 16, 32};
  const int sizes[8][6] = {{3, 5, 6, 1, 2, 4},   {3, 5, 1, 2, 4, 8},   {4, 1, 2, 3, 6, 12},
                           {5, 1, 2, 4, 8, 16},  {1, 2, 3, 5, 10, 20}, {1, 2, 3, 6, 12, 24},
                           {1, 2, 4, 7, 14, 28}, {1, 2, 4, 8, 16, 32}};
  for (int n = 1; n <= 8; ++n) {
    for (int w = 0; w < 6; ++w) {
      EXPECT_EQ(SizeForWidth(n, widths[w]), sizes[n - 1][w]) << n << " " << widths[w];
      EXPECT_EQ(WidthFromSize(n, sizes[n - 1][w], 64), widths[w]) << n << " " << widths[w];
    }
  }
}

TEST(WidthTest, EverySizeWrittenMapsBackToItsWidth) {
  for (int n = 1; n <= 3000; ++n) {
    for (int w : {1, 2, 4, 8, 16, 32, 64})
      EXPECT_EQ(WidthFromSize(n, SizeForWidth(n, w), 64), w) << n;
  }
}

TEST(WidthTest, ImpossibleSizesAreRejected) {
  EXPECT_EQ(WidthFromSize(2, 6, 64), -1);   // a "-" entry
  EXPECT_EQ(WidthFromSize(10, 4, 64), -1);  // 3.2 bits
  EXPECT_EQ(WidthFromSize(1, 8, 32), -1);   // 64 bits where 32 is the most
  EXPECT_EQ(WidthFromSize(5, 0, 32), 0);
}

TEST(WidthTest, WidthNeededFollowsTheTable) {
  EXPECT_EQ(WidthNeeded(0), 0);
  EXPECT_EQ(WidthNeeded(1), 1);
  EXPECT_EQ(WidthNeeded(3), 2);
  EXPECT_EQ(WidthNeeded(15), 4);
  EXPECT_EQ(WidthNeeded(16), 8);
  EXPECT_EQ(WidthNeeded(-1), 8);
  EXPECT_EQ(WidthNeeded(-128), 8);
  EXPECT_EQ(WidthNeeded(-129), 16);
  EXPECT_EQ(WidthNeeded(32767), 16);
  EXPECT_EQ(WidthNeeded(32768), 32);
}

TEST(PackedTest, RoundTripsEveryWidthInBothByteOrders) {
  for (bool big : {false, true}) {
    for (int w : {1, 2, 4, 8, 16, 32, 64}) {
      std::string col;
      const int64_t limit = w < 8 ? (1 << w) : 100;
      for (int64_t r = 0; r < 37; ++r)
        PutPacked(&col, w, big, r, (r * 7) % limit - (w >= 8 ? 50 : 0));
      for (int64_t r = 0; r < 37; ++r) {
        EXPECT_EQ(GetPacked(reinterpret_cast<const uint8_t*>(col.data()), w, big, r),
                  (r * 7) % limit - (w >= 8 ? 50 : 0));
      }
    }
  }
}

TEST(PackedTest, SixteenBitsHonourByteOrder) {
  const std::string be = Bytes({0x03, 0xE8, 0xFF, 0xFE});
  EXPECT_EQ(GetPacked(reinterpret_cast<const uint8_t*>(be.data()), 16, true, 0), 1000);
  EXPECT_EQ(GetPacked(reinterpret_cast<const uint8_t*>(be.data()), 16, true, 1), -2);
  EXPECT_EQ(GetPacked(reinterpret_cast<const uint8_t*>(be.data()), 16, false, 0), -6141);
}

TEST(PackedTest, WholeColumnDecodingMatchesOneByOne) {
  // Row counts around whole bytes, so the tail of a partly used byte counts.
  for (bool big : {false, true}) {
    for (int w : {0, 1, 2, 4, 8, 16, 32}) {
      for (int64_t rows = 1; rows <= 19; ++rows) {
        std::string col;
        const int64_t limit = w == 0 ? 1 : w < 8 ? (1 << w) : 100;
        for (int64_t r = 0; r < rows; ++r)
          PutPacked(&col, w, big, r, (r * 5 + 3) % limit - (w >= 8 ? 50 : 0));
        col.resize(static_cast<size_t>((rows * w + 7) / 8));
        const auto* data = reinterpret_cast<const uint8_t*>(col.data());
        std::vector<int32_t> all(static_cast<size_t>(rows), -99);
        GetAllPacked(data, w, big, rows, all.data());
        for (int64_t r = 0; r < rows; ++r) {
          EXPECT_EQ(all[r], GetPacked(data, w, big, r)) << "width " << w << " rows " << rows;
          EXPECT_EQ(all[r], (r * 5 + 3) % limit - (w >= 8 ? 50 : 0));
        }
      }
    }
  }
}

TEST(PackedTest, WideValuesHonourByteOrder) {
  const std::string bytes = Bytes({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0});
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(GetPacked(p, 32, true, 0), 0x12345678);
  EXPECT_EQ(GetPacked(p, 32, false, 0), 0x78563412);
  EXPECT_EQ(GetPacked(p, 32, true, 1), static_cast<int32_t>(0x9ABCDEF0u));
  EXPECT_EQ(GetPacked(p, 64, true, 0), static_cast<int64_t>(0x123456789ABCDEF0u));
  EXPECT_EQ(GetPacked(p, 64, false, 0), static_cast<int64_t>(0xF0DEBC9A78563412u));
  EXPECT_EQ(GetBig32(p + 4), 0x9ABCDEF0u);
}

}  // namespace
}  // namespace mk::format
