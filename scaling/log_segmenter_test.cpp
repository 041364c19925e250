#include "scaling/log_segmenter.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace scaling {
namespace {

using Ints = std::vector<int>;

class LogSegmenterTest : public ::testing::Test {
 protected:
  Ints LengthsOf(int length) {
    segmenter_.SetLog(length, 10, 20);
    segmenter_.ComputeLengths();
    return segmenter_.Lengths();
  }

  LogSegmenter segmenter_;
};

TEST_F(LogSegmenterTest, LengthsOfWorkedExamples) {
  EXPECT_EQ(LengthsOf(20), (Ints{20}));
  EXPECT_EQ(LengthsOf(21), (Ints{11, 10}));
  EXPECT_EQ(LengthsOf(33), (Ints{17, 16}));
  EXPECT_EQ(LengthsOf(40), (Ints{20, 20}));
  EXPECT_EQ(LengthsOf(41), (Ints{14, 14, 13}));
  EXPECT_EQ(LengthsOf(45), (Ints{16, 15, 14}));
  EXPECT_EQ(LengthsOf(61), (Ints{16, 16, 15, 14}));
  EXPECT_EQ(LengthsOf(75), (Ints{20, 19, 18, 18}));
  EXPECT_EQ(LengthsOf(100), (Ints{20, 20, 20, 20, 20}));
}

TEST_F(LogSegmenterTest, ShortLogsAreOneSegment) {
  EXPECT_EQ(LengthsOf(1), (Ints{1}));
  EXPECT_EQ(LengthsOf(17), (Ints{17}));
}

TEST_F(LogSegmenterTest, EveryLengthTo1000IsPlacedWhole) {
  for (int length = 1; length <= 1000; ++length) {
    const Ints lengths = LengthsOf(length);
    const int expectedCount = (length + 19) / 20;
    ASSERT_EQ(static_cast<int>(lengths.size()), expectedCount) << length;
    EXPECT_EQ(segmenter_.SegmentCount(), expectedCount);
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), 0), length) << length;
    for (const int l : lengths) {
      EXPECT_LE(l, 20) << length;
      EXPECT_GE(l, 1) << length;
    }
  }
}

TEST_F(LogSegmenterTest, NoLengthGivesNoSegments) {
  EXPECT_TRUE(LengthsOf(0).empty());
  EXPECT_EQ(segmenter_.SegmentCount(), 0);
  EXPECT_TRUE(LengthsOf(-5).empty());
}

TEST_F(LogSegmenterTest, DamagedHugeLengthGivesNoSegments) {
  EXPECT_TRUE(LengthsOf(2000000000).empty());
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLength);
  EXPECT_EQ(LengthsOf(LogSegmenter::kMaxLogLength).size(), 500u);
}

TEST_F(LogSegmenterTest, SetLogSwapsReversedDiameters) {
  EXPECT_EQ(segmenter_.SetLog(16, 14, 10), 1);
  EXPECT_EQ(segmenter_.SmallDiameter(), 10);
  EXPECT_EQ(segmenter_.LargeDiameter(), 14);
  EXPECT_EQ(segmenter_.SetLog(16, 10, 14), 0);
  EXPECT_EQ(segmenter_.SmallDiameter(), 10);
  // A missing large diameter is not a reversal.
  EXPECT_EQ(segmenter_.SetLog(16, 10, 0), 0);
  EXPECT_EQ(segmenter_.SmallDiameter(), 10);
  EXPECT_EQ(segmenter_.LargeDiameter(), 0);
}

TEST_F(LogSegmenterTest, SetLogClearsPreviousResults) {
  LengthsOf(40);
  segmenter_.SetLog(16, 10, 12);
  EXPECT_EQ(segmenter_.SegmentCount(), -1);
  EXPECT_TRUE(segmenter_.Lengths().empty());
}

TEST_F(LogSegmenterTest, CheckMeasurements) {
  segmenter_.SetLog(16, 10, 12);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kEnough);
  segmenter_.SetLog(16, 0, 12);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoSmallDiameter);
  segmenter_.SetLog(0, 10, 12);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLength);
  // Later tests override earlier ones.
  segmenter_.SetLog(0, 0, 12);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLength);
  segmenter_.SetLog(0, 0, 0);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLargeDiameter);
  EXPECT_EQ(segmenter_.Status(), LogSegmenter::kNoLargeDiameter);
}

TEST_F(LogSegmenterTest, MissingLargeDiameterByScaleSystem) {
  segmenter_.SetLog(16, 10, 0);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLargeDiameter);  // cubic default
  segmenter_.SetScaleSystem("Board");
  EXPECT_EQ(segmenter_.ScaleSystem(), 'B');
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kEnough);
  segmenter_.SetLog(21, 10, 0);
  EXPECT_EQ(segmenter_.CheckMeasurements(), LogSegmenter::kNoLargeDiameter);
}

TEST_F(LogSegmenterTest, DiametersOfTwoSegments) {
  segmenter_.SetLog(40, 10, 16);
  segmenter_.ComputeLengths();
  EXPECT_EQ(segmenter_.ComputeDiameters(), 0);
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{16, 13}));
  EXPECT_EQ(segmenter_.SmallEnds(), (Ints{13, 10}));
}

TEST_F(LogSegmenterTest, DiametersOfThreeSegmentsSpreadFromTop) {
  segmenter_.SetLog(60, 10, 20);
  segmenter_.ComputeLengths();
  EXPECT_EQ(segmenter_.ComputeDiameters(), 0);
  // Top 10 -> 14 (ceil(10/3) = 4), middle 14 -> 17 (ceil(6/2) = 3), butt 17 -> 20.
  EXPECT_EQ(segmenter_.SmallEnds(), (Ints{17, 14, 10}));
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{20, 17, 14}));
}

TEST_F(LogSegmenterTest, DiametersComputeLengthsWhenNeeded) {
  segmenter_.SetLog(40, 16, 10);  // reversed
  EXPECT_EQ(segmenter_.ComputeDiameters(), 0);
  EXPECT_EQ(segmenter_.SegmentCount(), 2);
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{16, 13}));
}

TEST_F(LogSegmenterTest, OneSegmentTakesTheLogDiameters) {
  segmenter_.SetLog(16, 10, 0);
  EXPECT_EQ(segmenter_.ComputeDiameters(), 0);
  EXPECT_EQ(segmenter_.SmallEnds(), (Ints{10}));
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{0}));
}

TEST_F(LogSegmenterTest, NoLargeDiameterFillsOnlyTopSmallEnd) {
  segmenter_.SetLog(45, 10, 0);
  EXPECT_EQ(segmenter_.ComputeDiameters(), 0);
  EXPECT_EQ(segmenter_.SmallEnds(), (Ints{0, 0, 10}));
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{0, 0, 0}));
}

TEST_F(LogSegmenterTest, NoSmallDiameterFillsNothing) {
  segmenter_.SetLog(40, 0, 16);
  EXPECT_EQ(segmenter_.ComputeDiameters(), -1);
  EXPECT_EQ(segmenter_.SmallEnds(), (Ints{0, 0}));
  EXPECT_EQ(segmenter_.LargeEnds(), (Ints{0, 0}));
}

TEST_F(LogSegmenterTest, DiametersAgreeWithPlainTopDownSpread) {
  for (int length = 21; length <= 200; length += 7) {
    for (int taper = 0; taper <= 23; ++taper) {
      segmenter_.SetLog(length, 8, 8 + taper);
      segmenter_.ComputeDiameters();
      const int n = segmenter_.SegmentCount();
      const Ints& small = segmenter_.SmallEnds();
      const Ints& large = segmenter_.LargeEnds();
      // Reference: each segment from the top takes ceil(remaining / segments left).
      int remaining = taper;
      int top = 8;
      for (int i = n - 1; i >= 1; --i) {
        const int share = (remaining + i) / (i + 1);
        remaining -= share;
        EXPECT_EQ(small[i], top);
        EXPECT_EQ(large[i], top + share);
        top += share;
      }
      EXPECT_EQ(small[0], top);
      EXPECT_EQ(large[0], 8 + taper);
    }
  }
}

TEST(SpreadOverSegmentsTest, DecreasingAndIncreasingPairs) {
  Ints butts;
  Ints tops;
  SpreadOverSegments(12, 6, 2, &butts, &tops);
  EXPECT_EQ(butts, (Ints{12, 9}));
  EXPECT_EQ(tops, (Ints{9, 6}));
  SpreadOverSegments(6, 12, 2, &butts, &tops);
  EXPECT_EQ(butts, (Ints{6, 9}));
  EXPECT_EQ(tops, (Ints{9, 12}));
  SpreadOverSegments(5, 5, 3, &butts, &tops);
  EXPECT_EQ(butts, (Ints{5, 5, 5}));
  EXPECT_EQ(tops, (Ints{5, 5, 5}));
  SpreadOverSegments(5, 9, 0, &butts, &tops);
  EXPECT_TRUE(butts.empty());
  EXPECT_TRUE(tops.empty());
}

}  // namespace
}  // namespace scaling
