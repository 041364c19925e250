// Test helpers for the file lifecycle tests: a temporary folder, storage files
// built from import text, and reading tables back from a file on disk.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/screens.h"
#include "mkstore/fault_file_system.h"
#include "platform/file_system.h"
#include "platform/test_support.h"

namespace platform {
class Clock;
}

namespace app::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away. path() ends in "/".
using TempFolder = platform::testing::TempFolder;

// Writes `text` as the whole file at `path`; false when that fails.
bool WriteText(const std::string& path, const std::string& text);
// The whole file at `path`; "" when it cannot be read.
std::string ReadText(const std::string& path);

// Builds a storage file at `path` by importing each of `tables` from the
// import text `importText` (sections "[Table]", description, titles, rows).
// Returns "" on success, else what went wrong.
std::string BuildStorage(const std::string& path, const std::string& importText,
                         const std::vector<std::string>& tables);

// The readers below read what is in the file at `path` now, also while a
// store under test holds it (they open a copy).

// Every row of `table` in the file at `path`, each value as GetText gives it;
// an empty list when the table is missing.
std::vector<std::vector<std::string>> ReadRows(const std::string& path, const std::string& table);

// The column names of `table` in the file at `path`, joined by ",".
std::string ColumnNames(const std::string& path, const std::string& table);

// The Msg column of every MessageLog entry of the file at `path`.
std::vector<std::string> JournalMessages(const std::string& path);

// The Value of the Globals row Block=block,Key=key; "<missing>" when not
// exactly one row matches.
std::string GlobalValue(const std::string& path, const std::string& block, const std::string& key);

// Import text of a small but complete file at structure version `version`
// (DataDictionary, Globals and empty domain tables) whose Log holds two logs.
// Sections: DataDictionary, Globals, Load, Log, KZ. With `withTapers` the
// dictionary already describes Tapers.
std::string SmallFileText(const std::string& version, bool withTapers);

// The setup file that ships with the program (DefaultScaler.SetupScl in the
// build's program folder).
std::string DefaultSetupPath();

// Makes a new scale file at `path` from DefaultSetupPath() as "Create new
// file" does (journal entries dated by `clock`) and closes it again. False
// when it could not be made.
[[nodiscard]] bool MakeScaleFile(const platform::Clock& clock, const std::string& path);

// Stands in for the other screens: records each one opened, by name
// ("About", "LoadInfo", "DataEntry", "Design SAMPLE/UNITS" with the texts it
// opened with, "Setup", "Supervisor", "Reports"), and answers as set below.
class RecordingScreens : public Screens {
 public:
  void ShowAbout() override { shown.push_back("About"); }
  void ShowLoadInfo(Application& app) override;
  void ShowDataEntry(Application&) override { shown.push_back("DataEntry"); }
  std::optional<DesignChoice> ShowDesign(Application&, const DesignChoice& current) override;
  void ShowSetup(Application&) override { shown.push_back("Setup"); }
  void ShowSupervisor(Application&) override { shown.push_back("Supervisor"); }
  void ShowReports(Application&, const std::function<void(const ReportChoice&)>& generate) override;
  // How often the screen `name` was opened.
  int Count(const std::string& name) const;

  std::vector<std::string> shown;
  std::optional<DesignChoice> design;          // the design dialog's answer
  std::optional<ReportChoice> reports;         // generated once when set
  std::function<void(Application&)> loadInfo;  // what the scaler does there
};

// The platform file operations (copy, move, delete, whole-file reads and
// writes) over the files of an engine FaultFileSystem, so that the file
// lifecycle and the storage engine see the same in-memory files. Files are
// never in use by another program. `files` is borrowed.
class FaultFiles : public platform::FileSystem {
 public:
  explicit FaultFiles(mk::FaultFileSystem& files) : files_(files) {}
  bool Exists(const std::string& path) const override { return files_.Exists(path); }
  platform::FileResult Copy(const std::string& from, const std::string& to) override;
  platform::FileResult Move(const std::string& from, const std::string& to) override;
  platform::FileResult Delete(const std::string& path) override;
  platform::FileResult ReadFile(const std::string& path, size_t max_bytes,
                                std::string* contents) const override;
  platform::FileResult WriteFile(const std::string& path, std::string_view contents) override;
  bool CanOpenExclusive(const std::string& path) const override { return Exists(path); }

 private:
  mk::FaultFileSystem& files_;
};

}  // namespace app::testing
