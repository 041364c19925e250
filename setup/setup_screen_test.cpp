#include "setup/setup_screen.h"

#include "app/test_files.h"
#include "setup/setup_test_fixture.h"
#include "tablestore/settings.h"

namespace setup {
namespace {

using testing::SetupFixture;
using Names = std::vector<std::string>;

const Names kLogTable = {"SALE", "LLR", "LOG", "S",   "SP",  "P",   "KPI", "HIT",
                         "LN",   "SD",  "LD",  "GCV", "NCV", "GBV", "NBV", "VOID"};

struct AdjustCase {
  SetupTable table;
  const char* order;
  const char* units;
  Names chosen;
  Names expected;
};

class AdjustColumnsTest : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(AdjustColumnsTest, AddsRequiredAndRemovesForeignColumns) {
  const AdjustCase& c = GetParam();
  const Names table =
      c.table == SetupTable::kLogs ? kLogTable : Names{"Seg", "LN", "SD",  "M",   "M1",  "M2",
                                                       "M3",  "M4", "DCV", "DBV", "GCV", "GBV"};
  const AdjustedColumns out = AdjustColumns(c.table, c.order, c.units, c.chosen, table);
  EXPECT_EQ(out.columns, c.expected);
  EXPECT_EQ(out.changed, c.chosen != c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AdjustColumnsTest,
    ::testing::Values(
        // 100 % cubic: KPI and HIT never stay, board volumes go.
        AdjustCase{SetupTable::kLogs,
                   "Order2",
                   "Cubic",
                   {"KPI", "HIT", "LOG", "LN", "SD", "GBV", "VOID"},
                   {"LOG", "LN", "SD", "VOID"}},
        // 3P cubic: P, KPI and HIT always there.
        AdjustCase{SetupTable::kLogs,
                   "Order5",
                   "Cubic",
                   {"LOG", "LN", "SD", "VOID"},
                   {"LOG", "LN", "SD", "VOID", "P", "KPI", "HIT"}},
        // Board orders lose the cubic columns.
        AdjustCase{SetupTable::kLogs,
                   "Order3",
                   "Board",
                   {"LOG", "LN", "SD", "VOID", "GCV", "GBV"},
                   {"LOG", "LN", "SD", "VOID", "GBV"}},
        AdjustCase{
            SetupTable::kSegments, "Order6", "Board", {"GCV", "GBV"}, {"GBV", "Seg", "LN", "SD"}},
        AdjustCase{SetupTable::kDefects,
                   "Order2",
                   "Cubic",
                   {"Seg", "M", "M1", "M2", "M3", "M4", "DBV", "DCV"},
                   {"Seg", "M", "M1", "M2", "M3", "M4", "DCV"}},
        // Board units: Seg and LN are required instead of the measurements.
        AdjustCase{SetupTable::kDefects, "Order3", "Board", {"DCV", "DBV"}, {"DBV", "Seg", "LN"}},
        AdjustCase{SetupTable::kHeader, "Order2", "Cubic", {"GCV"}, {"GCV"}}));

class SetupScreenTest : public SetupFixture {
 protected:
  // The column selection window ends with `edit` applied and OK.
  void Choose(std::function<void(ColumnSelectionScreen&)> edit) {
    windows_.select = [edit](ColumnSelectionScreen& s) {
      edit(s);
      return true;
    };
  }
  std::string Shown(const std::string& table, const std::string& order) {
    std::string list;
    EXPECT_GE(Store().MakeProjection(list, table, order), 0);
    return list;
  }
};

TEST_F(SetupScreenTest, OpensOnLogsWithTheDesignsColumns) {
  MakeLoad();
  SetupScreen& screen = OpenScreen();
  EXPECT_EQ(screen.view().scaleType, "Cubic");
  EXPECT_EQ(screen.view().scaleSample, "100");
  EXPECT_EQ(screen.view().tableName, "Log");
  EXPECT_EQ(screen.view().orderColumn, "Order2");
  EXPECT_EQ(screen.view().fields, "SALE,LLR,LOG,S,SP,P,G,B,LN,SD,LD,GCV,NCV,VOID,REM");
  ASSERT_TRUE(screen.view().landingEnabled);
  EXPECT_EQ(screen.view().landingChoices[screen.view().landingIndex], "SP");
  screen.OnTableChanged(static_cast<int>(SetupTable::kHeader));
  EXPECT_FALSE(screen.view().landingEnabled);
  EXPECT_EQ(screen.view().landingIndex, -1);
  screen.OnTableChanged(static_cast<int>(SetupTable::kDefects));
  EXPECT_EQ(screen.view().tableName, "DefC");
}

TEST_F(SetupScreenTest, RemovingLnAddsItBackAtTheEndWithTheMessage) {
  MakeLoad();
  SetupScreen& screen = OpenScreen();
  Choose([](ColumnSelectionScreen& s) {
    s.FocusSelected();
    s.ChooseSelected(8);  // LN
    ASSERT_EQ(s.view().selected[8], "LN");
    s.Exclude();
  });
  screen.OnChangeFields();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Fields have been added/deleted from list");
  EXPECT_EQ(ui_.messages()[0].caption, "Field Selection Status...");
  EXPECT_EQ(screen.view().fields, "SALE,LLR,LOG,S,SP,P,G,B,SD,LD,GCV,NCV,VOID,REM,LN");
  EXPECT_EQ(Shown("Log", "Order2"), screen.view().fields);
}

TEST_F(SetupScreenTest, ThreePLoadKeepsSampleColumnsAndUnchangedListSaysNothing) {
  MakeLoad("3P", "Cubic");
  SetupScreen& screen = OpenScreen();
  EXPECT_EQ(screen.view().orderColumn, "Order5");
  Choose([](ColumnSelectionScreen& s) {
    s.ExcludeAll();
    for (const char* name : {"LOG", "SP", "LN", "SD", "VOID"}) {
      s.FocusAvailable();
      for (size_t i = 0; i < s.view().available.size(); ++i) {
        if (s.view().available[i] == name) s.ChooseAvailable(static_cast<int>(i));
      }
      s.Include();
    }
  });
  screen.OnChangeFields();
  EXPECT_EQ(screen.view().fields, "LOG,SP,LN,SD,VOID,P,KPI,HIT");
  const size_t shown = ui_.messages().size();
  Choose([](ColumnSelectionScreen&) {});
  screen.OnChangeFields();
  EXPECT_EQ(ui_.messages().size(), shown);
}

TEST_F(SetupScreenTest, ChangingLogColumnsKeepsEveryStoredValue) {
  MakeLoad();
  tablestore::TableStore& store = Store();
  const int log = app_->slots().log;
  for (int i = 0; i < 200; ++i) {
    const int row = store.AddRow(log, -1);
    ASSERT_GE(row, 0);
    for (const auto& [column, value] : {std::pair{"LOG", std::to_string(i + 1)},
                                        {"SP", i % 2 ? "DF" : "WH"},
                                        {"LN", std::to_string(16 + i % 20)},
                                        {"SD", std::to_string(6 + i % 9)},
                                        {"REM", "log " + std::to_string(i)},
                                        {"GCV", "12.5"}}) {
      ASSERT_EQ(store.SetText(log, row, store.ColumnIndex(log, column), value), 0);
    }
  }
  ASSERT_EQ(store.Commit(), 0);
  const auto before = app::testing::ReadRows(path_, "Log");
  ASSERT_EQ(before.size(), 200u);
  SetupScreen& screen = OpenScreen();
  Choose([](ColumnSelectionScreen& s) {
    s.FocusSelected();
    s.ChooseSelected(0);
    for (int i = 0; i < 4; ++i) s.Exclude();  // SALE, LLR, LOG, S
  });
  screen.OnChangeFields();
  EXPECT_EQ(screen.view().fields, "SP,P,G,B,LN,SD,LD,GCV,NCV,VOID,REM,LOG");
  EXPECT_EQ(app::testing::ReadRows(path_, "Log"), before);
}

TEST_F(SetupScreenTest, ListWithoutColumnsIsRefused) {
  MakeLoad();
  SetupScreen& screen = OpenScreen();
  screen.OnTableChanged(static_cast<int>(SetupTable::kHeader));
  const std::string header = screen.view().fields;
  Choose([](ColumnSelectionScreen& s) { s.ExcludeAll(); });
  screen.OnChangeFields();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Error");
  EXPECT_EQ(Shown("Load", "Order2"), header);
  EXPECT_EQ(screen.view().fields, header);
}

TEST_F(SetupScreenTest, LandingFieldFallsBackToFirstColumnAndIsStored) {
  MakeLoad();
  app_->SetLandingField(app::GridMode::kSegment, "NOPE");
  SetupScreen& screen = OpenScreen();
  screen.OnTableChanged(static_cast<int>(SetupTable::kSegments));
  EXPECT_EQ(screen.view().landingIndex, 0);
  EXPECT_EQ(app_->landingFields().Of(app::GridMode::kSegment), "SALE");
  EXPECT_EQ(app::testing::GlobalValue(path_, "DefField", "Seg"), "SALE");
  screen.OnLandingChanged(5);  // LN
  EXPECT_EQ(app_->landingFields().Of(app::GridMode::kSegment), "LN");
  EXPECT_EQ(app::testing::GlobalValue(path_, "DefField", "Seg"), "LN");
}

TEST_F(SetupScreenTest, ButtonsOpenTheirWindows) {
  MakeLoad();
  SetupScreen& screen = OpenScreen();
  screen.OnChangeLengths();
  screen.OnOtherOptions();
  screen.OnSupervisor();
  EXPECT_EQ(windows_.lengths, Names{"Log"});
  EXPECT_EQ(windows_.options, 1);
  EXPECT_EQ(screens_.Count("Supervisor"), 1);
}

}  // namespace
}  // namespace setup
