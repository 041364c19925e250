#include "setup/make_setup_file.h"

#include <optional>

#include "app/application.h"
#include "app/file_names.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"

namespace setup {

namespace {

using platform::FileResult;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void ShowError(app::Application& app, const std::string& text) {
  app.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

// Removes every row of `table` (a table the file lacks is left alone).
bool EmptyTable(tablestore::TableStore& store, const std::string& table) {
  if (store.TableExists(table) < 0) return true;
  const tablestore::SlotGuard slot(store, store.OpenAView(table, false));
  if (slot.slot() < 0) return false;
  for (int rows = store.RowCount(slot.slot()); rows > 0; --rows) {
    if (store.RemoveRow(slot.slot(), rows - 1) < 0) return false;
  }
  return true;
}

// Empties the load data of the new file at `path` and marks it not
// finalized. Returns "" or what went wrong.
std::string EmptyCopy(const std::string& path) {
  tablestore::TableStore copy;
  if (copy.Open(path, false) != 0) return copy.LastError();
  for (const char* table : kLoadDataTables) {
    if (!EmptyTable(copy, table))
      return std::string("The table ") + table + " could not be emptied.";
  }
  if (tablestore::StoreSetting(copy, tablestore::kBlockSystem, tablestore::kKeyFinalized,
                               tablestore::kNo) != 0) {
    return "The setting Finalized could not be written.";
  }
  if (copy.Commit() != 0) return copy.LastError();
  return copy.Close() == 0 ? "" : copy.LastError();
}

// Undoes a failed make: the half-made copy goes, the backup comes back.
void Discard(app::Application& app, const std::string& path,
             const std::optional<std::string>& backup) {
  // Best effort after a failure the caller reports: the backup is only
  // moved back, never deleted, so a failed step here loses no file.
  if (app.fs.Exists(path)) (void)app.fs.Delete(path);
  if (backup) (void)app.fs.Move(*backup, path);
}

std::optional<std::string> AskPath(app::Application& app) {
  platform::FileDialog dialog;
  dialog.title = kNewSetupTitle;
  dialog.proposed_name = kNewSetupProposedName;
  dialog.default_extension = kNewSetupExtension;
  dialog.filter = kNewSetupFilter;
  dialog.initial_folder = app.files.InitialFolder();
  return app.ui.SaveFile(dialog);
}

}  // namespace

std::string SetupFilePath(const std::string& chosen) {
  return EndsWith(chosen, ".Set") ? chosen + "upScl" : chosen;
}

SetupFileOutcome MakeSetupFile(app::Application& app) {
  const std::optional<std::string> chosen = AskPath(app);
  if (!chosen) return SetupFileOutcome::kCancelled;
  tablestore::TableStore& store = *app.store();
  if (store.Commit() != 0) {
    ShowError(app, "The open file could not be saved.\n" + store.LastError());
    return SetupFileOutcome::kFailed;
  }
  const std::string path = SetupFilePath(*chosen);
  const std::string& source = app.files.state().path;
  if (path == source) {
    ShowError(app, path + " is the open file. Choose another name.");
    return SetupFileOutcome::kFailed;
  }
  std::optional<std::string> backup;
  if (app.fs.Exists(path)) {
    backup = app::BackupName(app.fs, path);
    if (!backup || app.fs.Move(path, *backup) != FileResult::kOk) {
      ShowError(app, "Could not move " + path + " to a backup name.");
      return SetupFileOutcome::kFailed;
    }
  }
  if (app.fs.Copy(source, path) != FileResult::kOk) {
    Discard(app, path, backup);
    ShowError(app, "Could not copy " + source + " to " + path + ".");
    return SetupFileOutcome::kFailed;
  }
  if (const std::string error = EmptyCopy(path); !error.empty()) {
    Discard(app, path, backup);
    ShowError(app, "The new setup file could not be written.\n" + error);
    return SetupFileOutcome::kFailed;
  }
  std::string text = path;
  if (backup) text += "\nExisting setup file by the same name backed up as " + *backup;
  app.ui.ShowMessage({text, kNewSetupCaption, platform::Icon::kInformation});
  return SetupFileOutcome::kMade;
}

}  // namespace setup
