#include "dataentry/data_entry_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/test_files.h"
#include "cli/commands.h"
#include "dataentry/data_entry_fixture.h"
#include "grid/keys.h"
#include "mkstore/fault_file_system.h"
#include "sampling/mt11213_generator.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace dataentry {
namespace {

using app::GridMode;

using platform::Answer;
using testing::CubicHeader;
namespace key = grid::key;

constexpr int kCtrl = 1;

class DataEntryScreenTest : public testing::ScreenFixture {
 protected:
  // The RND values the screen's generator will draw (KZ 60 of the default
  // setup, seeded with the fixed tick count), in order.
  std::vector<int> Draws(int count) {
    sampling::Mt11213Generator generator(clock_.TickCount());
    std::vector<int> draws;
    for (int i = 0; i < count; ++i) draws.push_back(generator.NextInRange(0, 60));
    return draws;
  }
  // Rows of a table in the file on disk (after the screen saved).
  std::vector<std::vector<std::string>> Rows(const std::string& table) {
    return app::testing::ReadRows(path_, table);
  }
  void Measure(const char* ln, const char* sd, const char* ld) {
    Type("LN", ln);
    Type("SD", sd);
    Type("LD", ld);
  }
  // A new log (Ctrl+A) of species DF with log number `log` and estimate `kpi`.
  void NewLog(const std::string& log, int kpi) {
    Press('A', kCtrl);
    Type("LOG", log);
    Type("SP", "DF");
    Type("KPI", std::to_string(kpi));
  }
  void RecordWholeLoad();
};

// One whole 3P cubic load typed into the screen, from the first log to F2.
void DataEntryScreenTest::RecordWholeLoad() {
  MakeLoad(CubicHeader(), {{"CloseHitWindow", "2.5"}});
  OpenScreen();
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
  const std::vector<int> rnd = Draws(9);
  ASSERT_GE(rnd[1], 2) << "pick another tick count: log 2 must be a non-sample log";
  const auto sample = [&](int i) { return std::max(rnd[i], 1); };

  // Log 1: a sample log whose diameters are typed in the wrong order, with
  // three whole-log defects.
  NewLog("1", sample(0));
  EXPECT_EQ(screen_->view().status, "New Log");
  EXPECT_EQ(LogCell(1, "HIT"), "1");
  EXPECT_EQ(LogCell(1, "RND"), std::to_string(rnd[0]));
  EXPECT_EQ(LastMessage(), "SAMPLE LOG!");
  EXPECT_EQ(ui_.messages().back().close_after_ms, 2000);  // whole seconds of CloseHitWindow
  Measure("32", "20", "14");
  EXPECT_EQ(LogCell(1, "SD"), "14");
  EXPECT_EQ(LogCell(1, "LD"), "20");
  Press('D');  // the DefectScreen key on a number column
  ASSERT_EQ(screen_->view().mode, GridMode::kDefect);
  EXPECT_EQ(screen_->view().bold, Button::kDef);
  grid::CellGrid& defects = screen_->DefectGrid();
  const struct {
    char method;
    const char* status;
    std::vector<std::string> greyed, open;
    std::vector<std::pair<std::string, std::string>> values;
  } methods[] = {
      {'1', "Length Cut", {"M1", "M2", "M3", "M4", "PCT"}, {"LN"}, {{"LN", "4"}}},
      {'3', "Squared Area", {}, {"M1", "M2", "M3", "M4"}, {{"M1", "4"}, {"M2", "3"}}},
      {'4', "Percent Deduction", {"M1", "M2", "M3", "M4"}, {"PCT"}, {{"PCT", "10"}}},
  };
  for (const auto& m : methods) {
    Press(key::kDown);  // on the last (or no) row: a new defect
    const int row = defects.DataRowCount();
    Type("M", std::string(1, m.method));
    EXPECT_EQ(screen_->view().status, m.status);
    for (const std::string& c : m.greyed) {
      EXPECT_TRUE(defects.IsReadOnly(row, defects.ColumnIndex(c))) << c;
    }
    for (const std::string& c : m.open) {
      EXPECT_FALSE(defects.IsReadOnly(row, defects.ColumnIndex(c))) << c;
    }
    for (const auto& [column, value] : m.values) {
      EXPECT_TRUE(Type(column, value));
    }
  }
  Press('L');
  ASSERT_EQ(screen_->view().mode, GridMode::kLog);

  // Log 2: not a sample; its measurements lock and the cursor moves on,
  // appending log 3.
  NewLog("2", rnd[1] - 1);
  EXPECT_EQ(LogCell(2, "HIT"), "0");
  EXPECT_TRUE(screen_->LogGrid().IsReadOnly(2, screen_->LogGrid().ColumnIndex("LN")));
  ASSERT_EQ(LastLogRow(), 3);
  EXPECT_EQ(LogCell(3, "LOG"), "3");

  // Log 3 and its split.
  Type("SP", "WH");
  Type("KPI", std::to_string(sample(2)));
  Measure("16", "8", "10");
  Press('S', kCtrl);
  EXPECT_EQ(screen_->view().status, "Split");
  EXPECT_EQ(LogCell(4, "LOG"), "3");
  EXPECT_EQ(LogCell(4, "S"), "2");
  Type("KPI", std::to_string(sample(3)));
  Measure("12", "6", "8");

  // Log 4: 45 feet, cut into three segments. Down while its estimate is
  // still being typed ends the edit first (as Tab) instead of appending.
  Press('A', kCtrl);
  Type("LOG", "4");
  Type("SP", "DF");
  grid::CellGrid& logs = screen_->LogGrid();
  logs.SetCurrentCell(LastLogRow(), logs.ColumnIndex("KPI"));
  ASSERT_TRUE(logs.BeginEdit());
  const grid::KeyResult down = screen_->OnKeyDown(key::kDown, false);
  EXPECT_EQ(down.action, grid::KeyAction::kReplace);
  EXPECT_EQ(down.code, key::kTab);
  logs.CommitEdit(std::to_string(sample(4)));
  Measure("45", "12", "18");
  Press('S');
  ASSERT_EQ(screen_->view().mode, GridMode::kSegment);
  grid::CellGrid& segments = screen_->SegmentGrid();
  ASSERT_EQ(segments.DataRowCount(), 3);
  int length = 0;
  for (int r = 1; r <= 3; ++r) length += std::stoi(Cell(segments, r, "LN"));
  EXPECT_EQ(length, 45);
  EXPECT_TRUE(segments.IsColumnHidden(segments.ColumnIndex("SALE")));
  Press(key::kDown);  // on segments Down only moves
  Press('L');

  // Log 5: a 50-foot butt log with its midpoint diameter.
  NewLog("5", sample(5));
  Type("LN", "50");
  Type("SD", "12");
  ui_.QueueAnswer(Answer::kYes);
  ui_.QueuePrompt("16");
  Type("LD", "20");
  EXPECT_EQ(LogCell(6, "REM"), "Midpoint diameter: 16");
  EXPECT_EQ(LogCell(6, "SkipSeg"), "16");

  // Log 6: LD from the taper table (DF, district 3: 0.14 in/ft).
  NewLog("6", sample(6));
  Type("LN", "32");
  Type("SD", "12");
  Type("REM", "Butt");  // (import texts drop leading blanks: keep REM from starting with one)
  Type("B", "b");
  EXPECT_EQ(LogCell(7, "LD"), "16");
  EXPECT_EQ(LogCell(7, "REM"), "Butt LD of 16 calculated using a taper of 0.140 in/ft.");
  EXPECT_EQ(screen_->LogGrid().Colour(7, screen_->LogGrid().ColumnIndex("LD")), 0x0000FFu);

  // Log 7: entered, then deleted with a remark; a replacement log 7 follows.
  NewLog("7", sample(7));
  Measure("16", "10", "12");
  ui_.QueueAnswer(Answer::kOk);
  ui_.QueuePrompt("entered twice");
  screen_->OnDelete();
  EXPECT_EQ(LogCell(8, "VOID"), "1");
  EXPECT_EQ(LogCell(8, "REM"), "entered twice");
  EXPECT_TRUE(screen_->LogGrid().IsReadOnly(8, 0));
  ASSERT_EQ(LastLogRow(), 9);
  EXPECT_EQ(LogCell(9, "LOG"), "7");
  Type("SP", "DF");
  Type("KPI", std::to_string(sample(8)));
  Measure("20", "9", "11");

  // Log 7 again, its volume overridden to zero.
  ui_.QueueAnswer(Answer::kYes);
  Press('O', kCtrl);
  EXPECT_EQ(LogCell(9, "OverrideVolume"), "1");
  EXPECT_EQ(LogCell(9, "REM"), "0 Vol ");
  EXPECT_EQ(ui_.messages().back().caption, "Override Volume?");

  // F2: saved, audited, and the totals shown.
  Press(key::kF2);
  ASSERT_FALSE(ui_.texts().empty());
  EXPECT_EQ(ui_.texts().back().caption, "3P Load Information");
  const std::string& totals = ui_.texts().back().text;
  EXPECT_NE(totals.find("SALE: Cedar Ridge  LLR: 1001\r\n"), std::string::npos) << totals;
  EXPECT_NE(totals.find("Measured:   7       0        7\r\n"), std::string::npos) << totals;
  EXPECT_NE(totals.find(" Counted:   1       0        1\r\n"), std::string::npos) << totals;

  // What reached the file: nine Log rows, the deleted one kept, the
  // defects of log 1 and the midpoint segments of log 5.
  const auto stored = Rows("Log");
  ASSERT_EQ(stored.size(), 9u);
  EXPECT_EQ(Rows("DefC").size(), 3u);
  EXPECT_TRUE(screen_->Close());
}

TEST_F(DataEntryScreenTest, RecordsAWhole3PLoad) { RecordWholeLoad(); }

// ---- Keys -----------------------------------------------------------------------

TEST_F(DataEntryScreenTest, KeysOnTheLogGrid) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  grid::CellGrid& logs = screen_->LogGrid();
  logs.SetCurrentCell(1, logs.ColumnIndex("LN"));
  const struct {
    int code;
    grid::KeyAction action;
    int passed;
  } cases[] = {
      {key::kNumpad0 + 7, grid::KeyAction::kReplace, '7'},
      {key::kEnter, grid::KeyAction::kReplace, key::kTab},
      {key::kEscape, grid::KeyAction::kPass, 0},
      {'5', grid::KeyAction::kPass, 0},
      {key::kPeriod, grid::KeyAction::kPass, 0},
      {'Q', grid::KeyAction::kSwallow, 0},  // a letter in a number column
      {key::kBackspace, grid::KeyAction::kPass, 0},
  };
  for (const auto& c : cases) {
    const grid::KeyResult r = screen_->OnKeyDown(c.code, false);
    EXPECT_EQ(r.action, c.action) << c.code;
    if (c.action == grid::KeyAction::kReplace) {
      EXPECT_EQ(r.code, c.passed) << c.code;
    }
  }
  EXPECT_EQ(ui_.beeps().size(), 1u);
  // Letters typed into a number column leave nothing in the cell.
  EXPECT_TRUE(Type("LN", "1Q6"));
  EXPECT_EQ(LogCell(1, "LN"), "16");
  // In a text column every letter goes through, key letters included.
  logs.SetCurrentCell(1, logs.ColumnIndex("SP"));
  EXPECT_EQ(screen_->OnKeyDown('S', false).action, grid::KeyAction::kPass);
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
  // Ctrl with a letter that is no command passes.
  EXPECT_EQ(screen_->OnKeyDown('Z', true).action, grid::KeyAction::kPass);
}

TEST_F(DataEntryScreenTest, DownOnTheLastRowOfEachGrid) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press(key::kDown);  // an empty grid: the first log
  ASSERT_EQ(LastLogRow(), 1);
  Type("LOG", "1");
  Type("SP", "DF");
  Measure("45", "12", "18");
  Press(key::kDown);
  EXPECT_EQ(LastLogRow(), 2);
  EXPECT_EQ(LogCell(2, "LOG"), "2");
  EXPECT_EQ(LogCell(2, "SP"), "DF");  // copied from the row above
  screen_->LogGrid().SetCurrentCell(1, 0);
  Press(key::kDown);  // not the last row: only moves
  EXPECT_EQ(LastLogRow(), 2);
  screen_->LogGrid().SetCurrentCell(1, 0);
  screen_->OnSegButton();
  ASSERT_EQ(screen_->view().mode, GridMode::kSegment);
  screen_->SegmentGrid().SetCurrentCell(3, 0);
  Press(key::kDown);
  EXPECT_EQ(screen_->SegmentGrid().DataRowCount(), 3);
  screen_->OnDefButton();
  ASSERT_EQ(screen_->view().mode, GridMode::kDefect);
  Press(key::kDown);
  Press(key::kDown);  // the new row is empty, but it is the last row
  EXPECT_EQ(screen_->DefectGrid().DataRowCount(), 2);
  EXPECT_EQ(Cell(screen_->DefectGrid(), 1, "Seg"), "3");
}

TEST_F(DataEntryScreenTest, CtrlSWithoutSplitColumnsAppendsAPlainRecord) {
  MakeLoad(CubicHeader("100"));
  ASSERT_EQ(Store().StoreProjection("SALE,LLR,SP,P,LN,SD,LD,VOID,REM", "Log", "Order2"), 0);
  ASSERT_EQ(Store().Commit(), 0);
  OpenScreen();
  Press('A', kCtrl);
  Type("SP", "WH");
  Press('S', kCtrl);
  EXPECT_EQ(LastLogRow(), 2);
  EXPECT_EQ(screen_->view().status, "");
  EXPECT_EQ(screen_->LogGrid().ColumnIndex("S"), -1);
}

TEST_F(DataEntryScreenTest, RefusedAppendLeavesTheRowAlone) {
  MakeLoad(CubicHeader("100"), {{"AuditEachLogBeforeAppend", "YES"}});
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Type("SP", "XX");  // not a species of the setup
  Press('S', kCtrl);
  EXPECT_EQ(LastLogRow(), 1);
  EXPECT_EQ(ui_.messages().back().caption, "Log 1 has errors");
  EXPECT_EQ(LogCell(1, "S"), "1");
  EXPECT_EQ(screen_->view().status, "");
}

// ---- Switching and the checks ---------------------------------------------------

TEST_F(DataEntryScreenTest, SwitchingNeedsAMeasuredLiveLog) {
  for (const std::string units : {"Cubic", "Board"}) {
    SCOPED_TRACE(units);
    screen_.reset();
    MakeLoad(CubicHeader("100", units));
    OpenScreen();
    Press('A', kCtrl);
    screen_->OnSegButton();
    EXPECT_EQ(LastMessage(), "Missing length or diameter.");
    EXPECT_EQ(ui_.messages().back().caption, "Segmentation");
    EXPECT_EQ(screen_->view().mode, GridMode::kLog);
    Type("LN", "16");
    Type("SD", "10");  // LD stays 0
    screen_->OnSegButton();
    EXPECT_EQ(screen_->view().mode, units == "Board" ? GridMode::kSegment : GridMode::kLog);
    screen_->OnLogButton();
  }
}

TEST_F(DataEntryScreenTest, DeletedLogIsRefusedEverywhere) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  Press('A', kCtrl);
  Measure("16", "10", "12");
  screen_->LogGrid().SetCurrentCell(1, 0);
  ui_.QueueAnswer(Answer::kOk);
  ui_.QueuePrompt("broken");
  screen_->OnDelete();
  EXPECT_EQ(LastLogRow(), 2);  // not the last row: no replacement
  for (auto command : {&DataEntryScreen::OnSegButton, &DataEntryScreen::OnDefButton,
                       &DataEntryScreen::OnVolume, &DataEntryScreen::OnVolumeOverride}) {
    (screen_.get()->*command)();
    EXPECT_EQ(LastMessage(), "This log has been deleted");
    EXPECT_EQ(ui_.messages().back().caption, "Access Denied");
  }
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
  const size_t asked = ui_.messages().size();
  screen_->OnDelete();  // already deleted: nothing happens
  EXPECT_EQ(ui_.messages().size(), asked);
}

TEST_F(DataEntryScreenTest, EmptyRowIsRemovedWithoutAsking) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  Press('A', kCtrl);
  screen_->OnDelete();
  EXPECT_EQ(LastLogRow(), 1);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(screen_->LogGrid().CurrentRow(), 1);
  ASSERT_TRUE(screen_->OnSave());
  EXPECT_EQ(Rows("Log").size(), 1u);
}

TEST_F(DataEntryScreenTest, AppendAfterDefectAddsALogOnReturn) {
  MakeLoad(CubicHeader("100"), {{"AppendAfterDefect", "YES"}});
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  screen_->OnDefButton();
  Press(key::kDown);
  Type("M", "9");
  EXPECT_EQ(screen_->view().status, "Invalid Defect Method Code");
  Type("LN", "20");  // longer than the log
  screen_->OnLogButton();
  EXPECT_EQ(screen_->view().mode, GridMode::kDefect);
  EXPECT_EQ(ui_.messages().back().caption, "Defect Error!");
  Type("LN", "2");
  screen_->OnLogButton();
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
  EXPECT_EQ(LastLogRow(), 2);
}

TEST_F(DataEntryScreenTest, RenumberedLogTakesItsSegmentsAlong) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("45", "12", "18");
  screen_->OnSegButton();
  screen_->OnLogButton();
  Type("LOG", "9");
  ASSERT_TRUE(screen_->OnSave());
  int moved = 0;
  for (const auto& row : Rows("Seg")) moved += row[2] == "9";
  EXPECT_EQ(moved, 3);
}

// ---- Windows -------------------------------------------------------------------

TEST_F(DataEntryScreenTest, VolumeWindowAndItsRefusals) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "5");
  screen_->OnVolume();
  EXPECT_EQ(LastMessage(), "Not enough measurements!");
  Measure("16", "10", "12");
  screen_->OnVolume();
  ASSERT_EQ(ui_.texts().size(), 1u);
  EXPECT_EQ(ui_.texts()[0].caption, "Log Volume");
  EXPECT_EQ(ui_.texts()[0].text.rfind("SALE: Cedar Ridge  LLR: 1001\r\n\r\n", 0), 0u);
  ui_.QueueAnswer(Answer::kYes);
  Press('O', kCtrl);
  screen_->OnVolume();
  EXPECT_EQ(LastMessage(), "This log had its volume overridden to 0");
  EXPECT_EQ(ui_.messages().back().caption, "Log=5, S=1");
  ui_.QueueAnswer(Answer::kYes);
  Press('O', kCtrl);
  EXPECT_EQ(ui_.messages().back().text,
            "Log 5, S 1 already has its volume overridden to zero.\nTurn this off?\n(Allow volume "
            "to be calculated)");
  EXPECT_EQ(LogCell(1, "REM"), "");
}

// ---- Bad input and faults ---------------------------------------------------------

// Pastes every text into every editable cell of `row` (no key goes through
// the screen).
void PasteEverywhere(grid::CellGrid& grid, int row) {
  const std::string texts[] = {
      "", std::string(100000, '9'), "abc", "\xE2\x82\xAC\xF0\x9F\x8C\xB2", "-5", "1e9", "55"};
  for (int c = 0; c < grid.ColumnCount(); ++c) {
    for (const std::string& text : texts) {
      if (grid.SetCurrentCell(row, c) && grid.BeginEdit()) grid.CommitEdit(text);
    }
  }
}

TEST_F(DataEntryScreenTest, AnyTextInAnyCellIsStoredForItsRowOnly) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  ASSERT_TRUE(screen_->OnSave());
  const auto before = Rows("Log")[0];
  Press('A', kCtrl);
  strictUi_ = false;  // whatever the texts make the screen ask is answered No
  PasteEverywhere(screen_->LogGrid(), 2);
  ASSERT_TRUE(screen_->OnSave());
  ASSERT_EQ(Rows("Log").size(), 2u);
  EXPECT_EQ(Rows("Log")[0], before);
  screen_->LogGrid().SetCurrentCell(1, 0);
  screen_->OnDefButton();
  ASSERT_EQ(screen_->view().mode, GridMode::kDefect);
  ASSERT_TRUE(screen_->OnAdd());
  PasteEverywhere(screen_->DefectGrid(), 1);
  EXPECT_TRUE(screen_->Close());
  EXPECT_EQ(Rows("Log")[0], before);
  EXPECT_EQ(Rows("DefC").size(), 1u);
}

TEST_F(DataEntryScreenTest, CloseWritesBackAndAFailedCommitKeepsTheRows) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  // Another program cannot open the file exclusively while it is open here.
  EXPECT_FALSE(app_->files.CheckNotInUse(path_));
  EXPECT_TRUE(screen_->Close());
  EXPECT_EQ(Rows("Log").size(), 1u);
}

}  // namespace
}  // namespace dataentry

namespace dataentry {
namespace {

using app::GridMode;

TEST_F(DataEntryScreenTest, FailedCommitSaysSoAndKeepsTheRows) {
  MakeLoad(CubicHeader("100"));
  app_->files.CloseScaleFile();
  mk::FaultFileSystem faults;
  faults.SetContents(path_, app::testing::ReadText(path_));
  app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path(), &faults);
  ASSERT_EQ(app_->files.OpenSequence(path_), app::FileOutcome::kOpened);
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Type("LN", "16");
  Type("SD", "10");
  faults.FailWrite(1);  // the finished edit is stored at once, and that fails
  Type("LD", "12");
  ASSERT_FALSE(ui_.messages().empty());
  EXPECT_EQ(ui_.messages().back().caption, "Error");
  EXPECT_EQ(LastMessage().rfind("The file could not be saved:\n", 0), 0u) << LastMessage();
  EXPECT_EQ(LastLogRow(), 1);
  EXPECT_EQ(LogCell(1, "LN"), "16");
  faults.FailWrite(0);
  EXPECT_TRUE(screen_->Close());
  screen_.reset();
  app_->files.CloseScaleFile();
  tablestore::TableStore reopened(&faults);
  ASSERT_EQ(reopened.Open(path_, false), 0);
  const int log = reopened.OpenAView("Log", false);
  ASSERT_EQ(reopened.RowCount(log), 1);
  std::string ld;
  EXPECT_EQ(reopened.GetText(log, 0, reopened.ColumnIndex(log, "LD"), ld), 0);
  EXPECT_EQ(ld, "12");
}

TEST_F(DataEntryScreenTest, CheckScaleRowsChooseTheirLoad) {
  MakeLoad(CubicHeader("100"));
  const int load = app_->slots().load;
  const int second = Store().AddRow(load, -1);
  ASSERT_EQ(Store().SetText(load, second, Store().ColumnIndex(load, "SALE"), "Bear Creek"), 0);
  ASSERT_EQ(Store().SetText(load, second, Store().ColumnIndex(load, "LLR"), "2002"), 0);
  ASSERT_EQ(Store().Commit(), 0);
  app_->SetFileType(app::FileType::kCheckScale);
  OpenScreen();
  Press('A', kCtrl);
  grid::CellGrid& logs = screen_->LogGrid();
  const int sale = logs.ColumnIndex("SALE"), llr = logs.ColumnIndex("LLR");
  EXPECT_EQ(logs.Choices(1, sale), (std::vector<std::string>{"Cedar Ridge", "Bear Creek"}));
  EXPECT_EQ(logs.Choices(1, llr), (std::vector<std::string>{"1001", "2002"}));
  EXPECT_EQ(LogCell(1, "SALE"), "Cedar Ridge");
  EXPECT_TRUE(Type("SALE", "Bear Creek"));
  EXPECT_TRUE(Type("LLR", "2002"));
  Type("LOG", "1");
  Measure("16", "10", "12");
  screen_->OnVolume();
  ASSERT_EQ(ui_.texts().size(), 1u);
  EXPECT_EQ(ui_.texts()[0].text.rfind("SALE: Bear Creek  LLR: 2002\r\n", 0), 0u);
}

TEST_F(DataEntryScreenTest, ProductionFileKeepsSaleAndLlrReadOnlyAndStampsTheScaleDate) {
  MakeLoad(CubicHeader("100"));
  OpenScreen();
  Press('A', kCtrl);
  EXPECT_FALSE(Type("SALE", "Bear Creek"));
  EXPECT_TRUE(screen_->LogGrid().Choices(1, 0).empty());
  ASSERT_TRUE(screen_->Close());
  EXPECT_EQ(app::testing::ReadRows(path_, "Load")[0][26], "20260715");
  EXPECT_EQ(app::testing::ReadRows(path_, "Load")[0][27], "07:42");
}

}  // namespace
}  // namespace dataentry

namespace dataentry {
namespace {

using app::GridMode;

// The tables of the file at `path` as the load import text: for each table a
// section, its description, its titles and its rows.
std::string LoadAsImportText(const std::string& path) {
  tablestore::TableStore store;
  EXPECT_EQ(store.Open(path, false), 0);
  std::string text;
  for (const char* table : {"Load", "Log", "Seg", "DefC"}) {
    const int slot = store.OpenAView(table, false);
    std::string description, titles;
    EXPECT_EQ(store.DescribeView(slot, description, false), 0);
    EXPECT_EQ(store.DescribeView(slot, titles, true), 0);
    text += std::string("[") + table + "]\n" + description + "\n" + titles + "\n";
    for (int row = 0; row < store.RowCount(slot); ++row) {
      for (int c = 0; c < store.ColumnCount(slot); ++c) {
        std::string value;
        store.GetText(slot, row, c, value);
        std::replace(value.begin(), value.end(), ',', '^');
        text += (c == 0 ? "" : ",") + value;
      }
      text += "\n";
    }
    EXPECT_EQ(store.ReleaseView(slot), 0);
  }
  return text;
}

// The screen and the headless road agree: the load recorded through the
// screen, written as an import text and imported by varnolde-cli into a new
// file, gives the same comprehensive and log reports.
TEST_F(DataEntryScreenTest, ScreenAndCliGiveTheSameReports) {
  RecordWholeLoad();
  ASSERT_FALSE(HasFatalFailure());
  screen_.reset();
  app_->files.CloseScaleFile();
  const std::string imported = folder_ / "cli/load.scl";
  ASSERT_TRUE(std::filesystem::create_directory(folder_ / "cli"));
  ASSERT_TRUE(app::testing::WriteText(folder_ / "load.txt", LoadAsImportText(path_)));

  std::ostringstream out, err;
  cli::StderrUi cliUi(out, err, true);
  cli::Context ctx{out, cliUi, fs_, clock_, VARNOLDE_PROGRAM_DIR "/"};
  ASSERT_TRUE(cli::Create(ctx, "", imported).ok) << err.str();
  ASSERT_TRUE(cli::Import(ctx, imported, folder_ / "load.txt").ok) << err.str();
  for (const std::string& scale : {path_, imported}) {
    ASSERT_TRUE(cli::Report(ctx, scale, cli::ReportChoice{}).ok) << err.str();
  }
  for (const char* report : {".cmp", ".clg"}) {
    std::vector<std::string> found;
    for (const std::string& folder : {folder_.path(), folder_ / "cli/"}) {
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == report)
          found.push_back(app::testing::ReadText(entry.path()));
      }
    }
    ASSERT_EQ(found.size(), 2u) << report << "\n" << out.str();
    EXPECT_FALSE(found[0].empty());
    EXPECT_EQ(found[0], found[1]) << report;
  }
}

}  // namespace
}  // namespace dataentry

namespace dataentry {
namespace {

using app::GridMode;

TEST_F(DataEntryScreenTest, StoredKeyLettersReplaceTheDefaults) {
  MakeLoad(CubicHeader("100"));
  ASSERT_EQ(tablestore::WriteSetting(Store(), "Keys", "SegmentScreen", "g"), 0);
  ASSERT_EQ(tablestore::WriteSetting(Store(), "Keys", "LogScreen", ""), 0);  // empty: "L"
  OpenScreen();
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  Press('S');  // no longer a command: a letter in a number column
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
  EXPECT_EQ(ui_.beeps().size(), 1u);
  Press('G');
  EXPECT_EQ(screen_->view().mode, GridMode::kSegment);
  Press('L');
  EXPECT_EQ(screen_->view().mode, GridMode::kLog);
}

TEST_F(DataEntryScreenTest, LogTableWithoutVoidCannotDelete) {
  MakeLoad(CubicHeader("100"));
  ASSERT_EQ(Store().DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I,REM:S]"), 0);
  ASSERT_EQ(Store().Commit(), 0);
  Reopen();
  OpenScreen();
  EXPECT_EQ(LastMessage(), "The 'VOID' column must be turned on for log records to be deleted.");
  EXPECT_EQ(ui_.messages().back().caption, "Warning!");
  Press('A', kCtrl);
  Type("LOG", "1");
  Measure("16", "10", "12");
  screen_->OnDelete();
  EXPECT_EQ(LastMessage(), "The 'VOID' column must be turned on for a log to be deleted.");
  EXPECT_EQ(LastLogRow(), 1);
}

}  // namespace
}  // namespace dataentry
