#include "app/main_screen.h"

#include <algorithm>

#include "app/check_compare.h"
#include "app/load_actions.h"
#include "app/session_reports.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "reports/report_run.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

// The program's version date, 2010.11.05, as year, month and day.
constexpr int kVersionYear = 2010;
constexpr int kVersionMonth = 11;
constexpr int kVersionDay = 5;

// The text after the last "." ("" without one).
std::string Extension(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

}  // namespace

MainScreen::MainScreen(Application& app, Screens& screens) : app_(app), screens_(screens) {}

MainScreen::~MainScreen() { OnDone(); }

void MainScreen::Start(std::optional<std::string> commandLinePath) {
  if (commandLinePath) {
    std::erase(*commandLinePath, '"');
  } else {
    screens_.ShowAbout();
  }
  CheckClock();
  if (commandLinePath) OpenCommandLinePath(std::move(*commandLinePath));
}

void MainScreen::OnFileHandedOver(std::string path) {
  std::erase(path, '"');
  if (app_.files.IsOpen()) {
    const std::string open = app_.files.state().path;
    if (open == path) return;
    platform::Message ask{"Close " + open + " and open " + path + "?", "Confirm",
                          platform::Icon::kQuestion};
    ask.buttons = platform::Buttons::kYesNo;
    if (app_.ui.ShowMessage(ask) != platform::Answer::kYes) return;
    // Closed as Done closes it (a failure is shown; the file is closed).
    static_cast<void>(CloseFile(app_.files, app_.ui));
    ShowNoFile();
  }
  OpenCommandLinePath(std::move(path));
}

void MainScreen::OpenCommandLinePath(std::string path) {
  const std::string extension = Extension(path);
  if (extension == "scl") {
    AfterFileOutcome(app_.files.OpenScaleFile(path));
  } else if (extension == "SetupScl") {
    AfterFileOutcome(app_.files.CreateScaleFile(path));
  }
}

bool MainScreen::CheckClock() {
  const platform::LocalDateTime now = app_.clock.Now();
  const int today = now.year * 10000 + now.month * 100 + now.day;
  if (today >= kVersionYear * 10000 + kVersionMonth * 100 + kVersionDay) return false;
  const std::string date =
      std::to_string(now.month) + "/" + std::to_string(now.day) + "/" + std::to_string(now.year);
  app_.ui.ShowMessage({"It appears your data recorder's date of " + date +
                           " is invalid.\nPlease reset it to the current date.",
                       "Bad Date", platform::Icon::kExclamation});
  return true;
}

void MainScreen::OnEditExistingFile() { AfterFileOutcome(app_.files.OpenScaleFile(std::nullopt)); }

void MainScreen::OnCreateNewFile() { AfterFileOutcome(app_.files.CreateScaleFile(std::nullopt)); }

void MainScreen::AfterFileOutcome(FileOutcome outcome) {
  if (!app_.files.IsOpen()) {
    ShowNoFile();
    return;
  }
  if (outcome != FileOutcome::kOpened && outcome != FileOutcome::kCreated) return;
  ShowOpenedFile();
  if (outcome != FileOutcome::kCreated) return;
  OnLoadInfo();
  if (app_.fileType() == FileType::kProduction) OnDesign();
}

void MainScreen::ShowOpenedFile() {
  const OpenFileState& state = app_.files.state();
  finalized_ = state.finalized;
  app_.TakeOpenedFile(state);
  view_.filePath = state.path;
  view_.scaleUnits = state.scaleUnits;
  view_.scaleSample = state.scaleSample;
  view_.dataEntry = state.DataEntryEnabled();
  view_.finalize = state.FinalizeEnabled();
  view_.setup = view_.loadInfo = view_.design = view_.reports = true;
  view_.fileType = FileTypeOfSetting(state.fileType);
  ApplyFileTypeRule();
  UpdateFileTypeList();
}

void MainScreen::ShowNoFile() {
  view_ = MainScreenView();
  finalized_.clear();
  app_.ForgetFile();
}

void MainScreen::OnFileTypeChanged(int index) {
  if (!app_.files.IsOpen() || index < 0 || index >= static_cast<int>(std::size(kFileTypeTexts))) {
    return;
  }
  view_.fileType = static_cast<FileType>(index);
  ApplyFileTypeRule();
}

void MainScreen::ApplyFileTypeRule() {
  app_.SetFileType(*view_.fileType);
  if (tablestore::StoreSetting(*app_.store(), tablestore::kBlockSystem, tablestore::kKeyFileType,
                               FileTypeText(app_.fileType())) != tablestore::kOk) {
    ShowError("The file type could not be stored in " + app_.files.state().path + ".");
  }
  view_.design = app_.fileType() == FileType::kProduction;
  view_.finalize = FinalizeAllowed();
  EnableEntryByFileType();
}

void MainScreen::EnableEntryByFileType() {
  // A finalized load and a setup file stay closed to data entry whatever
  // the file type says.
  view_.dataEntry = app_.fileType() != FileType::kNonScale && !Finalized() && !IsSetupFile();
}

void MainScreen::UpdateFileTypeList() {
  view_.fileTypeList = app_.files.IsOpen() && FileTypeChangeable(*app_.store());
}

void MainScreen::OnLoadInfo() {
  if (!app_.files.IsOpen()) return;
  screens_.ShowLoadInfo(app_);
  // The header may now name other units or another design (a sale picked
  // from the sale list, "100" forced on a check-scale file).
  app_.files.ReadLoadDesign();
  view_.scaleUnits = app_.files.state().scaleUnits;
  view_.scaleSample = app_.files.state().scaleSample;
  UpdateFileTypeList();
  // The audit's journal entry commits the header with it (a failure is
  // shown with the engine's reason).
  const HeaderAuditOutcome audit = RunHeaderAudit(*app_.store(), app_.clock, app_.ui);
  if (!audit.passed()) {
    ShowHeaderProblems(app_.ui, audit);
    view_.finalize = view_.dataEntry = view_.reports = false;
    return;
  }
  EnableEntryByFileType();
  view_.finalize = FinalizeAllowed();
  view_.reports = true;
}

void MainScreen::OnDataEntry() {
  if (!view_.dataEntry) return;
  screens_.ShowDataEntry(app_);
  UpdateFileTypeList();
  if (RowCount(app_.slots().log) > 1) app_.NoteLogsEntered();
}

void MainScreen::OnSetup() {
  if (!app_.files.IsOpen()) return;
  screens_.ShowSetup(app_);
  std::string finalized;
  if (tablestore::ReadSetting(*app_.store(), tablestore::kBlockSystem, tablestore::kKeyFinalized,
                              finalized) == tablestore::kOk) {
    finalized_ = finalized;
  }
  view_.finalize = FinalizeAllowed();
  EnableEntryByFileType();
}

void MainScreen::OnDesign() {
  if (!app_.files.IsOpen()) return;
  const OpenFileState& state = app_.files.state();
  const std::optional<DesignChoice> choice =
      screens_.ShowDesign(app_, {state.scaleSample, state.scaleUnits});
  if (!choice) return;
  if (!app_.files.SetLoadDesign(choice->scaleSample, choice->scaleUnits)) {
    ShowError("The scale design could not be written into the Load table of " + state.path + ".");
    return;
  }
  view_.scaleUnits = state.scaleUnits;
  view_.scaleSample = state.scaleSample;
}

void MainScreen::OnReports() {
  if (!view_.reports) return;
  screens_.ShowReports(app_, [this](const ReportChoice& choice) { RunReports(choice); });
}

void MainScreen::RunReports(const ReportChoice& choice) {
  app_.reportChoice = choice;
  // The run shows every outcome itself (audit errors, files it could not
  // create, "Reports Created for"); the screen keeps what it wrote for
  // printing.
  const reports::ReportContext context = ReportContext();
  app_.lastReports = reports::GenerateReports(
                         context, {choice.comprehensive, choice.logReport, choice.brevanta},
                         " " + app_.files.state().path)
                         .written;
  if (choice.checkCompare && app_.IsCheckScale()) {
    for (const std::string& path : WriteCheckComparison(context)) app_.lastReports.push_back(path);
  }
  static_cast<void>(AddAuditReport(context, &app_.lastReports));
}

void MainScreen::OnFinalize() {
  if (!view_.finalize) return;
  const FinalizeOutcome outcome = FinalizeLoads(ReportContext());
  if (outcome.status != FinalizeStatus::kFinalized &&
      outcome.status != FinalizeStatus::kAlreadyFinalized) {
    return;
  }
  // Printable from the Reports dialog from now on (its PDF copy, when
  // ticked, came with it).
  reports::ReportContext written = ReportContext();
  written.pdfCopies = false;
  static_cast<void>(AddAuditReport(written, &app_.lastReports));
  finalized_ = tablestore::kYes;
  view_.dataEntry = view_.finalize = false;
}

bool MainScreen::ConfirmEnd() {
  return app_.ui.ShowMessage({kEndQuestion, kEndCaption, platform::Icon::kQuestion,
                              platform::Buttons::kYesNo, platform::DefaultButton::kSecond}) ==
         platform::Answer::kYes;
}

void MainScreen::OnDone() {
  if (done_) return;
  done_ = true;
  // A journal entry or commit that fails is shown by CloseFile; the file is
  // closed either way, and the program goes on closing.
  if (app_.files.IsOpen()) static_cast<void>(CloseFile(app_.files, app_.ui));
  // The remembered folder only spares the user some clicks next time; a
  // program folder that cannot be written (an installation owned by another
  // user) must not stop the program from closing.
  static_cast<void>(app_.files.SaveRememberedFolder());
  ShowNoFile();
}

reports::ReportContext MainScreen::ReportContext() {
  reports::ReportContext context =
      MakeReportContext(*app_.store(), app_.files.state(), app_.ui, app_.fs, app_.clock);
  context.fileType =
      FileTypeText(app_.fileType());  // the list may have changed since the file was opened
  context.pdfCopies = app_.reportChoice.pdf;
  return context;
}

bool MainScreen::FinalizeAllowed() const {
  // Only production loads are finalized: the file type rule takes Finalize
  // away from the other types, and no later step gives it back.
  return app_.fileType() == FileType::kProduction && !Finalized();
}

bool MainScreen::Finalized() const { return finalized_ == tablestore::kYes; }

int MainScreen::RowCount(int slot) {
  tablestore::TableStore* store = app_.store();
  return store != nullptr && slot >= 0 ? store->RowCount(slot) : 0;
}

void MainScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

bool CheckSingleInstance(platform::InstanceLock::State lockState, const std::string& lockPath,
                         platform::Ui& ui) {
  switch (lockState) {
    case platform::InstanceLock::State::kHeld:
      return true;
    case platform::InstanceLock::State::kAlreadyRunning:
      ui.ShowMessage(
          {"A copy of Varnolde is already running!", "Varnolde", platform::Icon::kInformation});
      return false;
    case platform::InstanceLock::State::kError:
      break;
  }
  ui.ShowMessage({"Varnolde could not make sure that it is the only copy running: the lock file " +
                      lockPath + " could not be locked.",
                  "Varnolde", platform::Icon::kStop});
  return false;
}

}  // namespace app
