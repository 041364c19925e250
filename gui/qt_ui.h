// QtUi: the program's platform::Ui on Qt Widgets.
//
// Message boxes show the caption, icon, buttons and default button asked for;
// a self-closing box is closed by a timer that answers Cancel. File dialogs
// are Qt's own (never the desktop's native ones, so that tests and keyboard
// drivers see the same widgets everywhere), built from the handheld's filter
// text; the default extension is appended to a typed name without one. Text
// windows use the system's fixed-pitch font.
//
// Every window is modal and parented to the active window (none when there is
// none), so it opens above the screen that asked.
//
// Thread safety: the Qt GUI thread only. REQUIRES: a QApplication exists for
// as long as the object is used.
#pragma once

#include <QString>
#include <QStringList>

#include "platform/ui.h"

class QMessageBox;

namespace gui {

// The Qt name filters for a handheld filter text (platform::ParseFileFilter):
// each entry's description followed by its patterns in parentheses, the ";"
// between patterns turned into blanks. The dialogs hide the parenthesised
// part, so the user sees the description as written.
QStringList QtNameFilters(const std::string& filter);

class QtUi : public platform::Ui {
 public:
  QtUi() = default;

  platform::Answer ShowMessage(const platform::Message& message) override;
  std::optional<std::string> OpenFile(const platform::FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const platform::FileDialog& dialog) override;
  std::optional<std::string> PromptText(const platform::TextPrompt& prompt) override;
  void ShowText(const std::string& caption, const std::string& text) override;
  void Beep(platform::BeepKind kind) override;
  // Shows Qt's wait cursor over every window (an application override
  // cursor) or restores the normal one.
  void SetWaitCursor(bool on) override;

 private:
  std::optional<std::string> RunFileDialog(const platform::FileDialog& dialog, bool save);

  bool waitCursor_ = false;
};

}  // namespace gui
