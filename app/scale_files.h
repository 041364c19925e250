// ScaleFiles: choosing, creating, opening and closing the scale file (".scl")
// or setup file (".SetupScl") that the main screen works on.
//
// A new scale file is a byte copy of a setup file, emptied of logs. Opening a
// file runs one sequence (OpenSequence) that opens its TableStore, brings its
// structure up to date, records the program version, reads its settings and
// opens every domain table, and leaves the state the main screen shows in
// state(). ScaleFiles owns the one TableStore of the open file; the main
// screen hands store() and the slots to the screens it opens, which must not
// keep them past CloseScaleFile or the next open or create.
//
// One program at a time works on a file. OpenSequence, the only way any
// screen or varnolde-cli opens a scale or setup file for work, opens its
// TableStore, and that open holds the file (mk::Storage, an exclusive lock
// taken before the first byte is read and kept until the store is destroyed,
// across whole-file commits). Every other program's open, and every other
// open in this one, is refused with "File Already Open" meanwhile; the check
// and the hold are one step, so two programs can never both pass the check
// and both write. Reading tools that never write (the JSON dump) do not
// hold the file and are not refused.
//
// Files that would be overwritten are first moved to a backup name
// (file_names.h); copies never overwrite. Every file operation goes through
// the platform FileSystem, and the user is spoken to only through the Ui.
// The journal entries "File opened", "File closed" and "Created from ..." go
// to the open file.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/folders.h"

namespace mk {
class FileSystem;
}
namespace platform {
class Clock;
class FileSystem;
class Ui;
}  // namespace platform
namespace tablestore {
class TableStore;
}

namespace app {

// The program version written into every file opened.
inline constexpr const char* kProgramVersion = "2010.11.05";

// The setup file installed beside the program.
inline constexpr const char* kDefaultSetupFileName = "DefaultScaler.SetupScl";

// Slots of the open file's tables in its TableStore; -1 when not open.
struct TableSlots {
  int dataDictionary = -1;
  int globals = -1;
  int load = -1;
  int log = -1;
  int seg = -1;
  int defC = -1;
  int defB = -1;
  int kz = -1;
  int defect = -1;  // defC when the scale units are "Cubic", else defB
};

// What the main screen needs of the open file (all texts UTF-8).
struct OpenFileState {
  std::string path;          // the full path of the open file
  std::string fileName;      // the name later screens show
  bool isSetupFile = false;  // the path contains ".SetupScl"
  std::string fileType;      // stored System/FileType; "" when there is none
  std::string finalized;     // System/Finalized: "YES" or "NO"
  std::string scaleUnits;    // SCALESYS of row 0 of Load
  std::string scaleSample;   // ST of row 0 of Load
  std::string defFieldLog;   // DefField/Log; "" when missing
  std::string defFieldSeg;   // DefField/Seg
  std::string defFieldDef;   // DefField/Def
  bool hasLogs = false;      // Log had more than one row when opened (never
                             // for a file just created: it was emptied)
  TableSlots slots;

  // Data Entry and Finalize load are enabled exactly when the load is not
  // finalized; a setup file never enables Data Entry.
  bool DataEntryEnabled() const { return finalized != "YES" && !isSetupFile; }
  bool FinalizeEnabled() const { return finalized != "YES"; }
};

// The outcome of opening or creating a file.
enum class FileOutcome {
  kOpened,     // a file was opened; state() describes it
  kCreated,    // a new scale file was created and opened; the main screen
               // now runs its Load Info step (and the design dialog for a
               // "production" file)
  kCancelled,  // the user cancelled a dialog
  kInUse,      // the file is in use: the in-use check failed or another
               // program holds it ("File Already Open" shown)
  kTooOld,     // the structure version is too old (message shown); no file
               // is open
  kFailed,     // a file could not be opened, moved or copied (message shown)
};

class ScaleFiles {
 public:
  // The default setup file is proposed from `folders.program`; "mrp" is kept
  // in `folders.userState`, and the file dialogs start in `folders.documents`
  // while no folder is remembered. `storeFs` (may be null for the real file
  // system) is handed to every TableStore. All references are borrowed and
  // must outlive this object.
  ScaleFiles(platform::Ui& ui, platform::FileSystem& fs, const platform::Clock& clock,
             platform::Folders folders, mk::FileSystem* storeFs = nullptr);
  // Everything in `programFolder` (ends in "/"): platform::Folders::AllIn.
  ScaleFiles(platform::Ui& ui, platform::FileSystem& fs, const platform::Clock& clock,
             const std::string& programFolder, mk::FileSystem* storeFs = nullptr)
      : ScaleFiles(ui, fs, clock, platform::Folders::AllIn(programFolder), storeFs) {}
  // Closes the open file (committing it). Does not write "mrp": the main
  // screen calls SaveRememberedFolder on exit.
  ~ScaleFiles();
  ScaleFiles(const ScaleFiles&) = delete;
  ScaleFiles& operator=(const ScaleFiles&) = delete;

  // "&Edit existing file". With `startupPath` (the command line's ".scl"
  // path, used once) no dialog is shown; otherwise "File closed" is journaled
  // when a file is open and the open dialog "Select file:" asks. Cancel
  // closes the open file and gives kCancelled. Then the in-use check
  // (CheckNotInUse: a missing file, a folder, or a file locked by any
  // program), OpenSequence (which refuses a file another program holds) and
  // "File opened". kInUse, and kFailed for a missing file, leave the previous
  // file open.
  [[nodiscard]] FileOutcome OpenScaleFile(const std::optional<std::string>& startupPath);

  // The open of a command-line tool's command on `path`: the in-use check
  // (CheckNotInUse) and OpenSequence, as OpenScaleFile with a start-up path,
  // but "File opened" is only appended to the journal, not committed: it
  // reaches the file with the command's first commit. A command that is
  // refused closes the file with DropChanges and so leaves it byte for byte
  // as it was (unless its structure had to be brought up to date, which
  // commits). kOpened, or the failures of OpenScaleFile (shown).
  [[nodiscard]] FileOutcome OpenForCommand(const std::string& path);

  // Closes the open file without committing anything not yet committed
  // (the journal entries appended and not committed included). Journals
  // nothing.
  void DropChanges();

  // "&Create new file". Closes the open file ("File closed"), takes the setup
  // file (`startupSetupPath`, used once, after the in-use check; or the open
  // dialog "Select Setup file", which proposes the default setup file beside
  // the program) and the new file's path (save dialog "Type file name"), then
  // runs CreateFromSetup. Any stop leaves no file open.
  [[nodiscard]] FileOutcome CreateScaleFile(const std::optional<std::string>& startupSetupPath);

  // The dialog-free core of a create, for callers that know both paths (the
  // command-line tool): moves an existing `scalePath` to its backup name,
  // copies the setup file there (never overwriting), runs OpenSequence, puts
  // the date in front of the name when the file's AppendDateToFileName option
  // is "YES" (backing up a dated file of that name, and keeping any backup of
  // the undated name), journals "Created from " + setupPath and "File
  // opened", and empties Log, Seg and the defect table in use. The file name
  // in state() is that of `scalePath` even when the date was put in front.
  // kCreated, or kFailed / kTooOld / kInUse (another program took the new
  // file first) with a message shown and no file open. After kFailed nothing
  // half made stays under the new name: a copy that could not be opened, or
  // whose journal entries or emptied tables could not be committed (the
  // message gives the engine's reason), is deleted.
  // The setup file itself is never moved: a `scalePath` equal to it fails.
  // The in-use check is the caller's (CheckNotInUse on the setup file).
  [[nodiscard]] FileOutcome CreateFromSetup(const std::string& setupPath,
                                            const std::string& scalePath);

  // The one function that opens a scale or setup file for work; every
  // screen and varnolde-cli comes through here (directly, or through
  // OpenScaleFile and CreateFromSetup). It opens a new TableStore on `path`,
  // which holds the file from its first byte read until CloseScaleFile or
  // the next open (see the top of this file). When another store, of this
  // program or another, holds the file: "File Already Open" is shown and
  // kInUse returned, and the file open until now stays open. Otherwise the
  // file is prepared for work: releases the previous store, upgrades the
  // structure, writes the program version, reads DefField and Finalized
  // (adding System/Finalized "NO" when missing), opens Load, Log, Seg, DefC,
  // DefB and KZ (rebuilding missing ones from DataDictionary, adding a first
  // row to an empty Load and KZ), loads their column information and reads
  // SCALESYS and ST. Shows the wait cursor meanwhile. kOpened; kTooOld
  // ("Cannot open file" shown, store closed); kFailed (a missing or damaged
  // file: path + " could not be opened." and the engine's reason titled
  // "Cannot open file" shown, nothing created; or an upgrade step or a
  // rebuilt table that could not be written, with the engine's reason shown:
  // the store is closed without committing, so the file keeps its last
  // committed state).
  [[nodiscard]] FileOutcome OpenSequence(const std::string& path);

  // Destroys the store (committing and closing the file); every slot becomes
  // -1 and state() is reset. Journals nothing. Nothing happens when no file
  // is open.
  void CloseScaleFile();

  // The in-use check of a file about to be copied from or moved: true when
  // `path` can be opened exclusively at this moment; otherwise shows path +
  // " is in use by another application!\nClose it and try again." titled
  // "File Already Open" and returns false. A file that does not exist fails
  // the check with path + " could not be opened: no such file." titled
  // "Cannot open file" instead. A probe only: to work on a file, open it with
  // OpenSequence, whose hold leaves no moment between check and open.
  [[nodiscard]] bool CheckNotInUse(const std::string& path);

  // The design dialog's OK: writes `scaleUnits` into SCALESYS and
  // `scaleSample` into ST of row 0 of Load (SetText) and takes them as the
  // open file's design in state(); the defect slot follows the units (DefC
  // for "Cubic", letter case ignored, else DefB). False, with nothing taken,
  // when no file is open or the Load table has no row or lacks a column.
  [[nodiscard]] bool SetLoadDesign(const std::string& scaleSample, const std::string& scaleUnits);

  // Reads SCALESYS and ST of row 0 of Load again into state() (after a
  // screen changed the header, e.g. a sale picked from the sale list) and
  // makes the defect slot follow the units. Nothing happens when no file is
  // open; a missing Load row or column reads as "".
  void ReadLoadDesign();

  // True while a file is open.
  bool IsOpen() const { return store_ != nullptr; }
  // The open file's store, or null. Owned by this object.
  tablestore::TableStore* store() { return store_.get(); }
  // The state of the open file (default values when none is open).
  const OpenFileState& state() const { return state_; }

  // The folder of the last file chosen (ending in "/"), as kept in memory.
  const std::string& RememberedFolder() const { return rememberedFolder_; }
  // Remembers the folder of `path` (the text up to its last "/"), unless it
  // is the program's folder, which is no place for the user's files.
  void RememberFolderOf(const std::string& path);
  // The initial folder of the file dialogs: the remembered folder, read from
  // "mrp" in the user's state folder first when it is empty; the documents
  // folder when nothing is remembered.
  std::string InitialFolder();
  // Writes the remembered folder into "mrp" ("%s") in the user's state
  // folder, making that folder when it is missing. Returns whether it was
  // written.
  [[nodiscard]] bool SaveRememberedFolder();

 private:
  // The steps of OpenSequence. OpenStore gives kOpened (*result set),
  // kInUse or kFailed, with the message shown.
  [[nodiscard]] FileOutcome OpenStore(const std::string& path,
                                      std::unique_ptr<tablestore::TableStore>* result);
  void ReadSettings();
  void OpenTables();
  [[nodiscard]] int OpenTable(const std::string& table, bool rebuildWithoutCfsawcu);
  // The steps of CreateFromSetup.
  [[nodiscard]] bool MoveToBackup(const std::string& path);
  [[nodiscard]] bool CopyFile(const std::string& from, const std::string& to);
  [[nodiscard]] FileOutcome ApplyDatePrefix(std::string& scalePath);
  [[nodiscard]] bool EmptyNewFile();
  [[nodiscard]] FileOutcome DiscardNewFile(const std::string& path);
  // Closes the store without committing what was not committed.
  void DropStore();
  void ShowInUse(const std::string& path);
  void ShowError(const std::string& text);
  // app::Journal on the open file (true when no file is open).
  [[nodiscard]] bool Journal(const std::string& msg);

  platform::Ui& ui_;
  platform::FileSystem& fs_;
  const platform::Clock& clock_;
  platform::Folders folders_;
  mk::FileSystem* storeFs_;
  std::unique_ptr<tablestore::TableStore> store_;
  OpenFileState state_;
  bool writeFailed_ = false;  // OpenTables could not write a rebuilt table
  std::string rememberedFolder_;
};

}  // namespace app
