#include "app/test_files.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "app/scale_files.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace app::testing {

std::string DefaultSetupPath() { return VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl"; }

bool MakeScaleFile(const platform::Clock& clock, const std::string& path) {
  platform::ScriptedUi ui;
  platform::PosixFileSystem fs;
  const size_t slash = path.rfind('/');
  ScaleFiles files(ui, fs, clock, path.substr(0, slash == std::string::npos ? 0 : slash + 1));
  return files.CreateFromSetup(DefaultSetupPath(), path) == FileOutcome::kCreated &&
         ui.messages().empty();
}

void RecordingScreens::ShowLoadInfo(Application& app) {
  shown.push_back("LoadInfo");
  if (loadInfo) loadInfo(app);
}

std::optional<DesignChoice> RecordingScreens::ShowDesign(Application&,
                                                         const DesignChoice& current) {
  shown.push_back("Design " + current.scaleSample + "/" + current.scaleUnits);
  return design;
}

void RecordingScreens::ShowReports(Application&,
                                   const std::function<void(const ReportChoice&)>& generate) {
  shown.push_back("Reports");
  if (reports) generate(*reports);
}

int RecordingScreens::Count(const std::string& name) const {
  return static_cast<int>(std::count(shown.begin(), shown.end(), name));
}

bool WriteText(const std::string& path, const std::string& text) {
  platform::PosixFileSystem fs;
  return fs.WriteFile(path, text) == platform::FileResult::kOk;
}

std::string ReadText(const std::string& path) {
  platform::PosixFileSystem fs;
  std::string text;
  fs.ReadFile(path, 64 << 20, &text);
  return text;
}

std::string BuildStorage(const std::string& path, const std::string& importText,
                         const std::vector<std::string>& tables) {
  std::string source = path + ".import.txt";
  if (!WriteText(source, importText)) return "cannot write " + source;
  tablestore::TableStore store;
  if (store.Open(path, false) != 0) return "cannot open " + path + ": " + store.LastError();
  for (const std::string& table : tables) {
    if (store.ImportView(1, source, table, 2) != 0) return "cannot import " + table;
  }
  if (store.Commit() != 0) return "cannot commit: " + store.LastError();
  store.Close();
  std::filesystem::remove(source);
  return "";
}

namespace {

// Opens `store` on a copy of the file at `path`, made in a folder of its own:
// the file may still be held by a store under test, which no second store
// may open, and tests that list their folder must not see the copy.
int OpenToRead(tablestore::TableStore& store, const std::string& path) {
  static TempFolder copies;
  static int counter = 0;
  const std::string copy = copies.path() + std::to_string(++counter) + ".scl";
  std::error_code error;
  if (!std::filesystem::copy_file(path, copy, error)) return tablestore::kNotFound;
  return store.Open(copy, false);
}

}  // namespace

std::vector<std::vector<std::string>> ReadRows(const std::string& path, const std::string& table) {
  std::vector<std::vector<std::string>> rows;
  tablestore::TableStore store;
  if (OpenToRead(store, path) != 0) return rows;
  int slot = store.OpenAView(table, false);
  if (slot < 0) return rows;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    std::vector<std::string> values(static_cast<size_t>(store.ColumnCount(slot)));
    for (int col = 0; col < store.ColumnCount(slot); ++col) {
      store.GetText(slot, row, col, values[static_cast<size_t>(col)]);
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

std::string ColumnNames(const std::string& path, const std::string& table) {
  tablestore::TableStore store;
  std::string names;
  if (OpenToRead(store, path) != 0) return names;
  int slot = store.OpenAView(table, false);
  if (slot >= 0) store.DescribeView(slot, names, true);
  return names;
}

std::vector<std::string> JournalMessages(const std::string& path) {
  std::vector<std::string> messages;
  tablestore::TableStore store;
  if (OpenToRead(store, path) != 0) return messages;
  int slot = store.OpenAView("MessageLog", false);
  if (slot < 0) return messages;
  int col = store.ColumnIndex(slot, "Msg");
  for (int row = 0; row < store.RowCount(slot); ++row) {
    std::string msg;
    store.GetText(slot, row, col, msg);
    messages.push_back(msg);
  }
  return messages;
}

std::string GlobalValue(const std::string& path, const std::string& block, const std::string& key) {
  tablestore::TableStore store;
  std::string value = "<missing>";
  if (OpenToRead(store, path) != 0) return value;
  store.KeyRetrieve("Globals", "Block=" + block + ",Key=" + key, "Value", value, false);
  return value;
}

std::string SmallFileText(const std::string& version, bool withTapers) {
  std::string text =
      "[DataDictionary]\n"
      "DataDictionary[TableName:S,FieldType:S,Description:S,ColumnName:S,IsUsed:S,Length:I,"
      "Min:S,Max:S,Validate:S,Callbacks:S,DefaultValue:S,FieldEdit:S,CompoundSelection:S,"
      "Order1:I,Order2:I,Order3:I,Order4:I,Order5:I,Order6:I,Order7:I,Order8:I,Order9:I,"
      "Order10:I,Order11:I,Order12:I]\n"
      "TableName,FieldType,Description,ColumnName,IsUsed,Length,Min,Max,Validate,Callbacks,"
      "DefaultValue,FieldEdit,CompoundSelection,Order1\n"
      "Load,S,Sale,SALE,Y,20,,,,,,,,1\n"
      "Load,S,Load Receipt,LLR,Y,7,,,,,,,,2\n"
      "Load,S,Sale Type,ST,Y,3,,,,,V100,,,3\n"
      "Load,S,Scale System,SCALESYS,Y,7,,,,,VCubic,,,4\n"
      "Load,F,Cull Factor,CFSAWCU,Y,5,,,,,,,,5\n"
      "Log,S,Sale,SALE,Y,20,,,,,C,,,1\n"
      "Log,S,Load Receipt,LLR,Y,7,,,,,C,,,2\n"
      "Log,I,Log Number,LOG,Y,4,,,,,I1,,,3\n"
      "Log,S,Split,S,Y,1,,,,,V1,,,4\n"
      "Log,I,Product,P,Y,1,,,1 2,,,,,5\n"
      "Log,I,Length,LN,Y,3,,,,,,,,6\n"
      "Seg,S,Sale,SALE,Y,20,,,,,,,,1\n"
      "Seg,I,Segment,Seg,Y,1,,,,,,,,2\n"
      "DefC,S,Sale,SALE,Y,20,,,,,,,,1\n"
      "DefC,I,Method,M,Y,1,,,1 2 3 4 5,,,,,2\n"
      "DefB,S,Sale,SALE,Y,20,,,,,,,,1\n"
      "DefB,I,Method,M,Y,1,,,1 2 3 4 5,,,,,2\n"
      "KZ,S,Species,SP,Y,2,,,,,,,,1\n"
      "KZ,I,Product,P,Y,1,,,,,,,,2\n"
      "KZ,I,KZ,KZ,Y,6,,,,,,,,3\n";
  if (withTapers) text += "Tapers,S,Species,SP,Y,2,,,,,,,,1\n";
  text +=
      "\n[Globals]\nGlobals[Block:S,Key:S,Value:S]\nBlock,Key,Value\n"
      "System,StructureVersion," +
      version +
      "\n"
      "System,ProgramVersion,2006.01.01\n"
      "System,Finalized,NO\n"
      "\n[Load]\nLoad[SALE:S,LLR:S,ST:S,SCALESYS:S,CFSAWCU:F]\nSALE,LLR,ST,SCALESYS,CFSAWCU\n"
      "Pine Ridge,1001,100,Cubic,0.9\n"
      "\n[Log]\nLog[SALE:S,LLR:S,LOG:I,S:S,P:I,LN:I]\nSALE,LLR,LOG,S,P,LN\n"
      "Pine Ridge,1001,1,1,1,32\n"
      "Pine Ridge,1001,2,1,2,16\n"
      "\n[KZ]\nKZ[SP:S,P:I,KZ:I]\nSP,P,KZ\n,0,60\n";
  return text;
}

platform::FileResult FaultFiles::Copy(const std::string& from, const std::string& to) {
  if (!files_.Exists(from)) return platform::FileResult::kNotFound;
  if (files_.Exists(to)) return platform::FileResult::kAlreadyExists;
  files_.SetContents(to, files_.Contents(from));
  return platform::FileResult::kOk;
}

platform::FileResult FaultFiles::Move(const std::string& from, const std::string& to) {
  if (!files_.Exists(from)) return platform::FileResult::kNotFound;
  if (files_.Exists(to)) return platform::FileResult::kAlreadyExists;
  return files_.Rename(from, to).ok() ? platform::FileResult::kOk : platform::FileResult::kIOError;
}

platform::FileResult FaultFiles::Delete(const std::string& path) {
  return files_.Remove(path).ok() ? platform::FileResult::kOk : platform::FileResult::kNotFound;
}

platform::FileResult FaultFiles::ReadFile(const std::string& path, size_t max_bytes,
                                          std::string* contents) const {
  if (!files_.Exists(path)) return platform::FileResult::kNotFound;
  *contents = files_.Contents(path);
  return contents->size() > max_bytes ? platform::FileResult::kTooLarge : platform::FileResult::kOk;
}

platform::FileResult FaultFiles::WriteFile(const std::string& path, std::string_view contents) {
  files_.SetContents(path, std::string(contents));
  return platform::FileResult::kOk;
}

}  // namespace app::testing
