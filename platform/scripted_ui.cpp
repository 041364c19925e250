#include "platform/scripted_ui.h"

#include <utility>

namespace platform {
namespace {

bool IsButtonOf(Answer answer, Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return answer == Answer::kOk;
    case Buttons::kOkCancel:
      return answer == Answer::kOk || answer == Answer::kCancel;
    case Buttons::kYesNo:
      return answer == Answer::kYes || answer == Answer::kNo;
  }
  return false;
}

// What a user who backs out of the box would have pressed.
Answer RefusingAnswer(Buttons buttons) {
  return buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
}

std::string Describe(const Message& m) {
  return std::string("message box (caption \"") + m.caption + "\", text \"" + m.text + "\", icon " +
         ToString(m.icon) + ", buttons " + ToString(m.buttons) + ")";
}

std::string Describe(bool save, const FileDialog& d) {
  return std::string(save ? "save" : "open") + " file dialog (title \"" + d.title + "\")";
}

std::string Describe(const TextPrompt& p) {
  return "text prompt (caption \"" + p.caption + "\", text \"" + p.text + "\")";
}

}  // namespace

ScriptedUi::ScriptedUi(FailureReporter report) : report_(std::move(report)) {}

ScriptedUi::~ScriptedUi() {
  for (const Entry& entry : queue_) {
    std::string what;
    if (const auto* answer = std::get_if<Answer>(&entry)) {
      what = std::string("answer ") + ToString(*answer) + " for a message box";
    } else if (const auto* file = std::get_if<FileAnswer>(&entry)) {
      what = std::string("result for a ") + (file->save ? "save" : "open") + " file dialog";
    } else {
      what = "result for a text prompt";
    }
    Fail("scripted " + what + " was never asked for");
  }
}

void ScriptedUi::QueueAnswer(Answer answer) { queue_.emplace_back(answer); }

void ScriptedUi::QueueOpenFile(std::optional<std::string> path) {
  queue_.emplace_back(FileAnswer{false, std::move(path)});
}

void ScriptedUi::QueueSaveFile(std::optional<std::string> path) {
  queue_.emplace_back(FileAnswer{true, std::move(path)});
}

void ScriptedUi::QueuePrompt(std::optional<std::string> text) {
  queue_.emplace_back(PromptAnswer{std::move(text)});
}

Answer ScriptedUi::ShowMessage(const Message& message) {
  messages_.push_back(message);
  if (message.buttons == Buttons::kOk) return Answer::kOk;
  const Answer* answer = queue_.empty() ? nullptr : std::get_if<Answer>(&queue_.front());
  if (answer == nullptr) {
    Fail("unexpected " + Describe(message));
    return RefusingAnswer(message.buttons);
  }
  const Answer given = *answer;
  queue_.pop_front();
  if (!IsButtonOf(given, message.buttons)) {
    Fail(std::string("scripted answer ") + ToString(given) + " is not a button of " +
         Describe(message));
    return RefusingAnswer(message.buttons);
  }
  return given;
}

std::optional<std::string> ScriptedUi::TakeFileAnswer(bool save, const FileDialog& dialog) {
  file_dialogs_.push_back({save, dialog});
  const FileAnswer* file = queue_.empty() ? nullptr : std::get_if<FileAnswer>(&queue_.front());
  if (file == nullptr || file->save != save) {
    Fail("unexpected " + Describe(save, dialog));
    return std::nullopt;
  }
  std::optional<std::string> path = file->path;
  queue_.pop_front();
  return path;
}

std::optional<std::string> ScriptedUi::OpenFile(const FileDialog& dialog) {
  return TakeFileAnswer(false, dialog);
}

std::optional<std::string> ScriptedUi::SaveFile(const FileDialog& dialog) {
  return TakeFileAnswer(true, dialog);
}

std::optional<std::string> ScriptedUi::PromptText(const TextPrompt& prompt) {
  prompts_.push_back(prompt);
  const PromptAnswer* reply = queue_.empty() ? nullptr : std::get_if<PromptAnswer>(&queue_.front());
  if (reply == nullptr) {
    Fail("unexpected " + Describe(prompt));
    return std::nullopt;
  }
  std::optional<std::string> text = reply->text;
  queue_.pop_front();
  return text;
}

void ScriptedUi::ShowText(const std::string& caption, const std::string& text) {
  texts_.push_back({caption, text});
}

void ScriptedUi::Beep(BeepKind kind) { beeps_.push_back(kind); }

void ScriptedUi::SetWaitCursor(bool on) {
  if (on) ++wait_cursor_count_;
  wait_cursor_ = on;
}

void ScriptedUi::Fail(std::string failure) {
  failures_.push_back(std::move(failure));
  if (report_) report_(failures_.back());
}

const char* ToString(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return "None";
    case Icon::kStop:
      return "Stop";
    case Icon::kExclamation:
      return "Exclamation";
    case Icon::kQuestion:
      return "Question";
    case Icon::kInformation:
      return "Information";
  }
  return "?";
}

const char* ToString(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return "Ok";
    case Buttons::kOkCancel:
      return "OkCancel";
    case Buttons::kYesNo:
      return "YesNo";
  }
  return "?";
}

const char* ToString(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return "Ok";
    case Answer::kCancel:
      return "Cancel";
    case Answer::kYes:
      return "Yes";
    case Answer::kNo:
      return "No";
  }
  return "?";
}

}  // namespace platform
