#include "app/main_screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using testing::GlobalValue;
using testing::JournalMessages;

class MainScreenTest : public ::testing::Test {
 protected:
  MainScreenTest() : app_(ui_, fs_, clock_, folder_.path()), screen_(app_, screens_) {}

  // A scale file made from the bundled default setup, not open.
  std::string MakeScaleFile(const std::string& name = "load.scl") {
    const std::string path = folder_ / name;
    EXPECT_TRUE(testing::MakeScaleFile(clock_, path)) << path;
    return path;
  }

  // Opens `path` with "Edit existing file".
  void Open(const std::string& path) {
    ui_.QueueOpenFile(path);
    screen_.OnEditExistingFile();
    ASSERT_EQ(screen_.view().filePath, path);
  }

  // Sets cells of row `row` of the open file's table at `slot`.
  void SetRow(int slot, int row, const std::map<std::string, std::string>& values) {
    tablestore::TableStore& store = *app_.store();
    for (const auto& [column, value] : values) {
      ASSERT_EQ(store.SetText(slot, row, store.ColumnIndex(slot, column), value), 0) << column;
    }
  }

  // Gives the open file's load a sale, a receipt and the design "100" /
  // "Cubic", and one log that passes the load audit.
  void MakeGoodLoad() {
    const TableSlots& slots = app_.slots();
    SetRow(slots.load, 0, {{"SALE", "S1"}, {"LLR", "1"}, {"ST", "100"}, {"SCALESYS", "Cubic"}});
    ASSERT_GE(app_.store()->AddRow(slots.log, -1), 0);
    SetRow(slots.log, 0,
           {{"SALE", "S1"},
            {"LLR", "1"},
            {"LOG", "1"},
            {"S", "1"},
            {"LN", "32"},
            {"SD", "10"},
            {"LD", "12"}});
  }

  void StoreGlobal(const std::string& path, const char* key, const std::string& value) {
    tablestore::TableStore store;
    ASSERT_EQ(store.Open(path, false), 0);
    ASSERT_EQ(tablestore::StoreSetting(store, tablestore::kBlockSystem, key, value), 0);
    ASSERT_EQ(store.Commit(), 0);
  }

  testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  testing::RecordingScreens screens_;
  Application app_;
  MainScreen screen_;
};

// What a view enables, in the order Load Info, Data Entry, Setup, Reports,
// Finalize, file type list, design.
std::string Enabled(const MainScreenView& v) {
  std::string flags;
  for (bool on :
       {v.loadInfo, v.dataEntry, v.setup, v.reports, v.finalize, v.fileTypeList, v.design})
    flags += on ? '1' : '0';
  return flags;
}

TEST_F(MainScreenTest, NoFileOpenAtFirst) {
  EXPECT_EQ(screen_.view().title, "Varnolde 2010.11.05");
  EXPECT_EQ(screen_.view().filePath, "No File Open.");
  EXPECT_EQ(screen_.view().fileType, std::nullopt);
  EXPECT_EQ(Enabled(screen_.view()), "0000000");
}

TEST_F(MainScreenTest, OpenedScaleFileEnablesEveryTask) {
  const std::string path = MakeScaleFile();
  Open(path);
  EXPECT_EQ(Enabled(screen_.view()), "1111111");
  EXPECT_EQ(screen_.view().fileType, FileType::kProduction);
  screen_.OnDone();
  EXPECT_EQ(GlobalValue(path, "System", "FileType"), "production");
  EXPECT_EQ(JournalMessages(path).back(), "File closed");
  EXPECT_EQ(screen_.view().filePath, "No File Open.");
  EXPECT_EQ(app_.landingFields().Of(GridMode::kLog), "");
  Open(path);
  EXPECT_EQ(app_.landingFields().Of(GridMode::kLog), GlobalValue(path, "DefField", "Log"));
  EXPECT_NE(app_.landingFields().Of(GridMode::kLog), "");
}

TEST_F(MainScreenTest, FinalizedFileKeepsDataEntryAndFinalizeOff) {
  const std::string path = MakeScaleFile();
  StoreGlobal(path, tablestore::kKeyFinalized, "YES");
  Open(path);
  EXPECT_EQ(Enabled(screen_.view()), "1011011");
}

TEST_F(MainScreenTest, SetupFileNeverEnablesDataEntry) {
  const std::string setup = folder_ / "Copy.SetupScl";
  ASSERT_EQ(fs_.Copy(testing::DefaultSetupPath(), setup), platform::FileResult::kOk);
  Open(setup);
  EXPECT_EQ(Enabled(screen_.view()), "1011111");
  screen_.OnFileTypeChanged(1);  // check scale
  EXPECT_FALSE(screen_.view().dataEntry);
}

// The file type stored in the file decides the list's entry and the buttons.
TEST_F(MainScreenTest, EachFileType) {
  struct Case {
    const char* stored;
    FileType type;
    const char* enabled;
    bool checkScale;
  };
  for (const Case& c : {Case{"production", FileType::kProduction, "1111111", false},
                        Case{"check scale", FileType::kCheckScale, "1111010", true},
                        Case{"non-scale loads", FileType::kNonScale, "1011010", false},
                        Case{"something else", FileType::kProduction, "1111111", false}}) {
    SCOPED_TRACE(c.stored);
    const std::string path = MakeScaleFile(std::string(c.stored) + ".scl");
    StoreGlobal(path, tablestore::kKeyFileType, c.stored);
    Open(path);
    EXPECT_EQ(screen_.view().fileType, c.type);
    EXPECT_EQ(Enabled(screen_.view()), c.enabled);
    EXPECT_EQ(app_.IsCheckScale(), c.checkScale);
    EXPECT_EQ(app_.fileType(), c.type);
  }
}

TEST_F(MainScreenTest, NonScaleLoadsDisablesDataEntryOnAnUnfinalizedFile) {
  const std::string path = MakeScaleFile();
  Open(path);
  screen_.OnFileTypeChanged(2);
  EXPECT_EQ(Enabled(screen_.view()), "1011010");
  screen_.OnFileTypeChanged(0);
  EXPECT_EQ(Enabled(screen_.view()), "1111111");
  screen_.OnDone();
  EXPECT_EQ(GlobalValue(path, "System", "FileType"), "production");
}

TEST_F(MainScreenTest, FileTypeListOnlyWithoutLogsAndWithOneLoad) {
  const std::string path = MakeScaleFile();
  Open(path);
  ASSERT_TRUE(screen_.view().fileTypeList);
  ASSERT_GE(app_.store()->AddRow(app_.slots().log, -1), 0);
  screen_.OnDataEntry();
  EXPECT_FALSE(screen_.view().fileTypeList);
  EXPECT_EQ(screen_.view().fileType, FileType::kProduction);

  const std::string twoLoads = MakeScaleFile("two.scl");
  Open(twoLoads);
  ASSERT_GE(app_.store()->AddRow(app_.slots().load, -1), 0);
  screen_.OnLoadInfo();  // header audit of the empty load fails: one box
  EXPECT_FALSE(screen_.view().fileTypeList);
  EXPECT_EQ(screen_.view().fileType, FileType::kProduction);
}

TEST_F(MainScreenTest, CommandLineExtensionIsComparedExactly) {
  const std::string path = MakeScaleFile("LOAD.SCL");
  screen_.Start(path);
  screen_.Start(folder_ / "load.Scl");
  EXPECT_EQ(screen_.view().filePath, "No File Open.");
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_TRUE(screens_.shown.empty());  // no About box with a command line

  const std::string quoted = MakeScaleFile("quoted.scl");
  screen_.Start("\"" + quoted + "\"");
  EXPECT_EQ(screen_.view().filePath, quoted);
}

TEST_F(MainScreenTest, CommandLineSetupFileCreatesAScaleFile) {
  const std::string setup = folder_ / "Copy.SetupScl";
  ASSERT_EQ(fs_.Copy(testing::DefaultSetupPath(), setup), platform::FileResult::kOk);
  const std::string scale = folder_ / "new.scl";
  ui_.QueueSaveFile(scale);
  screens_.design = DesignChoice{"3P", "Board"};
  screen_.Start(setup);
  // Load Info, its failed header audit, then the design dialog.
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Missing/Incorrect Load Information");
  EXPECT_EQ(screens_.shown, (std::vector<std::string>{"LoadInfo", "Design 100/Cubic"}));
  EXPECT_EQ(screen_.view().filePath, scale);
  EXPECT_EQ(Enabled(screen_.view()), "1010011");
  EXPECT_EQ(screen_.view().scaleSample, "3P");
  EXPECT_EQ(screen_.view().scaleUnits, "Board");
  EXPECT_EQ(app_.slots().defect, app_.slots().defB);
  Open(scale);  // the design was written into the file
  EXPECT_EQ(screen_.view().scaleSample, "3P");
  EXPECT_EQ(screen_.view().scaleUnits, "Board");
}

TEST_F(MainScreenTest, AboutBoxOnlyWithoutACommandLine) {
  screen_.Start(std::nullopt);
  EXPECT_EQ(screens_.shown, std::vector<std::string>{"About"});
}

TEST_F(MainScreenTest, BadDateWarnsOnlyBeforeTheVersionDate) {
  EXPECT_FALSE(screen_.CheckClock());
  clock_.SetNow({2010, 11, 4, 8, 0, 0});
  EXPECT_TRUE(screen_.CheckClock());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "It appears your data recorder's date of 11/4/2010 is invalid.\n"
            "Please reset it to the current date.");
  EXPECT_EQ(ui_.messages()[0].caption, "Bad Date");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
}

TEST_F(MainScreenTest, FinalizeWritesTheAuditReportAndClosesDataEntry) {
  const std::string path = MakeScaleFile();
  Open(path);
  MakeGoodLoad();
  ui_.QueueAnswer(platform::Answer::kOk);  // "Confirm Finalize"
  screen_.OnFinalize();
  EXPECT_FALSE(screen_.view().dataEntry);
  EXPECT_FALSE(screen_.view().finalize);
  EXPECT_TRUE(fs_.Exists(folder_ / "load.audit"));
  screen_.OnDone();
  EXPECT_EQ(GlobalValue(path, "System", "Finalized"), "YES");
}

// The session's PDF tick gives the audit report its PDF copy; the audit
// report is printable with the reports, and a later run with the tick copies
// the report as it stands.
TEST_F(MainScreenTest, TheAuditReportHasItsPdfAndIsKeptForPrinting) {
  Open(MakeScaleFile());
  MakeGoodLoad();
  const std::string audit = folder_ / "load.audit";
  app_.reportChoice.pdf = true;
  ui_.QueueAnswer(platform::Answer::kOk);  // "Confirm Finalize"
  screen_.OnFinalize();
  EXPECT_TRUE(fs_.Exists(audit + ".pdf"));
  EXPECT_EQ(app_.lastReports, std::vector<std::string>{audit});

  ASSERT_EQ(fs_.Delete(audit + ".pdf"), platform::FileResult::kOk);
  screens_.reports = ReportChoice{false, true, false, true};
  screen_.OnReports();
  const std::string clg = folder_ / "load.clg";
  EXPECT_EQ(app_.lastReports, (std::vector<std::string>{clg, clg + ".pdf", audit}));
  EXPECT_TRUE(fs_.Exists(audit + ".pdf"));
  EXPECT_TRUE(app_.reportChoice.logReport && !app_.reportChoice.comprehensive);
}

TEST_F(MainScreenTest, UnitsChangedInTheHeaderReachTheScreenAndTheDefectTable) {
  Open(MakeScaleFile());
  screens_.loadInfo = [](Application& app) {
    tablestore::TableStore& store = *app.store();
    const int load = app.slots().load;
    ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, "SCALESYS"), "Board"), 0);
  };
  screen_.OnLoadInfo();
  EXPECT_EQ(screen_.view().scaleUnits, "Board");
  EXPECT_EQ(app_.slots().defect, app_.slots().defB);
}

TEST_F(MainScreenTest, ReportsOnALoadWithAuditErrorsWritesNoFile) {
  const std::string path = MakeScaleFile();
  Open(path);
  screens_.reports = ReportChoice{};
  screen_.OnReports();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "No logs in the load!");
  EXPECT_EQ(ui_.messages()[0].caption.rfind("Errors Found - Reports Cancelled for load ", 0), 0u);
  for (const char* ext : {".cmp", ".clg", ".bva", ".csv"})
    EXPECT_FALSE(fs_.Exists(folder_ / ("load" + std::string(ext))));
}

TEST_F(MainScreenTest, ReportsWrittenForAGoodLoad) {
  const std::string path = MakeScaleFile();
  Open(path);
  MakeGoodLoad();
  screens_.reports = ReportChoice{true, true, false, false};
  screen_.OnReports();
  EXPECT_TRUE(fs_.Exists(folder_ / "load.cmp"));
  EXPECT_TRUE(fs_.Exists(folder_ / "load.clg"));
  EXPECT_FALSE(fs_.Exists(folder_ / "load.bva"));
  EXPECT_FALSE(fs_.Exists(folder_ / "load.cmp.pdf"));
  EXPECT_EQ(ui_.messages().back().text, "Reports Created for " + path);
}

// The dialog's PDF tick reaches the run, and what the run wrote is kept for
// the dialog's "Print...".
TEST_F(MainScreenTest, ReportsWithPdfCopiesAreKeptForPrinting) {
  Open(MakeScaleFile());
  MakeGoodLoad();
  screens_.reports = ReportChoice{true, false, false, true};
  screen_.OnReports();
  const std::string cmp = folder_ / "load.cmp";
  EXPECT_EQ(app_.lastReports, (std::vector<std::string>{cmp, cmp + ".pdf"}));
  EXPECT_TRUE(fs_.Exists(cmp + ".pdf"));
}

// On a check scale file the dialog's comparison asks for the production
// file and writes NAME.chk, kept for printing; elsewhere it does nothing.
TEST_F(MainScreenTest, CheckScaleComparisonBesideTheReports) {
  const std::string production = MakeScaleFile("production.scl");
  Open(production);
  MakeGoodLoad();
  ASSERT_EQ(app_.store()->Commit(), 0);
  screens_.reports = ReportChoice{false, false, false, false, true};
  screen_.OnReports();  // a production file: no comparison, no question
  const std::string check = MakeScaleFile("check.scl");
  StoreGlobal(check, tablestore::kKeyFileType, FileTypeText(FileType::kCheckScale));
  Open(check);
  MakeGoodLoad();
  ui_.QueueOpenFile(production);
  screen_.OnReports();
  const std::string chk = folder_ / "check.chk";
  EXPECT_EQ(app_.lastReports, std::vector<std::string>{chk});
  EXPECT_EQ(ui_.file_dialogs().back().dialog.title, "Production file of SALE S1 LLR 1");
  EXPECT_EQ(ui_.messages().back().text, "Check scale comparison created:\n" + chk);
}

TEST_F(MainScreenTest, NonScaleLoadsGetTheLoadSummaryOnceChosen) {
  Open(MakeScaleFile());
  screen_.OnFileTypeChanged(2);
  screens_.reports = ReportChoice{};
  screen_.OnReports();
  EXPECT_TRUE(fs_.Exists(folder_ / "load.csv"));
  EXPECT_FALSE(fs_.Exists(folder_ / "load.cmp"));
}

// A file that cannot be opened leaves no file open and a screen that shows
// none; the file open before it was closed properly.
TEST_F(MainScreenTest, DamagedOrForeignFileLeavesNoHalfOpenFile) {
  const std::string good = MakeScaleFile();
  for (const std::string& bytes :
       {std::string("JL\x1a") + '\0' + "garbage", std::string("a,b\n1,2\n"), std::string()}) {
    Open(good);
    const std::string bad = folder_ / "bad.scl";
    ASSERT_TRUE(testing::WriteText(bad, bytes));
    ui_.QueueOpenFile(bad);
    screen_.OnEditExistingFile();
    ASSERT_FALSE(ui_.messages().empty());
    EXPECT_EQ(ui_.messages().back().caption, "Cannot open file");
    EXPECT_FALSE(app_.files.IsOpen());
    EXPECT_EQ(screen_.view().filePath, "No File Open.");
    EXPECT_EQ(Enabled(screen_.view()), "0000000");
    EXPECT_EQ(JournalMessages(good).back(), "File closed");
    EXPECT_EQ(testing::ReadText(bad), bytes) << "the refused file was changed";
  }
}

TEST_F(MainScreenTest, FileHeldByAnotherProgramIsAlreadyOpen) {
  const std::string held = MakeScaleFile("held.scl");
  const std::string mine = MakeScaleFile("mine.scl");
  Open(mine);
  tablestore::TableStore other;  // as varnolde-cli holds a file it works on
  ASSERT_EQ(other.Open(held, false), 0);
  ui_.QueueOpenFile(held);
  screen_.OnEditExistingFile();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "File Already Open");
  EXPECT_EQ(ui_.messages()[0].text,
            held + " is in use by another application!\nClose it and try again.");
  EXPECT_EQ(screen_.view().filePath, mine);
  EXPECT_EQ(Enabled(screen_.view()), "1111111");
}

// A double-click on another scale file while one is open: the open file is
// left only when the user says Yes; the open file itself asks nothing.
TEST_F(MainScreenTest, HandedOverFileAsksBeforeLeavingTheOpenOne) {
  const std::string first = MakeScaleFile("first.scl");
  const std::string second = MakeScaleFile("second.scl");
  Open(first);
  screen_.OnFileHandedOver(first);
  EXPECT_TRUE(ui_.messages().empty());
  ui_.QueueAnswer(platform::Answer::kNo);
  screen_.OnFileHandedOver(second);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Close " + first + " and open " + second + "?");
  EXPECT_EQ(ui_.messages()[0].buttons, platform::Buttons::kYesNo);
  EXPECT_EQ(screen_.view().filePath, first);
  ui_.QueueAnswer(platform::Answer::kYes);
  screen_.OnFileHandedOver(second);
  EXPECT_EQ(screen_.view().filePath, second);
  EXPECT_EQ(JournalMessages(first).back(), "File closed");
}

TEST_F(MainScreenTest, HandedOverFileOpensWithoutAQuestionWhenNoneIsOpen) {
  const std::string scale = MakeScaleFile();
  screen_.OnFileHandedOver(scale);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(screen_.view().filePath, scale);
}

TEST_F(MainScreenTest, CancelInTheOpenDialogShowsNoFile) {
  Open(MakeScaleFile());
  ui_.QueueOpenFile(std::nullopt);
  screen_.OnEditExistingFile();
  EXPECT_EQ(screen_.view().filePath, "No File Open.");
  EXPECT_EQ(Enabled(screen_.view()), "0000000");
}

TEST(SingleInstance, AnotherCopyIsAlreadyRunning) {
  platform::ScriptedUi ui{[](const std::string& f) { ADD_FAILURE() << f; }};
  EXPECT_TRUE(CheckSingleInstance(platform::InstanceLock::State::kHeld, "/x.lock", ui));
  EXPECT_FALSE(CheckSingleInstance(platform::InstanceLock::State::kAlreadyRunning, "/x.lock", ui));
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, "A copy of Varnolde is already running!");
  EXPECT_EQ(ui.messages()[0].icon, platform::Icon::kInformation);
  EXPECT_FALSE(CheckSingleInstance(platform::InstanceLock::State::kError, "/x.lock", ui));
  EXPECT_EQ(ui.messages().size(), 2u);
}

}  // namespace
}  // namespace app
