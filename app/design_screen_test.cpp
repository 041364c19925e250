#include "app/design_screen.h"

#include <gtest/gtest.h>

#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "sampling/log_row.h"
#include "sampling/sample_selector.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using testing::ReadRows;

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";

class DesignScreenTest : public ::testing::Test {
 protected:
  DesignScreenTest() : app_(ui_, fs_, clock_, folder_.path()) {
    EXPECT_EQ(app_.files.CreateFromSetup(kDefaultSetup, path_), FileOutcome::kCreated);
  }

  // Writes ST and SCALESYS into row 0 of Load.
  void SetDesign(const std::string& sample, const std::string& units) {
    tablestore::TableStore& store = *app_.store();
    const int load = app_.slots().load;
    ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, "ST"), sample), 0);
    ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, "SCALESYS"), units), 0);
  }

  // KZ as stored in the file on disk (the open file is committed first).
  std::vector<std::vector<std::string>> StoredKz() {
    EXPECT_EQ(app_.store()->Commit(), 0);
    return ReadRows(path_, "KZ");
  }

  testing::TempFolder folder_;
  const std::string path_ = folder_ / "load.scl";
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  Application app_;
};

TEST_F(DesignScreenTest, OpensOnTheStoredTextsAndTheKzRows) {
  SetDesign("3P", "Board");
  DesignScreen screen(app_);
  EXPECT_EQ(screen.view().scaleType, 1);
  EXPECT_EQ(screen.view().scaleSample, 1);
  grid::CellGrid& kz = screen.kzGrid();
  ASSERT_EQ(kz.DataRowCount(), 1);
  EXPECT_EQ(kz.Text(1, kz.ColumnIndex("KZ")), "60");
  EXPECT_EQ(kz.ColumnName(0), "P");
}

TEST_F(DesignScreenTest, TextsOutsideTheListsSelectNothingAndSurviveOk) {
  SetDesign("3p", "cubic");
  DesignScreen screen(app_);
  EXPECT_EQ(screen.view().scaleType, -1);
  EXPECT_EQ(screen.view().scaleSample, -1);
  EXPECT_TRUE(screen.view().kzShown);  // "3p" is 3P, letter case ignored
  const std::optional<DesignChoice> choice = screen.OnOk();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->scaleUnits, "cubic");
  EXPECT_EQ(choice->scaleSample, "3p");
}

TEST_F(DesignScreenTest, SampleListShowsTheKzGridFor3POnly) {
  SetDesign("100", "Cubic");
  DesignScreen screen(app_);
  EXPECT_FALSE(screen.view().kzShown);
  EXPECT_FALSE(screen.view().kzEnabled);
  screen.OnScaleSampleChanged(1);
  EXPECT_TRUE(screen.view().kzShown);
  EXPECT_TRUE(screen.view().kzEnabled);
  screen.OnScaleSampleChanged(0);
  EXPECT_FALSE(screen.view().kzShown);
  const std::optional<DesignChoice> choice = screen.OnOk();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->scaleSample, "100");
  EXPECT_EQ(choice->scaleUnits, "Cubic");
}

TEST_F(DesignScreenTest, LogsLockTheSampleAndKzUntilLoadInfoIsEditable) {
  SetDesign("3P", "Cubic");
  app_.NoteLogsEntered();
  {
    DesignScreen screen(app_);
    EXPECT_FALSE(screen.view().scaleSampleEnabled);
    EXPECT_TRUE(screen.view().kzShown);
    EXPECT_FALSE(screen.view().kzEnabled);
    screen.OnScaleSampleChanged(0);  // refused
    screen.OnAddRecord();            // refused
    screen.OnScaleTypeChanged(1);    // the scale type stays free
    EXPECT_EQ(screen.view().scaleSample, 1);
    EXPECT_EQ(screen.kzGrid().DataRowCount(), 1);
    const std::optional<DesignChoice> choice = screen.OnOk();
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->scaleUnits, "Board");
    EXPECT_EQ(choice->scaleSample, "3P");
  }
  app_.AllowLoadInfoEditing();
  DesignScreen screen(app_);
  EXPECT_TRUE(screen.view().scaleSampleEnabled);
  EXPECT_TRUE(screen.view().kzEnabled);
}

TEST_F(DesignScreenTest, CancelAfterEditingKzLeavesItAsItWas) {
  SetDesign("3P", "Cubic");
  const auto before = StoredKz();
  {
    DesignScreen screen(app_);
    screen.kzGrid().SetText(1, screen.kzGrid().ColumnIndex("KZ"), "99");
    screen.OnAddRecord();
  }  // closed without OK
  EXPECT_EQ(StoredKz(), before);
}

TEST_F(DesignScreenTest, OkWritesTheGridRowsInOrderWithTheirDefaults) {
  SetDesign("3P", "Cubic");
  DesignScreen screen(app_);
  grid::CellGrid& kz = screen.kzGrid();
  screen.OnAddRecord();
  ASSERT_EQ(kz.CurrentRow(), 2);
  kz.SetText(2, kz.ColumnIndex("P"), "1");
  kz.SetText(2, kz.ColumnIndex("SP"), "DF");
  kz.SetText(2, kz.ColumnIndex("KZ"), "40");
  ASSERT_TRUE(screen.OnOk());
  EXPECT_EQ(StoredKz(),
            (std::vector<std::vector<std::string>>{{"0", "", "60"}, {"1", "DF", "40"}}));
}

TEST_F(DesignScreenTest, DeletingEveryKzRowEmptiesKzAndSamplingThenComplains) {
  SetDesign("3P", "Cubic");
  {
    DesignScreen screen(app_);
    grid::CellGrid& kz = screen.kzGrid();
    ASSERT_TRUE(kz.SetCurrentCell(1, 0));
    screen.OnDeleteRecord();
    screen.OnDeleteRecord();  // no current row left: nothing
    EXPECT_EQ(kz.DataRowCount(), 0);
    ASSERT_TRUE(screen.OnOk());
  }
  EXPECT_TRUE(StoredKz().empty());
  std::optional<sampling::SampleSelector> selector =
      sampling::SampleSelector::LoadKZ(*app_.store(), clock_);
  ASSERT_TRUE(selector);
  sampling::TextRow row{{"P", "1"}, {"KPI", "10"}, {"HIT", "-1"}};
  const sampling::SampleResult result = selector->SelectSample(row, "KPI", -1, ui_);
  EXPECT_TRUE(sampling::ShowSelectionError(result.code, ui_));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "KPI, P and HIT columns need to be turned on.\nCan't perform sample selection.");
}

TEST(DesignOrderColumnTest, FollowsDesignAndUnits) {
  EXPECT_EQ(DesignOrderColumn("100", "cubic"), "Order2");
  EXPECT_EQ(DesignOrderColumn("100", "Board"), "Order3");
  EXPECT_EQ(DesignOrderColumn("100", "Longlog"), "Order4");
  EXPECT_EQ(DesignOrderColumn("3P", "Cubic"), "Order5");
  EXPECT_EQ(DesignOrderColumn("3P", "BOARD"), "Order6");
  EXPECT_EQ(DesignOrderColumn("", "Longlog"), "Order7");
}

}  // namespace
}  // namespace app
