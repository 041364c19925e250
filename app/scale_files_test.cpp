#include "app/scale_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/test_files.h"
#include "mkstore/fault_file_system.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using platform::FileResult;
using testing::BuildStorage;
using testing::GlobalValue;
using testing::JournalMessages;
using testing::ReadRows;
using testing::SmallFileText;

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";
constexpr const char* kInUseTail = " is in use by another application!\nClose it and try again.";

class ScaleFilesTest : public ::testing::Test {
 protected:
  // A copy of the bundled default setup file in the test folder.
  std::string CopyDefaultSetup(const std::string& name = "Default.SetupScl") {
    std::string path = folder_ / name;
    EXPECT_EQ(fs_.Copy(kDefaultSetup, path), FileResult::kOk) << "is the default setup built?";
    return path;
  }

  // The small test file (two logs) at `version`, with `tables` imported.
  std::string MakeSmallFile(const std::string& name, const std::string& version = "20100830",
                            std::vector<std::string> tables = {"DataDictionary", "Globals", "Load",
                                                               "Log", "KZ"}) {
    std::string path = folder_ / name;
    EXPECT_EQ(BuildStorage(path, SmallFileText(version, false), tables), "");
    return path;
  }

  // Writes a Globals value into the file at `path` (the row must exist).
  void SetGlobal(const std::string& path, const std::string& block, const std::string& key,
                 std::string value) {
    tablestore::TableStore store;
    ASSERT_EQ(store.Open(path, false), 0);
    ASSERT_EQ(store.KeyRetrieve("Globals", "Block=" + block + ",Key=" + key, "Value", value, true),
              0);
    ASSERT_EQ(store.Commit(), 0);
  }

  std::set<std::string> FilesInFolder() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
};

// ---- Creating from the bundled default setup -----------------------------------

TEST_F(ScaleFilesTest, CreatesFromTheBundledDefaultAndReopensItFromDisk) {
  std::string setup = CopyDefaultSetup();
  std::string scale = folder_ / "load.scl";
  {
    ScaleFiles files(ui_, fs_, clock_, folder_.path());
    ASSERT_EQ(files.CreateFromSetup(setup, scale), FileOutcome::kCreated);
    EXPECT_EQ(files.state().path, scale);
    EXPECT_EQ(files.state().fileName, "load.scl");
    EXPECT_EQ(files.state().finalized, "NO");
    EXPECT_EQ(files.state().scaleUnits, "Cubic");
    EXPECT_EQ(files.state().scaleSample, "100");
    EXPECT_EQ(files.state().slots.defect, files.state().slots.defC);
    EXPECT_TRUE(files.state().DataEntryEnabled());
  }
  ScaleFiles reopened(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(reopened.OpenScaleFile(scale), FileOutcome::kOpened);
  const OpenFileState& state = reopened.state();
  for (int slot :
       {state.slots.dataDictionary, state.slots.globals, state.slots.load, state.slots.log,
        state.slots.seg, state.slots.defC, state.slots.defB, state.slots.kz}) {
    EXPECT_GE(slot, 0);
  }
  EXPECT_EQ(state.scaleUnits, "Cubic");
  EXPECT_EQ(state.defFieldLog, "SP");
  EXPECT_FALSE(state.hasLogs);
  tablestore::TableStore* store = reopened.store();
  EXPECT_EQ(store->RowCount(state.slots.load), 1);
  EXPECT_EQ(store->RowCount(state.slots.log), 0);
  EXPECT_EQ(store->RowCount(state.slots.kz), 1);
  reopened.CloseScaleFile();
  EXPECT_EQ(JournalMessages(scale),
            (std::vector<std::string>{"Created from " + setup, "File opened", "File opened"}));
  EXPECT_EQ(GlobalValue(scale, "System", "ProgramVersion"), "2010.11.05");
  // Every entry is stamped by the program's clock, not the machine's.
  for (const auto& row : ReadRows(scale, "MessageLog")) {
    ASSERT_GE(row.size(), 4u);
    EXPECT_EQ(row[2], "11/05/2010");
    EXPECT_EQ(row[3], "09:05");
  }
  EXPECT_TRUE(ui_.messages().empty());
}

// The rows of `table` in the file at `path` of `disk` (-1 when it cannot be
// read), and whether its journal holds `entry`.
int RowsIn(mk::FaultFileSystem& disk, const std::string& path, const std::string& table) {
  tablestore::TableStore store(&disk);
  if (store.Open(path, false) != 0) return -1;
  return store.RowCount(store.OpenAView(table, false));
}

// Issue 17: a create whose emptied copy (or journal) was never committed
// must not answer "created". With the n-th write failing, either the create
// says kCreated and the file holds the emptied tables, or it says why it
// failed and no file is left under the new name.
TEST_F(ScaleFilesTest, CreateWithAFailedWriteIsEitherCompleteOrGone) {
  mk::FaultFileSystem disk;
  testing::FaultFiles files(disk);
  const std::string setup = "/fault/Default.SetupScl", scale = "/fault/load.scl";
  disk.SetContents(setup, testing::ReadText(kDefaultSetup));
  {  // a setup with a log, so that the new file must be emptied
    tablestore::TableStore store(&disk);
    ASSERT_EQ(store.Open(setup, false), 0);
    ASSERT_GE(store.AddRow(store.OpenAView("Log", false), -1), 0);
    ASSERT_EQ(store.Commit(), 0);
  }
  int failures = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    platform::ScriptedUi ui;
    const int before = disk.writes();
    FileOutcome outcome;
    {
      ScaleFiles lifecycle(ui, files, clock_, "/fault/", &disk);
      disk.FailWrite(n);
      outcome = lifecycle.CreateFromSetup(setup, scale);
      EXPECT_EQ(lifecycle.IsOpen(), outcome == FileOutcome::kCreated);
      if (outcome == FileOutcome::kCreated) lifecycle.CloseScaleFile();
    }
    const bool failed = disk.writes() - before >= n;
    disk.Crash();
    if (outcome == FileOutcome::kCreated) {
      EXPECT_EQ(RowsIn(disk, scale, "Log"), 0);
      EXPECT_EQ(RowsIn(disk, scale, "MessageLog"), 2);
      EXPECT_TRUE(ui.messages().empty());
    } else {
      ++failures;
      EXPECT_EQ(outcome, FileOutcome::kFailed);
      EXPECT_FALSE(disk.Exists(scale));
      ASSERT_FALSE(ui.messages().empty());
      EXPECT_EQ(ui.messages().back().caption, "Error");
    }
    if (disk.Exists(scale)) {
      ASSERT_TRUE(disk.Remove(scale).ok());
    }
    if (!failed) break;
  }
  EXPECT_GT(failures, 0);
}

// What the default setup must declare for the rest of the program.
class DefaultSetupTest : public ScaleFilesTest {
 protected:
  void SetUp() override {
    files_ = std::make_unique<ScaleFiles>(ui_, fs_, clock_, folder_.path());
    ASSERT_EQ(files_->OpenSequence(CopyDefaultSetup()), FileOutcome::kOpened);
    store_ = files_->store();
  }

  // The value of `column` in the DataDictionary row of table.name.
  std::string Dictionary(const std::string& table, const std::string& name,
                         const std::string& column) {
    std::string value = "<no row>";
    store_->KeyRetrieve("DataDictionary", "TableName=" + table + ",ColumnName=" + name, column,
                        value, false);
    return value;
  }

  std::unique_ptr<ScaleFiles> files_;
  tablestore::TableStore* store_ = nullptr;
};

TEST_F(DefaultSetupTest, DeclaresEveryColumnTheProgramUses) {
  const std::map<std::string, std::vector<std::string>> needed = {
      {"Load",
       {"SALE",       "LLR",    "CONTRACT",  "PURCH",    "LOCATION", "BRAND",      "REM",
        "DEST",       "TRK",    "STATUS",    "BIAUNIT",  "MEASSYS",  "REGION",     "FOREST",
        "DISTRICT",   "SG",     "ST",        "SCALESYS", "CFSAWCU",  "CFNONSAWCU", "CFSAWBD",
        "CFNONSAWBD", "MINLEN", "MAXLEN",    "MINDIA",   "MAXDIA",   "SDATE",      "STIME",
        "HDATE",      "SCALER", "CHKSCALER", "NWT",      "GWT"}},
      {"Log", {"SALE",   "LLR", "LOG", "S",   "SP",  "P",    "G",
               "B",      "LN",  "SD",  "LD",  "KPI", "RND",  "HIT",
               "REM",    "GCV", "NCV", "GBV", "NBV", "VOID", "OverrideVolume",
               "SkipSeg"}},
      {"Seg",
       {"SALE", "LLR", "LOG", "S", "P", "Seg", "LN", "SD", "LD", "GCV", "NCV", "GBV", "NBV"}},
      {"DefC", {"SALE", "LLR", "LOG", "S",   "Seg", "M",  "M1", "M2",  "M3",  "M4", "LN",
                "PCT",  "DCV", "SAC", "LCC", "DC",  "PC", "RC", "GCV", "NCV", "ABC"}},
      {"DefB", {"SALE", "LLR", "LOG", "S",   "Seg", "M",  "M1", "M2",  "M3",  "M4", "LN",
                "PCT",  "DBV", "SAB", "LCB", "DB",  "PB", "RB", "GBV", "NBV", "ABB"}},
      {"KZ", {"SP", "P", "KZ"}},
      {"Tapers", {"SP", "REGION", "FOREST", "DISTRICT", "TAPER"}},
  };
  for (const auto& [table, columns] : needed) {
    int slot = store_->OpenAView(table, false);
    ASSERT_GE(slot, 0) << table;
    for (const std::string& column : columns) {
      EXPECT_EQ(Dictionary(table, column, "IsUsed"), "Y") << table << "." << column;
      EXPECT_GE(store_->ColumnIndex(slot, column), 0) << table << "." << column;
    }
    std::string names;
    store_->DescribeView(slot, names, true);
    EXPECT_EQ(std::count(names.begin(), names.end(), ',') + 1, static_cast<long>(columns.size()))
        << table << " has columns no part names: " << names;
  }
}

TEST_F(DefaultSetupTest, TypesMatchWhatTheLogicReads) {
  EXPECT_EQ(Dictionary("Log", "LOG", "FieldType"), "I");
  EXPECT_EQ(Dictionary("Log", "SP", "FieldType"), "S");
  EXPECT_EQ(Dictionary("Log", "GCV", "FieldType"), "F");
  EXPECT_EQ(Dictionary("Load", "CFSAWCU", "FieldType"), "F");
  EXPECT_EQ(Dictionary("Load", "MAXLEN", "FieldType"), "I");
  EXPECT_EQ(Dictionary("Tapers", "TAPER", "FieldType"), "F");
  EXPECT_EQ(Dictionary("Log", "OverrideVolume", "Length"), "1");
  EXPECT_EQ(Dictionary("Log", "SkipSeg", "Length"), "1");
}

TEST_F(DefaultSetupTest, NewRowDefaults) {
  EXPECT_EQ(Dictionary("Log", "LOG", "DefaultValue"), "I1");
  EXPECT_EQ(Dictionary("Log", "S", "DefaultValue"), "V1");
  EXPECT_EQ(Dictionary("Log", "P", "DefaultValue"), "V1");
  EXPECT_EQ(Dictionary("Log", "HIT", "DefaultValue"), "V-1");
  EXPECT_EQ(Dictionary("Log", "VOID", "DefaultValue"), "V0");
  EXPECT_EQ(Dictionary("Log", "OverrideVolume", "DefaultValue"), "V0");
  EXPECT_EQ(Dictionary("Log", "SkipSeg", "DefaultValue"), "V0");
}

TEST_F(DefaultSetupTest, AllowedValues) {
  std::string species = Dictionary("Log", "SP", "Validate");
  for (const char* code : {"DF", "WH", "RC", "PP", "LP", "WL", "ES", "GF"}) {
    EXPECT_NE((" " + species + " ").find(std::string(" ") + code + " "), std::string::npos) << code;
  }
  EXPECT_EQ(species.find(','), std::string::npos);
  EXPECT_EQ(Dictionary("Log", "P", "Validate"), "1 2");
  EXPECT_EQ(Dictionary("DefC", "M", "Validate"), "1 2 3 4 5");
  EXPECT_EQ(Dictionary("DefB", "M", "Validate"), "1 2 3 4 5");
}

TEST_F(DefaultSetupTest, ThreePColumnsAreShownOnlyOnThreePLoads) {
  for (const char* column : {"KPI", "RND", "HIT"}) {
    for (const char* order : {"Order2", "Order3", "Order4"}) {
      EXPECT_EQ(Dictionary("Log", column, order), "0") << column << " " << order;
    }
    for (const char* order : {"Order5", "Order6", "Order7"}) {
      EXPECT_NE(Dictionary("Log", column, order), "0") << column << " " << order;
    }
  }
}

TEST_F(DefaultSetupTest, ScreenOrdersShowTheUnitsVolumes) {
  std::string list;
  store_->MakeProjection(list, "Log", "Order2");
  EXPECT_EQ(list, "SALE,LLR,LOG,S,SP,P,G,B,LN,SD,LD,GCV,NCV,VOID,REM");
  store_->MakeProjection(list, "Log", "Order6");
  EXPECT_EQ(list, "SALE,LLR,LOG,S,SP,P,KPI,RND,HIT,G,B,LN,SD,LD,GBV,NBV,VOID,REM");
  store_->MakeProjection(list, "Log", "Order7");
  EXPECT_EQ(list, "SALE,LLR,LOG,S,SP,P,KPI,RND,HIT,G,B,LN,SD,LD,VOID,REM");
  store_->MakeProjection(list, "DefC", "Order5");
  EXPECT_EQ(list, "SALE,LLR,LOG,S,Seg,M,M1,M2,M3,M4,LN,PCT,DCV");
  store_->MakeProjection(list, "DefB", "Order3");
  EXPECT_EQ(list, "SALE,LLR,LOG,S,Seg,M,M1,M2,M3,M4,LN,PCT,DBV");
  EXPECT_GT(store_->MakeProjection(list, "Load", "Order2"), 30);
}

TEST_F(DefaultSetupTest, Settings) {
  const std::vector<std::pair<std::string, std::string>> settings = {
      {"System,StructureVersion", "20100830"},
      {"System,ProgramVersion", "2010.11.05"},
      {"System,Finalized", "NO"},
      {"Option,AppendDateToFileName", "NO"},
      {"Option,AuditEachLogBeforeAppend", "NO"},
      {"Option,AppendAfterDefect", "NO"},
      {"Option,CloseHitWindow", "-1"},
      {"Keys,LogScreen", "L"},
      {"Keys,SegmentScreen", "S"},
      {"Keys,DefectScreen", "D"},
      {"Keys,VolumeCalc", "V"},
      {"Keys,OK", "O"},
      {"Keys,AddRec", "A"},
      {"Keys,DelRec", "X"},
      {"DefField,Log", "SP"},
      {"DefField,Seg", "SD"},
      {"DefField,Def", "M"},
  };
  for (const auto& [blockKey, expected] : settings) {
    std::string block = blockKey.substr(0, blockKey.find(','));
    std::string key = blockKey.substr(blockKey.find(',') + 1);
    std::string value = "<missing>";
    store_->KeyRetrieve("Globals", "Block=" + block + ",Key=" + key, "Value", value, false);
    EXPECT_EQ(value, expected) << blockKey;
  }
}

TEST_F(DefaultSetupTest, ReferenceRows) {
  int kz = files_->state().slots.kz;
  ASSERT_EQ(store_->RowCount(kz), 1);
  std::string sp = "x", p, value;
  store_->GetText(kz, 0, store_->ColumnIndex(kz, "SP"), sp);
  store_->GetText(kz, 0, store_->ColumnIndex(kz, "P"), p);
  store_->GetText(kz, 0, store_->ColumnIndex(kz, "KZ"), value);
  EXPECT_EQ(sp, "");
  EXPECT_EQ(p, "0");
  EXPECT_GT(std::stoi(value), 0);
  // The log report lists the first three KZ columns as product, species, KZ.
  std::string kzColumns;
  store_->DescribeView(kz, kzColumns, true);
  EXPECT_EQ(kzColumns, "P,SP,KZ");
  int tapers = store_->OpenAView("Tapers", false);
  EXPECT_GE(store_->RowCount(tapers), 3);
  std::string taper;
  store_->GetText(tapers, 0, store_->ColumnIndex(tapers, "TAPER"), taper);
  EXPECT_EQ(taper, "0.12");
}

TEST_F(DefaultSetupTest, IsASetupFileAndNeedsNoUpgrade) {
  EXPECT_TRUE(files_->state().isSetupFile);
  EXPECT_FALSE(files_->state().DataEntryEnabled());
  EXPECT_TRUE(ui_.messages().empty());
}

// ---- Backups and the date prefix ------------------------------------------------

TEST_F(ScaleFilesTest, ExistingFileMovesToTheNextFreeBackupNumber) {
  std::string setup = CopyDefaultSetup();
  std::string scale = folder_ / "X.scl";
  ASSERT_TRUE(testing::WriteText(scale, "older load"));
  ASSERT_TRUE(testing::WriteText(scale + ".BAK1", "oldest load"));
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.CreateFromSetup(setup, scale), FileOutcome::kCreated);
  EXPECT_EQ(testing::ReadText(scale + ".BAK1"), "oldest load");
  EXPECT_EQ(testing::ReadText(scale + ".BAK2"), "older load");
  EXPECT_FALSE(fs_.Exists(scale + ".BAK3"));
}

TEST_F(ScaleFilesTest, DatePrefixOnFifthNovember2010) {
  std::string setup = CopyDefaultSetup();
  SetGlobal(setup, "Option", "AppendDateToFileName", "YES");
  std::string scale = folder_ / "load.scl";
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.CreateFromSetup(setup, scale), FileOutcome::kCreated);
  std::string dated = folder_ / "20101105load.scl";
  EXPECT_EQ(files.state().path, dated);
  EXPECT_EQ(files.state().fileName, "load.scl");
  files.CloseScaleFile();
  EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"Default.SetupScl", "20101105load.scl"}));
  EXPECT_EQ(JournalMessages(dated),
            (std::vector<std::string>{"Created from " + setup, "File opened"}));
}

TEST_F(ScaleFilesTest, DatePrefixKeepsEveryOlderFile) {
  std::string setup = CopyDefaultSetup();
  SetGlobal(setup, "Option", "AppendDateToFileName", "YES");
  ASSERT_TRUE(testing::WriteText(folder_ / "load.scl", "undated load"));
  ASSERT_TRUE(testing::WriteText(folder_ / "20101105load.scl", "dated load"));
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.CreateFromSetup(setup, folder_ / "load.scl"), FileOutcome::kCreated);
  files.CloseScaleFile();
  EXPECT_EQ(testing::ReadText(folder_ / "load.scl.BAK1"), "undated load");
  EXPECT_EQ(testing::ReadText(folder_ / "20101105load.scl.BAK1"), "dated load");
  EXPECT_FALSE(fs_.Exists(folder_ / "load.scl"));
  EXPECT_TRUE(fs_.Exists(folder_ / "20101105load.scl"));
}

TEST_F(ScaleFilesTest, NewFileIsEmptiedOfLogs) {
  std::string setup = MakeSmallFile("Logs.SetupScl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.CreateFromSetup(setup, folder_ / "new.scl"), FileOutcome::kCreated);
  EXPECT_EQ(files.store()->RowCount(files.state().slots.log), 0);
  files.CloseScaleFile();
  EXPECT_TRUE(ReadRows(folder_ / "new.scl", "Log").empty());
  EXPECT_EQ(ReadRows(setup, "Log").size(), 2u);
}

TEST_F(ScaleFilesTest, NewFileMadeFromAFileWithLogsHasNoLogs) {
  // A scale file chosen as the setup file has two logs; its emptied copy has
  // none, so the design of the new load may still be chosen.
  std::string setup = MakeSmallFile("with-logs.scl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.CreateFromSetup(setup, folder_ / "new.scl"), FileOutcome::kCreated);
  EXPECT_FALSE(files.state().hasLogs);
}

TEST_F(ScaleFilesTest, CopyThatCannotBeMadeStopsWithNoFileOpen) {
  std::string setup = CopyDefaultSetup();
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  std::string target = folder_ / "missing-folder/load.scl";
  EXPECT_EQ(files.CreateFromSetup(setup, target), FileOutcome::kFailed);
  EXPECT_FALSE(files.IsOpen());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "Could not copy " + setup + " to " + target + ".");
  EXPECT_EQ(ui_.messages()[0].caption, "Error");
}

TEST_F(ScaleFilesTest, SetupFileIsNeverReplacedByItsOwnCopy) {
  std::string setup = CopyDefaultSetup();
  std::string before = testing::ReadText(setup);
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.CreateFromSetup(setup, setup), FileOutcome::kFailed);
  EXPECT_EQ(testing::ReadText(setup), before);
  EXPECT_FALSE(fs_.Exists(setup + ".BAK1"));
  EXPECT_EQ(ui_.messages().size(), 1u);
}

// ---- The dialogs of create and open ------------------------------------------------

TEST_F(ScaleFilesTest, CreateAsksForTheSetupFileAndTheNewName) {
  std::string setup = CopyDefaultSetup();
  ui_.QueueOpenFile(setup);
  ui_.QueueSaveFile(folder_ / "load.scl");
  ScaleFiles files(ui_, fs_, clock_, "/opt/varnolde/");
  EXPECT_EQ(files.CreateScaleFile(std::nullopt), FileOutcome::kCreated);
  ASSERT_EQ(ui_.file_dialogs().size(), 2u);
  const auto& open = ui_.file_dialogs()[0];
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.dialog.title, "Select Setup file");
  EXPECT_EQ(open.dialog.default_extension, ".SetupScl");
  EXPECT_EQ(open.dialog.filter,
            "Scale setup files (*.SetupScl)|*.SetupScl|Scale Files (*.scl)|*.scl|All Files "
            "(*.*)|*.*||NULL");
  EXPECT_TRUE(open.dialog.must_exist);
  EXPECT_EQ(open.dialog.proposed_name, "/opt/varnolde/DefaultScaler.SetupScl");
  const auto& save = ui_.file_dialogs()[1];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.dialog.title, "Type file name");
  EXPECT_EQ(save.dialog.default_extension, ".scl");
  EXPECT_EQ(save.dialog.filter,
            "Scale Files (*.scl)|*.scl|Scale setup files (*.SetupScl)|*.SetupScl|All Files "
            "(*.*)|*.*||NULL");
  EXPECT_EQ(save.dialog.initial_folder, folder_.path());
  EXPECT_EQ(files.RememberedFolder(), folder_.path());
}

TEST_F(ScaleFilesTest, CancelInTheSaveDialogLeavesNoFileOpen) {
  std::string open = MakeSmallFile("open.scl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenScaleFile(open), FileOutcome::kOpened);
  ui_.QueueOpenFile(CopyDefaultSetup());
  ui_.QueueSaveFile(std::nullopt);
  EXPECT_EQ(files.CreateScaleFile(std::nullopt), FileOutcome::kCancelled);
  EXPECT_FALSE(files.IsOpen());
  EXPECT_EQ(JournalMessages(open), (std::vector<std::string>{"File opened", "File closed"}));
  EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"open.scl", "Default.SetupScl"}));
}

TEST_F(ScaleFilesTest, CancelInTheSetupDialogCreatesNothing) {
  ui_.QueueOpenFile(std::nullopt);
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.CreateScaleFile(std::nullopt), FileOutcome::kCancelled);
  EXPECT_FALSE(files.IsOpen());
  EXPECT_EQ(ui_.file_dialogs().size(), 1u);
  EXPECT_TRUE(FilesInFolder().empty());
}

TEST_F(ScaleFilesTest, StartupPathOpensWithoutADialog) {
  std::string scale = MakeSmallFile("start.scl");
  ScaleFiles files(ui_, fs_, clock_, "/opt/varnolde/");
  EXPECT_EQ(files.OpenScaleFile(scale), FileOutcome::kOpened);
  EXPECT_TRUE(ui_.file_dialogs().empty());
  EXPECT_EQ(files.RememberedFolder(), folder_.path());
  EXPECT_EQ(files.state().fileName, "start.scl");
  files.CloseScaleFile();
  EXPECT_EQ(JournalMessages(scale), (std::vector<std::string>{"File opened"}));
}

TEST_F(ScaleFilesTest, StartupSetupFileInUseCreatesNothing) {
  std::string setup = CopyDefaultSetup();
  int fd = ::open(setup.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.CreateScaleFile(setup), FileOutcome::kInUse);
  ::close(fd);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, setup + kInUseTail);
  EXPECT_EQ(ui_.messages()[0].caption, "File Already Open");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kExclamation);
  EXPECT_EQ(FilesInFolder(), (std::set<std::string>{"Default.SetupScl"}));
}

TEST_F(ScaleFilesTest, OpenDialogShowsScaleFilesFromTheRememberedFolder) {
  std::string scale = MakeSmallFile("a.scl");
  ui_.QueueOpenFile(scale);
  platform::Folders folders = platform::Folders::AllIn(folder_.path());
  folders.program = "/usr/lib/varnolde/";
  ScaleFiles files(ui_, fs_, clock_, folders);
  ASSERT_TRUE(testing::WriteText(folder_ / "mrp", "/media/card/loads/"));
  EXPECT_EQ(files.OpenScaleFile(std::nullopt), FileOutcome::kOpened);
  ASSERT_EQ(ui_.file_dialogs().size(), 1u);
  const auto& dialog = ui_.file_dialogs()[0].dialog;
  EXPECT_EQ(dialog.title, "Select file:");
  EXPECT_EQ(dialog.default_extension, ".scl");
  EXPECT_EQ(dialog.initial_folder, "/media/card/loads/");
  EXPECT_EQ(files.RememberedFolder(), folder_.path());
}

TEST_F(ScaleFilesTest, FolderWithABlankIsRememberedUpToTheBlank) {
  std::filesystem::create_directory(folder_ / "My Loads");
  std::string scale = folder_ / "My Loads/a.scl";
  ASSERT_EQ(BuildStorage(scale, SmallFileText("20100830", false),
                         {"DataDictionary", "Globals", "Load", "Log", "KZ"}),
            "");
  {
    ScaleFiles files(ui_, fs_, clock_, folder_.path());
    ui_.QueueOpenFile(scale);
    ASSERT_EQ(files.OpenScaleFile(std::nullopt), FileOutcome::kOpened);
    EXPECT_EQ(files.RememberedFolder(), folder_ / "My Loads/");
    EXPECT_TRUE(files.SaveRememberedFolder());
  }
  EXPECT_EQ(testing::ReadText(folder_ / "mrp"), folder_ / "My Loads/");
  ScaleFiles next(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(next.InitialFolder(), folder_ / "My");
}

// An installed program: its folder is read-only, the dialogs start in the
// user's documents until a folder is remembered, and the remembered folder
// is kept in the user's state folder, made when first needed.
TEST_F(ScaleFilesTest, InstalledProgramsFolderIsNeitherRememberedNorWritten) {
  const std::string program = folder_ / "lib/varnolde/";
  std::filesystem::create_directories(program);
  ASSERT_EQ(fs_.Copy(kDefaultSetup, program + "DefaultScaler.SetupScl"), FileResult::kOk);
  std::filesystem::permissions(program, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_exec);
  std::filesystem::create_directories(folder_ / "home/Documents");
  const platform::Folders folders{program, "/etc/varnolde/", folder_ / "home/.config/varnolde/",
                                  folder_ / "home/.local/state/varnolde/",
                                  folder_ / "home/Documents/"};
  const std::string scale = folder_ / "home/Documents/load.scl";
  {
    ScaleFiles files(ui_, fs_, clock_, folders);
    ui_.QueueOpenFile(program + "DefaultScaler.SetupScl");
    ui_.QueueSaveFile(scale);
    EXPECT_EQ(files.CreateScaleFile(std::nullopt), FileOutcome::kCreated);
    ASSERT_EQ(ui_.file_dialogs().size(), 2u);
    EXPECT_EQ(ui_.file_dialogs()[0].dialog.initial_folder, folders.documents);
    EXPECT_EQ(ui_.file_dialogs()[0].dialog.proposed_name, program + "DefaultScaler.SetupScl");
    // The setup file's folder is the program's: not remembered.
    EXPECT_EQ(ui_.file_dialogs()[1].dialog.initial_folder, folders.documents);
    EXPECT_TRUE(files.SaveRememberedFolder());
  }
  EXPECT_EQ(testing::ReadText(folders.userState + "mrp"), folders.documents);
  std::set<std::string> inProgram;
  for (const auto& entry : std::filesystem::directory_iterator(program))
    inProgram.insert(entry.path().filename().string());
  EXPECT_EQ(inProgram, std::set<std::string>{"DefaultScaler.SetupScl"});
  ScaleFiles next(ui_, fs_, clock_, folders);
  EXPECT_EQ(next.InitialFolder(), folders.documents);
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

TEST_F(ScaleFilesTest, AFileOpenElsewhereIsInUseUntilClosed) {
  std::string scale = MakeSmallFile("shared.scl");
  platform::ScriptedUi otherUi{[](const std::string& f) { ADD_FAILURE() << f; }};
  ScaleFiles other(otherUi, fs_, clock_, folder_.path());
  ASSERT_EQ(other.OpenScaleFile(scale), FileOutcome::kOpened);
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.OpenScaleFile(scale), FileOutcome::kInUse);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, scale + kInUseTail);
  other.CloseScaleFile();
  EXPECT_EQ(files.OpenScaleFile(scale), FileOutcome::kOpened);
}

// The open itself refuses a file that another program works on, with no
// moment between a check and the open in which both could pass.
TEST_F(ScaleFilesTest, TheOpenRefusesAFileAnotherProgramWorksOn) {
  std::string held = MakeSmallFile("held.scl");
  std::string mine = MakeSmallFile("mine.scl");
  platform::ScriptedUi otherUi{[](const std::string& f) { ADD_FAILURE() << f; }};
  ScaleFiles other(otherUi, fs_, clock_, folder_.path());
  ASSERT_EQ(other.OpenSequence(held), FileOutcome::kOpened);
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(mine), FileOutcome::kOpened);
  EXPECT_EQ(files.OpenSequence(held), FileOutcome::kInUse);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, held + kInUseTail);
  EXPECT_EQ(ui_.messages()[0].caption, "File Already Open");
  EXPECT_EQ(files.state().path, mine);
  EXPECT_EQ(files.OpenSequence(mine), FileOutcome::kInUse);  // open here too
}

TEST_F(ScaleFilesTest, SetupFileOpensForEditingWithoutDataEntry) {
  std::string setup = CopyDefaultSetup();
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ui_.QueueOpenFile(setup);
  ASSERT_EQ(files.OpenScaleFile(std::nullopt), FileOutcome::kOpened);
  EXPECT_TRUE(files.state().isSetupFile);
  EXPECT_FALSE(files.state().DataEntryEnabled());
  EXPECT_TRUE(files.state().FinalizeEnabled());
}

TEST_F(ScaleFilesTest, TypedNameOfAMissingFileSaysThereIsNoSuchFile) {
  std::string open = MakeSmallFile("open.scl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenScaleFile(open), FileOutcome::kOpened);
  std::string typed = folder_ / "typo.scl";
  ui_.QueueOpenFile(typed);
  EXPECT_EQ(files.OpenScaleFile(std::nullopt), FileOutcome::kFailed);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, typed + " could not be opened: no such file.");
  EXPECT_EQ(ui_.messages()[0].caption, "Cannot open file");
  // The previous file stays open, and nothing was created.
  EXPECT_TRUE(files.IsOpen());
  EXPECT_EQ(files.state().path, open);
  EXPECT_FALSE(fs_.Exists(typed));
}

TEST_F(ScaleFilesTest, CancelInTheOpenDialogClosesTheOpenFile) {
  std::string open = MakeSmallFile("open.scl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenScaleFile(open), FileOutcome::kOpened);
  ui_.QueueOpenFile(std::nullopt);
  EXPECT_EQ(files.OpenScaleFile(std::nullopt), FileOutcome::kCancelled);
  EXPECT_FALSE(files.IsOpen());
  EXPECT_EQ(files.state().slots.log, -1);
  EXPECT_EQ(JournalMessages(open), (std::vector<std::string>{"File opened", "File closed"}));
}

// ---- The open sequence ---------------------------------------------------------------

TEST_F(ScaleFilesTest, FileWithoutFinalizedRowGainsOne) {
  std::string text = SmallFileText("20100830", false);
  text.erase(text.find("System,Finalized,NO\n"), 20);
  std::string path = folder_ / "nofinal.scl";
  ASSERT_EQ(BuildStorage(path, text, {"DataDictionary", "Globals", "Load", "Log", "KZ"}), "");
  ASSERT_EQ(GlobalValue(path, "System", "Finalized"), "<missing>");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(path), FileOutcome::kOpened);
  EXPECT_EQ(files.state().finalized, "NO");
  EXPECT_TRUE(files.state().DataEntryEnabled());
  files.CloseScaleFile();
  EXPECT_EQ(GlobalValue(path, "System", "Finalized"), "NO");
}

TEST_F(ScaleFilesTest, FinalizedLoadKeepsDataEntryAndFinalizeOff) {
  std::string path = MakeSmallFile("final.scl");
  SetGlobal(path, "System", "Finalized", "YES");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(path), FileOutcome::kOpened);
  EXPECT_EQ(files.state().finalized, "YES");
  EXPECT_FALSE(files.state().DataEntryEnabled());
  EXPECT_FALSE(files.state().FinalizeEnabled());
}

TEST_F(ScaleFilesTest, OpeningAnOldFileUpgradesItAndRecordsTheProgramVersion) {
  std::string path = MakeSmallFile("old.scl", "20050902");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenScaleFile(path), FileOutcome::kOpened);
  EXPECT_TRUE(files.state().hasLogs);
  EXPECT_GE(files.store()->ColumnIndex(files.state().slots.log, "SkipSeg"), 0);
  files.CloseScaleFile();
  EXPECT_EQ(GlobalValue(path, "System", "ProgramVersion"), "2010.11.05");
  EXPECT_EQ(JournalMessages(path).size(), 4u);
}

TEST_F(ScaleFilesTest, TooOldFileIsNotOpened) {
  std::string path = MakeSmallFile("ancient.scl", "2006");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.OpenScaleFile(path), FileOutcome::kTooOld);
  EXPECT_FALSE(files.IsOpen());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Cannot open file");
  EXPECT_EQ(GlobalValue(path, "System", "ProgramVersion"), "2006.01.01");
  EXPECT_TRUE(JournalMessages(path).empty());
}

TEST_F(ScaleFilesTest, MissingTablesAreBuiltFromTheDictionary) {
  // Only DataDictionary and Globals: every domain table is missing.
  std::string path = MakeSmallFile("bare.scl", "20100830", {"DataDictionary", "Globals"});
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(path), FileOutcome::kOpened);
  const TableSlots& slots = files.state().slots;
  for (int slot : {slots.load, slots.log, slots.seg, slots.defC, slots.defB, slots.kz}) {
    EXPECT_GE(slot, 0);
  }
  tablestore::TableStore* store = files.store();
  EXPECT_EQ(store->RowCount(slots.load), 1);
  EXPECT_EQ(store->RowCount(slots.kz), 1);
  // The new Load row got its dictionary defaults.
  EXPECT_EQ(files.state().scaleUnits, "Cubic");
  EXPECT_EQ(files.state().scaleSample, "100");
  files.CloseScaleFile();
  EXPECT_EQ(testing::ColumnNames(path, "Seg"), "SALE,Seg");
}

TEST_F(ScaleFilesTest, LoadWithoutCullFactorColumnIsRebuilt) {
  std::string text = SmallFileText("20100830", false);
  std::string oldLoad =
      "Load[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F]\nSALE,LLR,ST,SCALESYS,CFSAWCU\n"
      "Pine Ridge,1001,100,Cubic,0.9\n";
  text.replace(
      text.find(oldLoad), oldLoad.size(),
      "Load[SALE:S,LLR:S,ST:S,SCALESYS:S]\nSALE,LLR,ST,SCALESYS\nPine Ridge,1001,3P,Board\n");
  std::string path = folder_ / "nocf.scl";
  ASSERT_EQ(BuildStorage(path, text, {"DataDictionary", "Globals", "Load"}), "");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(path), FileOutcome::kOpened);
  EXPECT_GE(files.store()->ColumnIndex(files.state().slots.load, "CFSAWCU"), 0);
  EXPECT_EQ(files.state().scaleUnits, "Board");
  EXPECT_EQ(files.state().scaleSample, "3P");
  EXPECT_EQ(files.state().slots.defect, files.state().slots.defB);
}

TEST_F(ScaleFilesTest, DamagedFileIsRefused) {
  std::string path = folder_ / "damaged.scl";
  ASSERT_TRUE(
      testing::WriteText(path, std::string("JL\x1a") + '\0' + "garbage that is no storage"));
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.OpenScaleFile(path), FileOutcome::kFailed);
  EXPECT_FALSE(files.IsOpen());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].caption, "Cannot open file");
}

TEST_F(ScaleFilesTest, MissingFileIsNotCreatedByTheSequence) {
  std::string path = folder_ / "gone.scl";
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  EXPECT_EQ(files.OpenSequence(path), FileOutcome::kFailed);
  EXPECT_FALSE(files.IsOpen());
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, path + " could not be opened.");
  EXPECT_FALSE(fs_.Exists(path));
}

TEST_F(ScaleFilesTest, WaitCursorIsShownDuringTheSequenceOnly) {
  std::string path = MakeSmallFile("a.scl");
  ScaleFiles files(ui_, fs_, clock_, folder_.path());
  ASSERT_EQ(files.OpenSequence(path), FileOutcome::kOpened);
  EXPECT_EQ(ui_.wait_cursor_count(), 1);
  EXPECT_FALSE(ui_.wait_cursor());
}

}  // namespace
}  // namespace app
