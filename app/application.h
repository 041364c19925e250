// Application: what every screen shares about the running program and the
// open file. The main screen owns the one Application and hands it to every
// screen it opens; screens read these values here, never in globals, and
// change the shared screen state only through its named operations.
//
// It holds the program's services (the Ui, the clock, the file system and the
// program folder, all borrowed) and the ScaleFiles that own the open file's
// TableStore and slots.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/file_type.h"
#include "app/grid_mode.h"
#include "app/password_policy.h"
#include "app/scale_files.h"
#include "app/screens.h"
#include "platform/folders.h"

namespace platform {
class Clock;
class FileSystem;
class Ui;
}  // namespace platform

namespace app {

// The landing fields: the column where the cursor lands on a new row of the
// log, segment and defect grids (Globals DefField Log, Seg and Def; "" when
// not set), one per GridMode.
class LandingFields {
 public:
  // The landing field of `mode`'s grid ("" when not set).
  const std::string& Of(GridMode mode) const { return fields_[static_cast<size_t>(mode)]; }
  // Sets the landing field of `mode`'s grid.
  void Set(GridMode mode, std::string field) {
    fields_[static_cast<size_t>(mode)] = std::move(field);
  }
  // The three fields as the open file stores them.
  static LandingFields FromFile(const OpenFileState& file) {
    LandingFields fields;
    fields.fields_ = {file.defFieldLog, file.defFieldSeg, file.defFieldDef};
    return fields;
  }

 private:
  std::array<std::string, 3> fields_;
};

class Application {
 public:
  // All references are borrowed and must outlive the Application.
  // `folders` says where the program's, the office's and the user's files
  // are. `storeFs` (may be null: the real file system) is the file system
  // the open file's TableStore works through (tests pass one that fails
  // chosen writes).
  Application(platform::Ui& ui, platform::FileSystem& fs, const platform::Clock& clock,
              platform::Folders folders, mk::FileSystem* storeFs = nullptr)
      : ui(ui),
        fs(fs),
        clock(clock),
        folders(folders),
        programFolder(folders.program),
        files(ui, fs, clock, folders, storeFs) {}
  // Everything in `programFolder` (ends in "/"): Folders::AllIn.
  Application(platform::Ui& ui, platform::FileSystem& fs, const platform::Clock& clock,
              std::string programFolder, mk::FileSystem* storeFs = nullptr)
      : Application(ui, fs, clock, platform::Folders::AllIn(programFolder), storeFs) {}
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // ---- Services --------------------------------------------------------------
  platform::Ui& ui;
  platform::FileSystem& fs;
  const platform::Clock& clock;
  const platform::Folders folders;
  const std::string programFolder;  // folders.program

  // The open file (store, slots, the state read when it was opened).
  ScaleFiles files;
  // The open file's store, or null when no file is open.
  tablestore::TableStore* store() { return files.store(); }
  // The slots of the open file's tables (all -1 when none is open).
  const TableSlots& slots() const { return files.state().slots; }

  // ---- Shared screen state ------------------------------------------------------
  // The open file's type as the main screen's list shows it (production
  // while no file is open).
  FileType fileType() const { return fileType_; }
  // True only for a "check scale" file.
  bool IsCheckScale() const { return fileType_ == FileType::kCheckScale; }
  // Takes `type` as the open file's type (the main screen's list).
  void SetFileType(FileType type) { fileType_ = type; }

  // The grid the data entry screen shows.
  GridMode screenMode = GridMode::kLog;

  // True once a supervisor signed in from the setup screen in this run: the
  // main screen's access flag.
  bool supervisorAccess() const { return supervisorAccess_; }
  // True while the supervisor lets the load information screen and the
  // design dialog edit protected fields.
  bool loadInfoEditable() const { return loadInfoEditable_; }
  // A supervisor signed in (the access flag stays on for the run).
  void SignInSupervisor() { supervisorAccess_ = true; }
  // The supervisor opens the protected fields to editing.
  void AllowLoadInfoEditing() { loadInfoEditable_ = true; }
  // The protected fields close again: the load information screen wrote its
  // rows back, or a sign-in was cancelled.
  void EndLoadInfoEditing() { loadInfoEditable_ = false; }

  // The Log table had rows when the file was opened, or logs were entered.
  bool hasLogs() const { return hasLogs_; }
  // Logs were entered on the data entry screen.
  void NoteLogsEntered() { hasLogs_ = true; }

  // The landing fields as kept for the open file; the setup screen changes
  // them.
  const LandingFields& landingFields() const { return landingFields_; }
  // Keeps `field` as the landing field of `mode`'s grid.
  void SetLandingField(GridMode mode, std::string field) {
    landingFields_.Set(mode, std::move(field));
  }

  // A file was opened or created: takes its has-logs flag and landing fields
  // as read from it.
  void TakeOpenedFile(const OpenFileState& file) {
    hasLogs_ = file.hasLogs;
    landingFields_ = LandingFields::FromFile(file);
  }
  // No file is open any more: the file's state goes back to its start.
  void ForgetFile() {
    fileType_ = FileType::kProduction;
    hasLogs_ = false;
    landingFields_ = LandingFields();
  }

  // The supervisor's growing sign-in wait, kept for the whole run, and the
  // cost of the password hashes written.
  PasswordPolicy passwords;
  // The files the last report run of this session wrote, and the open file's
  // audit report once it exists (the Reports dialog's "Print..." prints the
  // printed reports among them).
  std::vector<std::string> lastReports;
  // The Reports dialog's ticks as last chosen in this session; the PDF tick
  // also gives the audit report its PDF copy when a load is finalized.
  ReportChoice reportChoice;

  // The landing field of the log, segment or defect grid: the one kept
  // above, or, when none is kept (no main screen read it), the open file's
  // DefField setting as it was read when the file was opened.
  const std::string& LandingField(GridMode mode) const {
    const std::string& kept = landingFields_.Of(mode);
    if (!kept.empty()) return kept;
    const OpenFileState& file = files.state();
    switch (mode) {
      case GridMode::kSegment:
        return file.defFieldSeg;
      case GridMode::kDefect:
        return file.defFieldDef;
      case GridMode::kLog:
        break;
    }
    return file.defFieldLog;
  }

 private:
  FileType fileType_ = FileType::kProduction;
  bool supervisorAccess_ = false;
  bool loadInfoEditable_ = false;
  bool hasLogs_ = false;
  LandingFields landingFields_;
};

}  // namespace app
