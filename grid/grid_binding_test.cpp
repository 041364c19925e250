#include "grid/grid_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/cell_grid.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"
#include "tablestore/test_util.h"

namespace grid {
namespace {

using tablestore::TableStore;
using tablestore::testing::AppendRow;
using tablestore::testing::Rows;
using tablestore::testing::TempPath;

constexpr char kDictionaryDesc[] =
    "DataDictionary[TableName:S,FieldType:S,Description:S,ColumnName:S,IsUsed:S,Length:I,Min:S,"
    "Max:S,Validate:S,Callbacks:S,DefaultValue:S,FieldEdit:S,CompoundSelection:S,Order1:I,"
    "Order2:I,Order3:I,Order4:I,Order5:I,Order6:I,Order7:I,Order8:I,Order9:I,Order10:I,"
    "Order11:I,Order12:I]";

// Log: SALE LOG S LN HIT RND OverrideVolume VOID
constexpr char kLogDesc[] = "Log[SALE:S,LOG:I,S:I,LN:I,HIT:S,RND:F,OverrideVolume:I,VOID:I]";
constexpr char kSegDesc[] = "Seg[LOG:I,S:I,SEG:I,LN:I]";

// A scale file with a DataDictionary (defaults and lengths for Log) and rows
// in Log and Seg.
class GridBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(store_.Open(TempPath("grid.scl"), false), 0);
    ASSERT_EQ(store_.DefineTable(kDictionaryDesc), 0);
    ASSERT_EQ(store_.DefineTable(kLogDesc), 0);
    ASSERT_EQ(store_.DefineTable(kSegDesc), 0);
    Describe("SALE", "C", 10);
    Describe("LOG", "I", 4);
    Describe("VOID", "V0", 0);
    log_ = store_.OpenAView("Log", false);
    AppendRow(store_, log_, {"A", "1", "1", "16", "", "1234.5678"});
    AppendRow(store_, log_, {"A", "2", "1", "20"});
    AppendRow(store_, log_, {"A", "3", "1", "24"});
    const int seg = store_.OpenAView("Seg", false);
    AppendRow(store_, seg, {"1", "1", "1", "16"});
    AppendRow(store_, seg, {"2", "1", "1", "10"});
    AppendRow(store_, seg, {"2", "1", "2", "10"});
  }

  void Describe(const std::string& column, const std::string& def, int length) {
    const int dd = store_.OpenAView("DataDictionary", false);
    const int r = AppendRow(store_, dd, {"Log", "S", "", column, "Y"});
    store_.SetInt(dd, r, store_.ColumnIndex(dd, "Length"), length);
    store_.SetText(dd, r, store_.ColumnIndex(dd, "DefaultValue"), def);
    store_.ReleaseView(dd);
  }

  // Column `name` of every row of the slot.
  std::vector<std::string> ColumnOf(int slot, const std::string& name) {
    std::vector<std::string> out;
    const int c = store_.ColumnIndex(slot, name);
    for (int r = 0; r < store_.RowCount(slot); ++r) {
      out.push_back(tablestore::testing::Text(store_, slot, r, c));
    }
    return out;
  }

  std::vector<std::string> RowsInView() {
    std::vector<std::string> out;
    for (int r = 1; r < grid_.RowCount(); ++r) out.push_back(grid_.RowInView(r));
    return out;
  }

  TableStore store_;
  CellGrid grid_;
  GridBinding binding_{store_, grid_};
  int log_ = -1;
};

TEST_F(GridBindingTest, BindShowsTheViewWithTypesWidthsAndRules) {
  ASSERT_EQ(binding_.Bind(log_, ""), 0);
  ASSERT_EQ(grid_.ColumnCount(), 8);
  EXPECT_EQ(grid_.ColumnName(6), "OverrideVolume");
  EXPECT_EQ(grid_.ColumnType(1), 'I');
  EXPECT_EQ(grid_.ColumnType(5), 'F');
  EXPECT_EQ(grid_.ColumnWidth(0), 10);
  EXPECT_EQ(grid_.ColumnWidth(3), kDefaultColumnWidth);
  EXPECT_EQ(binding_.Rule(1).code, 'I');
  EXPECT_EQ(binding_.Rule(7).text, "0");
  EXPECT_EQ(grid_.DataRowCount(), 3);
  EXPECT_EQ(grid_.Text(2, 3), "20");
  EXPECT_EQ(RowsInView(), (std::vector<std::string>{"0", "1", "2"}));
}

TEST_F(GridBindingTest, ColumnListsAreMatchedIgnoringCase) {
  ASSERT_EQ(binding_.Bind(log_, " ln , sale,overridevolume"), 0);
  EXPECT_EQ(grid_.ColumnName(0), "LN");
  EXPECT_EQ(grid_.ColumnName(2), "OverrideVolume");
  EXPECT_EQ(binding_.Column("Sale"), 1);
  EXPECT_EQ(binding_.Column("VOID"), -1);
  EXPECT_EQ(binding_.Bind(log_, "LN,DBH"), -3);
  EXPECT_EQ(grid_.ColumnCount(), 0);
  EXPECT_EQ(binding_.Bind(24, ""), -1);
  EXPECT_EQ(binding_.slot(), -1);
}

struct RuleCase {
  char code;  // the rule's code and text
  const char* text;
  std::vector<const char*> above;  // the data rows' texts before the append
  const char* expected;            // the new row's cell
};

TEST_F(GridBindingTest, NewRowsFollowTheDefaultRules) {
  const std::vector<RuleCase> cases = {
      {'I', "0", {"7"}, "8"},  // a zero increment counts as 1
      {'I', "", {"7"}, "8"},  {'I', "5", {"x"}, "5"},  {'I', "1", {"2147483647"}, "2147483647"},
      {'I', "1", {}, ""},  // the first data row takes no increment
      {'C', "", {}, ""},   // nor a copy
      {'C', "", {"A"}, "A"},  {'V', "YES", {}, "YES"}, {'N', "9", {"7"}, ""},
  };
  ASSERT_EQ(binding_.Bind(log_, "LOG"), 0);
  for (const RuleCase& c : cases) {
    grid_.ClearRows();
    for (const char* text : c.above) grid_.SetText(grid_.AppendRow(), 0, text);
    binding_.SetRule(0, DefaultRule{c.code, c.text});
    const int row = binding_.AppendRow();
    EXPECT_EQ(grid_.Text(row, 0), c.expected) << c.code << c.text;
  }
}

TEST_F(GridBindingTest, TheReadOnlyMarkerMatchesWholeNamesOfTheCommaList) {
  ASSERT_EQ(binding_.Bind(log_, "HIT,RND,LN,OverrideVolume"), 0);
  binding_.MarkReadOnly(1, ",HIT,RN,OVERRIDEVOLUME,");
  EXPECT_TRUE(grid_.IsReadOnly(1, 0));
  EXPECT_EQ(grid_.Colour(1, 0), kReadOnlyColour);
  EXPECT_FALSE(grid_.IsReadOnly(1, 1));  // "RN" is not "RND"
  EXPECT_TRUE(grid_.IsReadOnly(1, 3));
  binding_.MarkReadOnly(2, ",OverrideVolume,");  // the list's case does not matter
  EXPECT_TRUE(grid_.IsReadOnly(2, 3));
  binding_.MarkReadOnly(3, "");
  for (int c = 0; c < 4; ++c) EXPECT_TRUE(grid_.IsReadOnly(3, c));
}

TEST_F(GridBindingTest, InStepWriteBackEditsAppendsAndRemovesRows) {
  const int entry = store_.Select("Log", "LOG,LN,RND", "", "", "LogEntry", "");
  ASSERT_EQ(binding_.Bind(entry, ""), 0);
  grid_.SetText(3, 1, "30");
  grid_.DeleteRow(1);
  grid_.SetText(binding_.AppendRow(), 1, "12");  // LOG 4 by the I rule
  ASSERT_EQ(binding_.WriteBackInStep(), 0);
  EXPECT_EQ(Rows(store_, log_),
            (std::vector<std::string>{"A|2|1|20||0|0|0", "A|3|1|30||0|0|0", "A|4|0|12||0|0|0"}));
  EXPECT_EQ(RowsInView(), (std::vector<std::string>{"0", "1", "2"}));
  // In step again: nothing moves.
  ASSERT_EQ(binding_.WriteBackInStep(), 0);
  EXPECT_EQ(store_.RowCount(log_), 3);
}

TEST_F(GridBindingTest, InStepWriteBackLeavesUnchangedCellsAsStored) {
  ASSERT_EQ(binding_.Bind(log_, "RND"), 0);
  EXPECT_EQ(grid_.Text(1, 0), "1234.57");  // "%g" rounds it
  ASSERT_EQ(binding_.WriteBackInStep(), 0);
  float rnd = 0;
  store_.GetFloat(log_, 0, store_.ColumnIndex(log_, "RND"), rnd);
  EXPECT_EQ(rnd, 1234.5678f);
}

TEST_F(GridBindingTest, InStepWriteBackRenumbersRowsInsertedInTheMiddle) {
  ASSERT_EQ(binding_.Bind(log_, "LOG"), 0);
  grid_.SetText(grid_.InsertRow(2), 0, "9");
  ASSERT_EQ(binding_.WriteBackInStep(), 0);
  // The new row went to the end of the table; its cell says so.
  EXPECT_EQ(RowsInView(), (std::vector<std::string>{"0", "3", "1", "2"}));
  EXPECT_EQ(ColumnOf(log_, "LOG"), (std::vector<std::string>{"1", "2", "3", "9"}));
  grid_.SetText(2, 0, "10");
  ASSERT_EQ(binding_.WriteBackInStep(), 0);
  EXPECT_EQ(ColumnOf(log_, "LOG"), (std::vector<std::string>{"1", "2", "3", "10"}));
}

TEST_F(GridBindingTest, InStepWriteBackRefusesAViewThatHidesNewRows) {
  const int sel = store_.Select("Log", "", "LOG=2", "", "DLog", "");
  ASSERT_EQ(binding_.Bind(sel, "LOG"), 0);
  binding_.AppendRow();
  EXPECT_EQ(binding_.WriteBackInStep(), -1);
}

TEST_F(GridBindingTest, ReplaceWriteBackReplacesTheSelectionAndKeepsLogAndSplit) {
  const int segs = store_.Select("Seg", "", "LOG=2,S=1", "", "DSeg", "");
  ASSERT_EQ(binding_.Bind(segs, "LOG,SEG,LN"), 0);
  ASSERT_EQ(grid_.DataRowCount(), 2);
  grid_.DeleteRow(1);
  grid_.SetRowTexts(binding_.AppendRow(), {"99", "3", "4"});
  ASSERT_EQ(binding_.WriteBackReplace("2", "1"), 0);
  const int seg = store_.FindView("Seg");
  EXPECT_EQ(Rows(store_, seg), (std::vector<std::string>{"1|1|1|16", "2|1|2|10", "2|1|3|4"}));
  EXPECT_EQ(store_.RowCount(segs), 2);
  EXPECT_EQ(RowsInView(), (std::vector<std::string>{"", ""}));
}

TEST_F(GridBindingTest, WriteBacksRefuseAGridWhoseColumnsChanged) {
  ASSERT_EQ(binding_.Bind(log_, "LOG,LN"), 0);
  grid_.SetColumns({"LOG"});
  EXPECT_EQ(binding_.WriteBackInStep(), -1);
  EXPECT_EQ(binding_.WriteBackReplace(), -1);
  EXPECT_EQ(store_.RowCount(log_), 3);
}

TEST_F(GridBindingTest, RefreshRowRereadsItsViewRow) {
  ASSERT_EQ(binding_.Bind(log_, "LN"), 0);
  store_.SetText(log_, 1, store_.ColumnIndex(log_, "LN"), "44");
  grid_.SetText(2, 0, "x");
  EXPECT_EQ(binding_.RefreshRow(2), 0);
  EXPECT_EQ(grid_.Text(2, 0), "44");
  EXPECT_EQ(binding_.RefreshRow(grid_.AppendRow()), -1);  // a new row has no view row
}

TEST_F(GridBindingTest, OneRowIsWrittenBackInStepOnItsOwn) {
  ASSERT_EQ(binding_.Bind(log_, "LOG,LN,VOID"), 0);
  grid_.SetText(2, 1, "21");
  grid_.SetText(3, 2, "");  // an empty number over the stored 0
  EXPECT_EQ(binding_.WriteBackRowInStep(2), 1);
  EXPECT_EQ(binding_.WriteBackRowInStep(3), 0);
  const int row = binding_.AppendRow();
  grid_.SetText(row, 0, "4");
  EXPECT_EQ(binding_.WriteBackRowInStep(row), 3);
  EXPECT_EQ(grid_.RowInView(row), "3");
  EXPECT_EQ(binding_.WriteBackRowInStep(row), 0);
  EXPECT_EQ(ColumnOf(log_, "LN"), (std::vector<std::string>{"16", "21", "24", "0"}));
  EXPECT_EQ(ColumnOf(log_, "VOID"), (std::vector<std::string>{"0", "0", "0", "0"}));
  EXPECT_EQ(binding_.WriteBackRowInStep(0), -1);
  EXPECT_EQ(binding_.WriteBackRowInStep(row + 1), -1);
}

TEST_F(GridBindingTest, RepeatedReplaceLeavesNoRowTwiceWhenAKeyWasEdited) {
  const int segs = store_.Select("Seg", "", "LOG=2,S=1,SEG=1", "", "DSeg", "");
  ASSERT_EQ(binding_.Bind(segs, "LOG,SEG,LN"), 0);
  ASSERT_EQ(grid_.DataRowCount(), 1);
  grid_.SetText(1, 1, "3");  // moved to segment 3: it leaves the selection
  ASSERT_EQ(binding_.WriteBackReplace("2", "1"), 0);
  grid_.SetText(1, 2, "12");
  ASSERT_EQ(binding_.WriteBackReplace("2", "1"), 0);
  EXPECT_EQ(Rows(store_, store_.FindView("Seg")),
            (std::vector<std::string>{"1|1|1|16", "2|1|2|10", "2|1|3|12"}));
}

TEST_F(GridBindingTest, TakesTheDictionaryLengthAndShowsRefusalsOnTheUi) {
  platform::ScriptedUi ui;
  CellGrid grid;
  GridBinding binding(store_, grid, &ui);
  ASSERT_EQ(binding.Bind(log_, "SALE,LOG"), 0);
  EXPECT_EQ(grid.ColumnLength(0), 10);
  ASSERT_TRUE(grid.SetCurrentCell(1, 1));
  ASSERT_TRUE(grid.BeginEdit());
  EXPECT_FALSE(grid.CommitEdit("1x"));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, *CheckCellText({"LOG", 'I', 4}, "1x", {}));
  EXPECT_EQ(ui.messages()[0].caption, kRefusedCaption);
  EXPECT_EQ(ui.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_EQ(grid.Text(1, 1), "1");
}

}  // namespace
}  // namespace grid
