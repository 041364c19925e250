#include "setup/column_selection_screen.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

using Names = std::vector<std::string>;

ColumnSelectionScreen Make() { return ColumnSelectionScreen({"A", "B", "C", "D", "E"}, {"D", "b"}); }

TEST(ColumnSelectionTest, AvailableIsTheTableWithoutTheSelected) {
  const ColumnSelectionScreen s = Make();
  EXPECT_EQ(s.Available(), (Names{"A", "C", "E"}));
  EXPECT_EQ(s.Selected(), (Names{"D", "b"}));
  EXPECT_EQ(s.Result(), "D,b");
}

TEST(ColumnSelectionTest, FocusDecidesWhichButtonsAreEnabled) {
  ColumnSelectionScreen s = Make();
  EXPECT_FALSE(s.IncludeEnabled() || s.ExcludeEnabled() || s.UpEnabled() || s.DownEnabled());
  s.FocusAvailable();
  EXPECT_TRUE(s.IncludeEnabled());
  EXPECT_FALSE(s.ExcludeEnabled() || s.UpEnabled() || s.DownEnabled());
  s.FocusSelected();
  EXPECT_FALSE(s.IncludeEnabled());
  EXPECT_TRUE(s.ExcludeEnabled() && s.UpEnabled() && s.DownEnabled());
}

TEST(ColumnSelectionTest, IncludeAndExcludeMoveTheChosenEntryToTheEnd) {
  ColumnSelectionScreen s = Make();
  s.Include();  // nothing chosen: nothing happens
  EXPECT_EQ(s.Selected().size(), 2u);
  s.ChooseAvailable(2);  // E
  s.Include();
  EXPECT_EQ(s.Result(), "D,b,E");
  EXPECT_EQ(s.ChosenSelected(), 2);
  EXPECT_EQ(s.ChosenAvailable(), 1);  // the last entry left, C
  s.ChooseSelected(0);
  s.Exclude();
  EXPECT_EQ(s.Available(), (Names{"A", "C", "D"}));
  EXPECT_EQ(s.Result(), "b,E");
}

TEST(ColumnSelectionTest, AllButtonsMoveEverything) {
  ColumnSelectionScreen s = Make();
  s.IncludeAll();
  EXPECT_EQ(s.Result(), "D,b,A,C,E");
  EXPECT_TRUE(s.Available().empty());
  s.ExcludeAll();
  EXPECT_EQ(s.Result(), "");
  EXPECT_EQ(s.Available(), (Names{"D", "b", "A", "C", "E"}));
}

TEST(ColumnSelectionTest, UpAndDownMoveOnePlaceAndStopAtTheEnds) {
  ColumnSelectionScreen s({"A", "B", "C"}, {"A", "B", "C"});
  s.ChooseSelected(0);
  s.Up();
  EXPECT_EQ(s.Result(), "A,B,C");
  s.Down();
  EXPECT_EQ(s.Result(), "B,A,C");
  EXPECT_EQ(s.ChosenSelected(), 1);
  s.Down();
  s.Down();
  EXPECT_EQ(s.Result(), "B,C,A");
  EXPECT_EQ(s.ChosenSelected(), 2);
}

TEST(ColumnSelectionTest, SplitAndJoinColumnLists) {
  EXPECT_EQ(SplitColumns(" LN , SD,,VOID "), (Names{"LN", "SD", "VOID"}));
  EXPECT_EQ(JoinColumns({"LN", "SD"}), "LN,SD");
  EXPECT_TRUE(SplitColumns("").empty());
}

}  // namespace
}  // namespace setup
