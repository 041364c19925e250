// StderrUi: the Ui of the command-line tool, for runs without a screen.
//
// Every message box becomes lines on the error stream: "<caption>: <text>",
// each further line of the text indented by two blanks. A box that asks
// something (OK/Cancel, Yes/No) is answered without waiting for anyone:
// OK or Yes when the run was started with --yes (or when the command line
// itself already asked for that very step, see Accept), Cancel or No
// otherwise; the answer is written after the question. File dialogs and text
// prompts cannot be answered headless: they are written and cancelled. Text
// windows (ShowText) go to the output stream, beeps and the wait cursor
// nowhere.
//
// Thread safety: none; one thread, as every Ui.
#pragma once

#include <ostream>
#include <set>
#include <string>

#include "platform/ui.h"

namespace cli {

class StderrUi : public platform::Ui {
 public:
  // `out` receives text windows, `err` everything else; both are borrowed
  // and must outlive the object. `assumeYes`: answer every question with OK
  // or Yes.
  StderrUi(std::ostream& out, std::ostream& err, bool assumeYes);

  // Answers the question captioned `caption` with OK or Yes even without
  // --yes: the command the user typed is already that answer (the finalize
  // command answers "Confirm Finalize").
  void Accept(const std::string& caption);

  // Number of message boxes shown with the stop icon (errors) so far:
  // commands use it to tell a run that reported a failure only by a message
  // box (a report file that could not be created) from a clean one.
  int StopCount() const { return stopCount_; }

  // The error stream, for findings a command reports line by line rather
  // than in a message box (the checks of an import).
  std::ostream& err() { return err_; }

  platform::Answer ShowMessage(const platform::Message& message) override;
  std::optional<std::string> OpenFile(const platform::FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const platform::FileDialog& dialog) override;
  std::optional<std::string> PromptText(const platform::TextPrompt& prompt) override;
  void ShowText(const std::string& caption, const std::string& text) override;
  void Beep(platform::BeepKind kind) override {}
  void SetWaitCursor(bool on) override {}

 private:
  // Writes "<caption>: <text>" with continuation lines indented, no final
  // line break.
  void WriteBox(const std::string& caption, const std::string& text);

  std::ostream& out_;
  std::ostream& err_;
  bool assumeYes_;
  std::set<std::string> accepted_;
  int stopCount_ = 0;
};

}  // namespace cli
