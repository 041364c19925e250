#include "scaling/data_model.h"

#include <gtest/gtest.h>

namespace scaling {
namespace {

TEST(DataModelTest, UsualSelections) {
  EXPECT_EQ(LoadCriteria("101", "55"), "SALE=101,LLR=55");
  EXPECT_EQ(LiveLogsCriteria("101", "55"), "SALE=101,LLR=55,VOID=0");
  EXPECT_EQ(ComputedLogsCriteria("101", "55"), "SALE=101,LLR=55,VOID=0,OverrideVolume=0");
  EXPECT_EQ(LogCriteria("101", "55", 12, "2"), "SALE=101,LLR=55,LOG=12,S=2");
  EXPECT_EQ(SegmentCriteria("101", "55", 12, "2", 3), "SALE=101,LLR=55,LOG=12,S=2,Seg=3");
}

TEST(DataModelTest, DefectTableByScaleSystem) {
  EXPECT_EQ(DefectTable("Board"), "DefB");
  EXPECT_EQ(DefectTable("board"), "DefB");
  EXPECT_EQ(DefectTable("Cubic"), "DefC");
  EXPECT_EQ(DefectTable("Longlog"), "DefC");
  EXPECT_EQ(DefectTable(""), "DefC");
}

TEST(DataModelTest, NamesAsTheFilesHoldThem) {
  EXPECT_STREQ(table::kDefC, "DefC");
  EXPECT_STREQ(col::kOverrideVolume, "OverrideVolume");
  EXPECT_STREQ(col::kSkipSeg, "SkipSeg");
  EXPECT_STREQ(col::kSeg, "Seg");
  EXPECT_STREQ(col::kCfNonSawBd, "CFNONSAWBD");
  EXPECT_STREQ(kLoadLimitColumns,
               "ST,SCALESYS,CFSAWCU,CFNONSAWCU,CFSAWBD,CFNONSAWBD,MINLEN,MAXLEN,MINDIA,MAXDIA");
}

}  // namespace
}  // namespace scaling
