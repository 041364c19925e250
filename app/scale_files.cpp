#include "app/scale_files.h"

#include <string_view>

#include "app/file_names.h"
#include "app/load_actions.h"
#include "app/structure_upgrade.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/identity.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using tablestore::TableStore;

constexpr const char* kScaleFilter =
    "Scale Files (*.scl)|*.scl|Scale setup files (*.SetupScl)|*.SetupScl|All Files (*.*)|*.*||NULL";
constexpr const char* kSetupFilter =
    "Scale setup files (*.SetupScl)|*.SetupScl|Scale Files (*.scl)|*.scl|All Files (*.*)|*.*||NULL";

// The largest "mrp" read: a folder path, never more than a few hundred bytes.
constexpr size_t kMaxRememberedFolderBytes = 64 * 1024;

std::string Setting(TableStore& store, std::string_view block, std::string_view key) {
  std::string value;
  // A setting that cannot be read is empty, as an unset one.
  static_cast<void>(tablestore::ReadSetting(store, block, key, value));
  return value;
}

std::string CellText(TableStore& store, int slot, int row, const std::string& column) {
  std::string text;
  int col = store.ColumnIndex(slot, column);
  if (col >= 0 && row < store.RowCount(slot)) store.GetText(slot, row, col, text);
  return text;
}

bool RemoveAllRows(TableStore& store, int slot) {
  while (store.RowCount(slot) > 0) {
    if (store.RemoveRow(slot, 0) < 0) return false;
  }
  return true;
}

}  // namespace

ScaleFiles::ScaleFiles(platform::Ui& ui, platform::FileSystem& fs, const platform::Clock& clock,
                       platform::Folders folders, mk::FileSystem* storeFs)
    : ui_(ui), fs_(fs), clock_(clock), folders_(std::move(folders)), storeFs_(storeFs) {}

ScaleFiles::~ScaleFiles() { CloseScaleFile(); }

// ---- Open and create -------------------------------------------------------

FileOutcome ScaleFiles::OpenScaleFile(const std::optional<std::string>& startupPath) {
  std::string path;
  if (startupPath) {
    path = *startupPath;
  } else {
    // The entry's failure is shown; the file is left either way.
    if (IsOpen()) static_cast<void>(Journal(kFileClosed));
    platform::FileDialog dialog;
    dialog.title = "Select file:";
    dialog.default_extension = ".scl";
    dialog.filter = kScaleFilter;
    dialog.initial_folder = InitialFolder();
    auto chosen = ui_.OpenFile(dialog);
    if (!chosen) {
      CloseScaleFile();
      return FileOutcome::kCancelled;
    }
    path = *chosen;
  }
  RememberFolderOf(path);
  if (!CheckNotInUse(path)) return fs_.Exists(path) ? FileOutcome::kInUse : FileOutcome::kFailed;
  FileOutcome outcome = OpenSequence(path);
  // A failed entry is shown; the file is open and usable all the same.
  if (outcome == FileOutcome::kOpened) static_cast<void>(Journal("File opened"));
  return outcome;
}

FileOutcome ScaleFiles::OpenForCommand(const std::string& path) {
  if (!CheckNotInUse(path)) return FileOutcome::kInUse;
  const FileOutcome outcome = OpenSequence(path);
  if (outcome != FileOutcome::kOpened) return outcome;
  if (!sampling::AppendJournal(*store_, "File opened")) {
    ShowError(std::string(kJournalFailedText) + "\n" + store_->LastError());
    DropStore();
    return FileOutcome::kFailed;
  }
  return outcome;
}

void ScaleFiles::DropChanges() { DropStore(); }

FileOutcome ScaleFiles::CreateScaleFile(const std::optional<std::string>& startupSetupPath) {
  // The entry's failure is shown; the file is left either way.
  if (IsOpen()) static_cast<void>(Journal(kFileClosed));
  CloseScaleFile();
  std::string setupPath;
  if (startupSetupPath) {
    setupPath = *startupSetupPath;
    RememberFolderOf(setupPath);
    if (!CheckNotInUse(setupPath)) {
      return fs_.Exists(setupPath) ? FileOutcome::kInUse : FileOutcome::kFailed;
    }
  } else {
    platform::FileDialog dialog;
    dialog.title = "Select Setup file";
    dialog.default_extension = ".SetupScl";
    dialog.filter = kSetupFilter;
    dialog.initial_folder = InitialFolder();
    dialog.proposed_name = folders_.program + kDefaultSetupFileName;
    dialog.must_exist = true;
    auto chosen = ui_.OpenFile(dialog);
    if (!chosen) return FileOutcome::kCancelled;
    setupPath = *chosen;
    RememberFolderOf(setupPath);
  }
  platform::FileDialog save;
  save.title = "Type file name";
  save.default_extension = ".scl";
  save.filter = kScaleFilter;
  save.initial_folder = InitialFolder();
  auto scalePath = ui_.SaveFile(save);
  if (!scalePath) return FileOutcome::kCancelled;
  RememberFolderOf(*scalePath);
  return CreateFromSetup(setupPath, *scalePath);
}

FileOutcome ScaleFiles::CreateFromSetup(const std::string& setupPath,
                                        const std::string& scalePath) {
  CloseScaleFile();
  if (scalePath == setupPath) {
    ShowError("A new scale file cannot replace its own setup file " + setupPath + ".");
    return FileOutcome::kFailed;
  }
  if (fs_.Exists(scalePath) && !MoveToBackup(scalePath)) return FileOutcome::kFailed;
  if (!CopyFile(setupPath, scalePath)) return FileOutcome::kFailed;
  FileOutcome outcome = OpenSequence(scalePath);
  if (outcome == FileOutcome::kFailed) return DiscardNewFile(scalePath);
  if (outcome != FileOutcome::kOpened) return outcome;
  std::string path = scalePath;
  if (Setting(*store_, tablestore::kBlockOption, tablestore::kKeyAppendDateToFileName) ==
      tablestore::kYes) {
    outcome = ApplyDatePrefix(path);
    if (outcome == FileOutcome::kFailed) return DiscardNewFile(path);
    if (outcome != FileOutcome::kOpened) return outcome;
  }
  if (!Journal("Created from " + setupPath) || !Journal("File opened") || !EmptyNewFile()) {
    return DiscardNewFile(path);
  }
  state_.fileName = FileNameOf(scalePath);
  return FileOutcome::kCreated;
}

FileOutcome ScaleFiles::ApplyDatePrefix(std::string& scalePath) {
  std::string prefix = DatePrefix(clock_.Now());
  CloseScaleFile();
  std::string dated = WithFileNamePrefix(scalePath, prefix);
  if (fs_.Exists(dated) && !MoveToBackup(dated)) return FileOutcome::kFailed;
  if (!CopyFile(scalePath, dated)) return FileOutcome::kFailed;
  // The undated copy goes only once the dated one is complete. A backup made
  // of an older file with the undated name stays where it is. An undated
  // copy that cannot go loses nothing: the dated one is complete.
  static_cast<void>(fs_.Delete(scalePath));
  scalePath = dated;
  return OpenSequence(scalePath);
}

bool ScaleFiles::EmptyNewFile() {
  const TableSlots& slots = state_.slots;
  for (int slot : {slots.log, slots.seg, slots.defect}) {
    if (slot >= 0 && !RemoveAllRows(*store_, slot)) {
      ShowError("The logs of the setup file could not be removed from " + state_.path + ".");
      return false;
    }
  }
  // The open counted the logs of the copied file; the new file has none.
  state_.hasLogs = false;
  if (store_->Commit() == tablestore::kOk) return true;
  ShowError(std::string(kJournalFailedText) + "\n" + store_->LastError());
  return false;
}

FileOutcome ScaleFiles::DiscardNewFile(const std::string& path) {
  DropStore();
  // The copy never became a scale file: it goes, so that nothing half made
  // is left under the new name. A file it replaced keeps its backup name.
  (void)fs_.Delete(path);
  return FileOutcome::kFailed;
}

void ScaleFiles::DropStore() {
  // Close releases the slots (none is an in-memory copy here) and drops what
  // was not committed, which is the point.
  if (store_) (void)store_->Close();
  CloseScaleFile();
}

bool ScaleFiles::MoveToBackup(const std::string& path) {
  auto backup = BackupName(fs_, path);
  if (backup && fs_.Move(path, *backup) == platform::FileResult::kOk) return true;
  ShowError("Could not move " + path + " to a backup name.");
  return false;
}

bool ScaleFiles::CopyFile(const std::string& from, const std::string& to) {
  if (fs_.Copy(from, to) == platform::FileResult::kOk) return true;
  ShowError("Could not copy " + from + " to " + to + ".");
  return false;
}

// ---- The open sequence -------------------------------------------------------

FileOutcome ScaleFiles::OpenSequence(const std::string& path) {
  platform::WaitCursor wait(ui_);
  std::unique_ptr<TableStore> store;
  const FileOutcome opened = OpenStore(path, &store);
  // Refused: the file open until now stays open, as after the in-use check.
  if (opened == FileOutcome::kInUse) return opened;
  CloseScaleFile();
  if (opened != FileOutcome::kOpened) return opened;
  store_ = std::move(store);
  // A storage without these two tables has no version either: the upgrade
  // refuses it as a file of an old structure.
  state_.slots.dataDictionary = store_->OpenAView("DataDictionary", false);
  state_.slots.globals = store_->OpenAView("Globals", false);
  switch (UpgradeStructure(*store_, ui_)) {
    case UpgradeResult::kCurrent:
      break;
    case UpgradeResult::kTooOld:
      DropStore();
      return FileOutcome::kTooOld;
    case UpgradeResult::kFailed:
      // A step's changes that did not reach the file must not reach it at
      // the close either.
      DropStore();
      return FileOutcome::kFailed;
  }
  if (Setting(*store_, tablestore::kBlockSystem, tablestore::kKeyProgramVersion) !=
      kProgramVersion) {
    // Written only into an existing row, as the handheld did; a file without
    // one keeps none.
    (void)tablestore::WriteSetting(*store_, tablestore::kBlockSystem,
                                   tablestore::kKeyProgramVersion, kProgramVersion);
  }
  state_.path = path;
  state_.fileName = FileNameOf(path);
  state_.isSetupFile = path.find(".SetupScl") != std::string::npos;
  ReadSettings();
  writeFailed_ = false;
  OpenTables();
  if (writeFailed_) {
    ShowError(std::string(kJournalFailedText) + "\n" + store_->LastError());
    DropStore();
    return FileOutcome::kFailed;
  }
  ReadLoadDesign();
  return FileOutcome::kOpened;
}

// The store's open is the in-use check that counts: it takes the file's hold
// before it reads a byte, or is refused while another store has it.
FileOutcome ScaleFiles::OpenStore(const std::string& path, std::unique_ptr<TableStore>* result) {
  std::string error;
  // The storage would make an empty file of a missing one; the lifecycle
  // only ever opens files that are there.
  if (fs_.Exists(path)) {
    auto store = std::make_unique<TableStore>(storeFs_);
    // Every journal entry of this file, the upgrade's included, carries the
    // program's clock and the device identity.
    store->SetJournalSource(&clock_,
                            platform::ReadDeviceIdentity(fs_, platform::SettingsFolder()).Text());
    const int rc = store->Open(path, false);
    if (rc == tablestore::kOk) {
      *result = std::move(store);
      return FileOutcome::kOpened;
    }
    if (rc == tablestore::kInUse) {
      ShowInUse(path);
      return FileOutcome::kInUse;
    }
    error = "\n" + store->LastError();
  }
  platform::Message message;
  message.text = path + " could not be opened." + error;
  message.caption = "Cannot open file";
  message.icon = platform::Icon::kExclamation;
  ui_.ShowMessage(message);
  return FileOutcome::kFailed;
}

void ScaleFiles::ReadSettings() {
  TableStore& store = *store_;
  state_.defFieldLog = Setting(store, tablestore::kBlockDefField, "Log");
  state_.defFieldSeg = Setting(store, tablestore::kBlockDefField, "Seg");
  state_.defFieldDef = Setting(store, tablestore::kBlockDefField, "Def");
  state_.fileType = Setting(store, tablestore::kBlockSystem, tablestore::kKeyFileType);
  state_.finalized = tablestore::kNo;
  if (tablestore::ReadSetting(store, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                              state_.finalized) == tablestore::kOk) {
    return;
  }
  // A duplicated row reads as missing too ("NO"), but adding another would
  // not make it readable: only a missing row is added. Globals is open in a
  // slot (not in memory), so nothing is committed here; a row that cannot be
  // added leaves the setting missing, which reads as "NO" as well.
  (void)tablestore::EnsureSetting(store, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                                  tablestore::kNo);
}

void ScaleFiles::OpenTables() {
  TableSlots& slots = state_.slots;
  // The first rows added to an empty Load and KZ go to table slots that were
  // just opened, where AddRow cannot refuse an append.
  slots.load = OpenTable("Load", true);
  if (slots.load >= 0 && store_->RowCount(slots.load) == 0) (void)store_->AddRow(slots.load, -1);
  slots.log = OpenTable("Log", false);
  state_.hasLogs = slots.log >= 0 && store_->RowCount(slots.log) > 1;
  slots.seg = OpenTable("Seg", false);
  slots.defC = OpenTable("DefC", false);
  slots.defB = OpenTable("DefB", false);
  slots.kz = OpenTable("KZ", false);
  if (slots.kz >= 0 && store_->RowCount(slots.kz) == 0) (void)store_->AddRow(slots.kz, -1);
}

int ScaleFiles::OpenTable(const std::string& table, bool rebuildWithoutCfsawcu) {
  int slot = store_->OpenAView(table, false);
  bool rebuild = slot < 0 || (rebuildWithoutCfsawcu && store_->ColumnIndex(slot, "CFSAWCU") < 0);
  if (rebuild) {
    if (store_->RestructureTable(table, "Order1") == tablestore::kWriteFailed) {
      writeFailed_ = true;
      return -1;
    }
    // A table the dictionary does not describe stays missing (slot -1).
    slot = store_->OpenAView(table, false);
  }
  // Without column information new rows get no defaults; the file is still
  // usable, so a dictionary that cannot be read is not a reason to refuse it.
  if (slot >= 0) (void)store_->LoadColumnInfo(slot);
  return slot;
}

void ScaleFiles::ReadLoadDesign() {
  TableSlots& slots = state_.slots;
  if (slots.load >= 0) {
    state_.scaleUnits = CellText(*store_, slots.load, 0, "SCALESYS");
    state_.scaleSample = CellText(*store_, slots.load, 0, "ST");
  }
  slots.defect = platform::EqualsIgnoringAsciiCase(state_.scaleUnits, "Cubic") ? slots.defC : slots.defB;
}

bool ScaleFiles::SetLoadDesign(const std::string& scaleSample, const std::string& scaleUnits) {
  const int slot = state_.slots.load;
  if (!store_ || slot < 0 || store_->RowCount(slot) < 1) return false;
  const int units = store_->ColumnIndex(slot, "SCALESYS");
  const int sample = store_->ColumnIndex(slot, "ST");
  if (units < 0 || sample < 0) return false;
  if (store_->SetText(slot, 0, units, scaleUnits) != tablestore::kOk ||
      store_->SetText(slot, 0, sample, scaleSample) != tablestore::kOk) {
    return false;
  }
  ReadLoadDesign();
  return true;
}

void ScaleFiles::CloseScaleFile() {
  store_.reset();
  state_ = OpenFileState();
}

bool ScaleFiles::CheckNotInUse(const std::string& path) {
  if (fs_.CanOpenExclusive(path)) return true;
  if (fs_.Exists(path)) {
    ShowInUse(path);
  } else {
    // Not another program's fault: say what is wrong.
    ui_.ShowMessage({path + " could not be opened: no such file.", "Cannot open file",
                     platform::Icon::kExclamation});
  }
  return false;
}

// ---- Remembered folder -----------------------------------------------------------

void ScaleFiles::RememberFolderOf(const std::string& path) {
  std::string folder = FolderOf(path);
  if (folder != folders_.program) rememberedFolder_ = std::move(folder);
}

std::string ScaleFiles::InitialFolder() {
  if (rememberedFolder_.empty() && !folders_.userState.empty()) {
    std::string text;
    std::string mrp = folders_.userState + std::string(kRememberedFolderFileName);
    if (fs_.ReadFile(mrp, kMaxRememberedFolderBytes, &text) == platform::FileResult::kOk) {
      rememberedFolder_ = ParseRememberedFolder(text);
    }
  }
  return rememberedFolder_.empty() ? folders_.documents : rememberedFolder_;
}

bool ScaleFiles::SaveRememberedFolder() {
  if (folders_.userState.empty()) return false;
  const std::string mrp = folders_.userState + std::string(kRememberedFolderFileName);
  platform::FileResult written = fs_.WriteFile(mrp, rememberedFolder_);
  // The state folder is made on the first save only, as it is needed.
  if (written == platform::FileResult::kNotFound && platform::MakeFolders(folders_.userState)) {
    written = fs_.WriteFile(mrp, rememberedFolder_);
  }
  return written == platform::FileResult::kOk;
}

// ---- Messages -----------------------------------------------------------------

void ScaleFiles::ShowInUse(const std::string& path) {
  platform::Message message;
  message.text = path + " is in use by another application!\nClose it and try again.";
  message.caption = "File Already Open";
  message.icon = platform::Icon::kExclamation;
  ui_.ShowMessage(message);
}

void ScaleFiles::ShowError(const std::string& text) {
  platform::Message message;
  message.text = text;
  message.caption = "Error";
  message.icon = platform::Icon::kStop;
  ui_.ShowMessage(message);
}

bool ScaleFiles::Journal(const std::string& msg) {
  return store_ == nullptr || app::Journal(*store_, ui_, msg);
}

}  // namespace app
