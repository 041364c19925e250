#include "reports/report_file.h"

#include <utility>

#include "platform/text.h"

namespace reports {

std::string ErrorCreatingFileText(std::string_view path, std::string_view reason) {
  std::string text(path);
  if (reason.empty()) return text + " is already open by another application.\nClose it and try again.";
  text += " could not be written: ";
  text += reason;
  return text + ".";
}

bool WriteReportFile(platform::FileSystem& files, const std::string& path, std::string_view text,
                     platform::Ui* ui) {
  if (files.WriteFile(path, platform::Utf8ToCp1252(text)) == platform::FileResult::kOk) {
    return true;
  }
  if (ui != nullptr) ShowErrorCreatingFile(*ui, ErrorCreatingFileText(path, files.LastErrorText()));
  return false;
}

void ShowErrorCreatingFile(platform::Ui& ui, std::string text) {
  platform::Message message;
  message.text = std::move(text);
  message.caption = std::string(kErrorCreatingFileCaption);
  message.icon = platform::Icon::kStop;
  message.buttons = platform::Buttons::kOk;
  ui.ShowMessage(message);
}

}  // namespace reports
