// ScriptedUi: a Ui for tests that answers from a queue and records everything.
//
// A test queues the answers it expects the program to ask for, in order, runs
// the code under test, and then asserts on what was shown:
//
//   platform::ScriptedUi ui([](const std::string& f) { ADD_FAILURE() << f; });
//   ui.QueueAnswer(platform::Answer::kCancel);   // for "Delete this log?"
//   screen.OnDelete();
//   ASSERT_EQ(ui.messages().size(), 1u);
//   EXPECT_EQ(ui.messages()[0].caption, "Confirm");
//
// Rules:
// - A message box with the OK button alone asks nothing: it is recorded and
//   answers kOk without taking a queued answer.
// - Every other call that asks something (a message box with two buttons, a
//   file dialog, a text prompt) takes the front of the queue. When the queue is
//   empty, or its front is for another kind of call, or the queued answer is not
//   one of the box's buttons, the call is a failure: it is reported, recorded in
//   failures(), and answered as if the user cancelled (kCancel, kNo or nullopt),
//   so the code under test goes on along its safest path.
// - Answers still queued when the object is destroyed are reported as failures
//   too: the program did not ask something the test expected it to ask.
//
// Failures are reported through the callback given at construction (tests pass
// one that calls gtest's ADD_FAILURE, so a test fails with a clear text); the
// core code under test never sees an exception.
//
// Thread safety: none; one test thread.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui.h"

namespace platform {

class ScriptedUi : public Ui {
 public:
  // Receives the text of each failure as it happens. May be empty: the failure
  // is then only recorded in failures().
  using FailureReporter = std::function<void(const std::string& failure)>;

  // A file dialog as shown, with which kind it was.
  struct ShownFileDialog {
    bool save = false;  // false: open dialog
    FileDialog dialog;
  };

  // A read-only text window as shown.
  struct ShownText {
    std::string caption;
    std::string text;
  };

  explicit ScriptedUi(FailureReporter report = {});
  // Reports every answer still queued as a failure.
  ~ScriptedUi() override;

  ScriptedUi(const ScriptedUi&) = delete;
  ScriptedUi& operator=(const ScriptedUi&) = delete;

  // Queues the answer to the next message box that has two buttons.
  void QueueAnswer(Answer answer);
  // Queues the result of the next open-file dialog (nullopt: Cancel).
  void QueueOpenFile(std::optional<std::string> path);
  // Queues the result of the next save-file dialog (nullopt: Cancel).
  void QueueSaveFile(std::optional<std::string> path);
  // Queues the result of the next text prompt (nullopt: Cancel).
  void QueuePrompt(std::optional<std::string> text);

  // Ui.
  Answer ShowMessage(const Message& message) override;
  std::optional<std::string> OpenFile(const FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const FileDialog& dialog) override;
  std::optional<std::string> PromptText(const TextPrompt& prompt) override;
  void ShowText(const std::string& caption, const std::string& text) override;
  void Beep(BeepKind kind) override;
  void SetWaitCursor(bool on) override;

  // What was shown, each in the order of the calls. The references stay valid
  // until the next call on this object.
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<ShownFileDialog>& file_dialogs() const { return file_dialogs_; }
  const std::vector<TextPrompt>& prompts() const { return prompts_; }
  const std::vector<ShownText>& texts() const { return texts_; }
  const std::vector<BeepKind>& beeps() const { return beeps_; }
  // Whether the wait cursor is shown now, and how often it was turned on.
  bool wait_cursor() const { return wait_cursor_; }
  int wait_cursor_count() const { return wait_cursor_count_; }

  // Every failure so far, in order, as reported.
  const std::vector<std::string>& failures() const { return failures_; }
  // Number of answers still queued.
  size_t pending() const { return queue_.size(); }

 private:
  struct FileAnswer {
    bool save = false;
    std::optional<std::string> path;
  };
  struct PromptAnswer {
    std::optional<std::string> text;
  };
  using Entry = std::variant<Answer, FileAnswer, PromptAnswer>;

  std::optional<std::string> TakeFileAnswer(bool save, const FileDialog& dialog);
  void Fail(std::string failure);

  FailureReporter report_;
  std::deque<Entry> queue_;
  std::vector<Message> messages_;
  std::vector<ShownFileDialog> file_dialogs_;
  std::vector<TextPrompt> prompts_;
  std::vector<ShownText> texts_;
  std::vector<BeepKind> beeps_;
  bool wait_cursor_ = false;
  int wait_cursor_count_ = 0;
  std::vector<std::string> failures_;
};

// Readable names for failure texts and test output: "Stop", "OkCancel", "Yes".
const char* ToString(Icon icon);
const char* ToString(Buttons buttons);
const char* ToString(Answer answer);

}  // namespace platform
