#include "cli/stderr_ui.h"

namespace cli {

using platform::Answer;
using platform::Buttons;

StderrUi::StderrUi(std::ostream& out, std::ostream& err, bool assumeYes)
    : out_(out), err_(err), assumeYes_(assumeYes) {}

void StderrUi::Accept(const std::string& caption) { accepted_.insert(caption); }

void StderrUi::WriteBox(const std::string& caption, const std::string& text) {
  // Dialog titles such as "Select file:" bring their own colon.
  err_ << (caption.empty() ? "Message" : caption) << (caption.ends_with(':') ? " " : ": ");
  for (char ch : text) {
    if (ch == '\n') {
      err_ << "\n  ";
    } else if (ch != '\r') {
      err_ << ch;
    }
  }
}

Answer StderrUi::ShowMessage(const platform::Message& message) {
  if (message.icon == platform::Icon::kStop) ++stopCount_;
  WriteBox(message.caption, message.text);
  if (message.buttons == Buttons::kOk) {
    err_ << '\n';
    // A self-closing box is sent Cancel when its time is up.
    return message.close_after_ms >= 0 ? Answer::kCancel : Answer::kOk;
  }
  const bool yes = assumeYes_ || accepted_.count(message.caption) > 0;
  const bool okCancel = message.buttons == Buttons::kOkCancel;
  if (yes) {
    err_ << (okCancel ? "\n  -> OK" : "\n  -> Yes") << '\n';
    return okCancel ? Answer::kOk : Answer::kYes;
  }
  err_ << (okCancel ? "\n  -> Cancel" : "\n  -> No") << " (pass --yes to accept)\n";
  return okCancel ? Answer::kCancel : Answer::kNo;
}

std::optional<std::string> StderrUi::OpenFile(const platform::FileDialog& dialog) {
  WriteBox(dialog.title, "no file can be chosen without a screen: cancelled\n");
  return std::nullopt;
}

std::optional<std::string> StderrUi::SaveFile(const platform::FileDialog& dialog) {
  return OpenFile(dialog);
}

std::optional<std::string> StderrUi::PromptText(const platform::TextPrompt& prompt) {
  WriteBox(prompt.caption,
           prompt.text + "\n-> cancelled (no text can be typed without a screen)\n");
  return std::nullopt;
}

void StderrUi::ShowText(const std::string& caption, const std::string& text) {
  out_ << caption << "\n" << text;
  if (!text.empty() && text.back() != '\n') out_ << '\n';
}

}  // namespace cli
