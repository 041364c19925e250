// MainScreen: the main screen without a toolkit, and the start-up checks.
//
// The main screen shows which file is open, its file type and its scale
// design, and offers one button per task. MainScreen holds that state (what
// the view shows and which controls are enabled) and one method per button;
// the Qt dialog (gui/main_dialog.h) shows view() after every call. Files are
// opened and created through the Application's ScaleFiles, other screens are
// opened through Screens, the load actions (header audit, finalize, the
// report run, closing) are those of app/load_actions.h, and the user hears of
// everything through the Application's Ui.
//
// Rules for the controls, in short: with no file open only "Edit existing
// file", "Create new file" and "Done" act. After an open, Data Entry and
// Finalize follow the Finalized setting (a setup file never allows Data
// Entry), the file type list selects the stored file type and its rule is
// applied, and the list can be changed only while the file has no logs and at
// most one load.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <optional>
#include <string>

#include "app/application.h"
#include "app/screens.h"
#include "platform/instance_lock.h"
#include "reports/report_run.h"

namespace app {

// The main screen's title.
inline constexpr const char* kMainScreenTitle = "Varnolde 2010.11.05";
// The file field's text while no file is open.
inline constexpr const char* kNoFileOpen = "No File Open.";

// The buttons ("&" marks the underlined letter), labels and the About entry.
inline constexpr char kEditFileButton[] = "&Edit existing file";
inline constexpr char kCreateFileButton[] = "&Create new file";
inline constexpr char kLoadInfoButton[] = "&Load Info";
inline constexpr char kDataEntryButton[] = "&Data Entry";
inline constexpr char kSetupButton[] = "&Setup && Options";
inline constexpr char kReportsButton[] = "&Reports";
inline constexpr char kFinalizeButton[] = "&Finalize load";
inline constexpr char kDesignButton[] = " ... ";
inline constexpr char kDoneButton[] = "D&one";
inline constexpr char kDesignGroup[] = " Design ";
inline constexpr char kScaleUnitsLabel[] = "Scale Units: ";
inline constexpr char kScaleSampleLabel[] = "Scale Sample: ";
inline constexpr char kAboutEntry[] = "About Varnolde...";

// Escape on the main screen asks before the program ends.
inline constexpr const char* kEndQuestion = "End Varnolde?";
inline constexpr const char* kEndCaption = "Confirm";

// The About box.
inline constexpr const char* kAboutTitle = "About Varnolde";
inline constexpr const char* kAboutVersion = "Varnolde\r\nVersion 2010.11.05";
inline constexpr const char* kAboutLine = "Cubic scaling using 100% or 3P sampling.";

// What the main screen shows: texts and which controls act.
struct MainScreenView {
  std::string title = kMainScreenTitle;
  std::string filePath = kNoFileOpen;  // the open file's full path
  std::optional<FileType> fileType;    // the list's entry; none selected while no file is open
  std::string scaleUnits;              // SCALESYS of the load
  std::string scaleSample;             // ST of the load
  bool loadInfo = false;
  bool dataEntry = false;
  bool setup = false;
  bool reports = false;
  bool finalize = false;
  bool fileTypeList = false;
  bool design = false;  // the " ... " button of the " Design " group
};

class MainScreen {
 public:
  // `app` and `screens` are borrowed and must outlive the screen. Sets the
  // view of a screen with no file open.
  MainScreen(Application& app, Screens& screens);
  // Closes the screen as Done does when that has not happened yet.
  ~MainScreen();
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  // The start-up steps once the screen is up: the About box when there is no
  // `commandLinePath`, the clock check, then the command line's file: a path
  // ending in ".scl" is opened, one ending in ".SetupScl" is the setup file of
  // a new scale file (letter case exact; anything else is ignored). Double
  // quotes in the path are dropped.
  void Start(std::optional<std::string> commandLinePath);

  // A file handed over by a second start of the program (a double-click on a
  // scale or setup file while this copy runs). The file that is open now is
  // left only when the user agrees: "Close OPEN and open PATH?" (caption
  // "Confirm", question icon, Yes/No); Yes closes it as Done does ("File
  // closed"), No keeps everything as it was. The
  // open file itself handed over again changes nothing. Then the path is
  // taken as a command line's: ".scl" opened, ".SetupScl" the setup file of
  // a new scale file, anything else ignored.
  void OnFileHandedOver(std::string path);

  // The clock check: when today (the Application's clock) is before the
  // program's version date, 5 November 2010, shows "It appears your data
  // recorder's date of M/D/YYYY is invalid.\nPlease reset it to the current
  // date." titled "Bad Date" (exclamation icon). Returns whether it warned.
  bool CheckClock();

  // "&Edit existing file": ScaleFiles::OpenScaleFile with the open dialog.
  // An opened file is shown; when no file is left open (Cancel, a file that
  // could not be opened) the screen shows none; a file in use leaves the
  // previous one as it was.
  void OnEditExistingFile();
  // "&Create new file": ScaleFiles::CreateScaleFile with the dialogs, then
  // the Load Info step and, for a "production" file, the design dialog.
  void OnCreateNewFile();
  // "&Load Info": the load information screen, a commit, the file type list
  // rule, and the header audit: a failure is shown under "Missing/Incorrect
  // Load Information" and disables Finalize, Data Entry and Reports; a pass
  // enables them as the file type and Finalized allow.
  void OnLoadInfo();
  // "&Data Entry": the data entry screen; then the file type list rule and
  // the has-logs flag (Log has more than one row).
  void OnDataEntry();
  // "&Setup && Options": the setup screen. A supervisor may have finalized
  // state changed there, so the Finalized setting is read again and the
  // buttons follow it.
  void OnSetup();
  // " ... ": the design dialog with the current texts; OK writes them into
  // SCALESYS and ST of the first load and shows them.
  void OnDesign();
  // "&Reports": the Reports dialog; each "Generate &Reports" in it runs the
  // reports with its choices (nothing when nothing is chosen) and keeps what
  // was written, with the audit report when there is one (and its PDF copy
  // with the PDF tick), in the Application's lastReports for printing; on a
  // check scale file also the check scale comparison when chosen
  // (WriteCheckComparison).
  void OnReports();
  // "&Finalize load": the finalize command for the first load (audit,
  // confirmation, "YES", journal, audit report). Once finalized, Data Entry
  // and Finalize load are disabled.
  void OnFinalize();
  // A new selection in the file type list (index into kFileTypeTexts).
  void OnFileTypeChanged(int index);
  // Escape: asks kEndQuestion (caption kEndCaption, question icon, Yes/No
  // with No the default, so that one Escape too many does not end the
  // program). Returns true when the user answered Yes; the caller then ends
  // the screen as "D&one" does.
  [[nodiscard]] bool ConfirmEnd();
  // "D&one" (and closing the window): journals "File closed" and closes the
  // open file, and saves the remembered folder. Idempotent.
  void OnDone();

  // What the view shows now.
  const MainScreenView& view() const { return view_; }

 private:
  // Opens or creates from a command line's path, by its extension.
  void OpenCommandLinePath(std::string path);
  // The view after a file was opened or created, and the file type rule.
  void ShowOpenedFile();
  // The view with no file open.
  void ShowNoFile();
  // Applies the outcome of an open or create to the view.
  void AfterFileOutcome(FileOutcome outcome);
  // The file type rule for the selected entry: stores it and sets the
  // buttons that depend on it.
  void ApplyFileTypeRule();
  // Enables the file type list only while Log has no rows and Load at most
  // one.
  void UpdateFileTypeList();
  // Data Entry and Finalize load as the file type and Finalized allow.
  void EnableEntryByFileType();
  // What the reports need of the open file, with the file type as selected
  // and the session's PDF tick.
  reports::ReportContext ReportContext();
  // One "Generate &Reports" of the Reports dialog.
  void RunReports(const ReportChoice& choice);
  bool Finalized() const;
  bool FinalizeAllowed() const;
  bool IsSetupFile() const { return app_.files.state().isSetupFile; }
  int RowCount(int slot);
  void ShowError(const std::string& text);

  Application& app_;
  Screens& screens_;
  MainScreenView view_;
  std::string finalized_;  // the Finalized setting as last read or written
  bool done_ = false;
};

// The start-up lock check: true when this copy may run (kHeld). When another
// copy holds the lock, shows "A copy of Varnolde is already running!"
// (caption "Varnolde", information icon); when the lock could not be taken
// at all, shows why (`lockPath` could not be locked) instead of ending
// silently. Both end the program (false).
[[nodiscard]] bool CheckSingleInstance(platform::InstanceLock::State lockState,
                                       const std::string& lockPath, platform::Ui& ui);

}  // namespace app
