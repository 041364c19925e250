#include "setup/column_selection_screen.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

using Names = std::vector<std::string>;

ColumnSelectionScreen Make() {
  return ColumnSelectionScreen({"A", "B", "C", "D", "E"}, {"D", "b"});
}

TEST(ColumnSelectionTest, AvailableIsTheTableWithoutTheSelected) {
  const ColumnSelectionScreen s = Make();
  EXPECT_EQ(s.view().available, (Names{"A", "C", "E"}));
  EXPECT_EQ(s.view().selected, (Names{"D", "b"}));
  EXPECT_EQ(s.Result(), "D,b");
}

TEST(ColumnSelectionTest, FocusDecidesWhichButtonsAreEnabled) {
  ColumnSelectionScreen s = Make();
  EXPECT_FALSE(s.view().includeEnabled || s.view().excludeEnabled || s.view().upEnabled ||
               s.view().downEnabled);
  s.FocusAvailable();
  EXPECT_TRUE(s.view().includeEnabled);
  EXPECT_FALSE(s.view().excludeEnabled || s.view().upEnabled || s.view().downEnabled);
  s.FocusSelected();
  EXPECT_FALSE(s.view().includeEnabled);
  EXPECT_TRUE(s.view().excludeEnabled && s.view().upEnabled && s.view().downEnabled);
}

TEST(ColumnSelectionTest, IncludeAndExcludeMoveTheChosenEntryToTheEnd) {
  ColumnSelectionScreen s = Make();
  s.Include();  // nothing chosen: nothing happens
  EXPECT_EQ(s.view().selected.size(), 2u);
  s.ChooseAvailable(2);  // E
  s.Include();
  EXPECT_EQ(s.Result(), "D,b,E");
  EXPECT_EQ(s.view().chosenSelected, 2);
  EXPECT_EQ(s.view().chosenAvailable, 1);  // the last entry left, C
  s.ChooseSelected(0);
  s.Exclude();
  EXPECT_EQ(s.view().available, (Names{"A", "C", "D"}));
  EXPECT_EQ(s.Result(), "b,E");
}

TEST(ColumnSelectionTest, AllButtonsMoveEverything) {
  ColumnSelectionScreen s = Make();
  s.IncludeAll();
  EXPECT_EQ(s.Result(), "D,b,A,C,E");
  EXPECT_TRUE(s.view().available.empty());
  s.ExcludeAll();
  EXPECT_EQ(s.Result(), "");
  EXPECT_EQ(s.view().available, (Names{"D", "b", "A", "C", "E"}));
}

TEST(ColumnSelectionTest, UpAndDownMoveOnePlaceAndStopAtTheEnds) {
  ColumnSelectionScreen s({"A", "B", "C"}, {"A", "B", "C"});
  s.ChooseSelected(0);
  s.Up();
  EXPECT_EQ(s.Result(), "A,B,C");
  s.Down();
  EXPECT_EQ(s.Result(), "B,A,C");
  EXPECT_EQ(s.view().chosenSelected, 1);
  s.Down();
  s.Down();
  EXPECT_EQ(s.Result(), "B,C,A");
  EXPECT_EQ(s.view().chosenSelected, 2);
}

TEST(ColumnSelectionTest, SplitAndJoinColumnLists) {
  EXPECT_EQ(SplitColumns(" LN , SD,,VOID "), (Names{"LN", "SD", "VOID"}));
  EXPECT_EQ(JoinColumns({"LN", "SD"}), "LN,SD");
  EXPECT_TRUE(SplitColumns("").empty());
}

}  // namespace
}  // namespace setup
