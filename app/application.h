// Application: what every screen shares about the running program and the
// open file. The main screen owns the one Application and hands it to every
// screen it opens; screens read and set these values here, never in globals.
//
// It holds the program's services (the Ui, the clock, the file system and the
// program folder, all borrowed) and the ScaleFiles that own the open file's
// TableStore and slots.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "app/grid_mode.h"
#include "app/password_policy.h"
#include "app/scale_files.h"
#include "platform/folders.h"
#include "app/screens.h"

namespace platform {
class Clock;
class FileSystem;
class Ui;
}  // namespace platform

namespace app {

// The three file types, in the order of the main screen's list.
inline constexpr const char* kFileTypeProduction = "production";
inline constexpr const char* kFileTypeCheckScale = "check scale";
inline constexpr const char* kFileTypeNonScale = "non-scale loads";

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
  // The file type text ("production", "check scale", "non-scale loads").
  std::string fileType = kFileTypeProduction;
  // True only for "check scale".
  bool checkScale = false;
  // The grid the data entry screen shows.
  GridMode screenMode = GridMode::kLog;
  // Set when a supervisor signed in from the setup screen; lets the load
  // information screen and the design dialog edit protected fields. Turned
  // off when the load information screen writes its rows back.
  bool loadInfoEditable = false;
  // The Log table had rows when the file was opened, or logs were entered.
  bool hasLogs = false;
  // The main screen's access flag, set by the setup screens after a
  // successful supervisor sign-in.
  bool supervisorAccess = false;
  // The landing fields: the column where the cursor lands on a new row of
  // the log, segment and defect grids (Globals DefField Log, Seg and Def; ""
  // when not set). The main screen reads them when a file is opened; the
  // setup screen changes them.
  std::string landingFieldLog;
  std::string landingFieldSeg;
  std::string landingFieldDef;
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
  const std::string& LandingField(GridMode grid) const {
    const OpenFileState& file = files.state();
    switch (grid) {
      case GridMode::kSegment:
        return landingFieldSeg.empty() ? file.defFieldSeg : landingFieldSeg;
      case GridMode::kDefect:
        return landingFieldDef.empty() ? file.defFieldDef : landingFieldDef;
      case GridMode::kLog:
        break;
    }
    return landingFieldLog.empty() ? file.defFieldLog : landingFieldLog;
  }
};

}  // namespace app
