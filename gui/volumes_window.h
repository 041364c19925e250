// VolumesWindow: the read-only "Volumes" text window of the data entry screen
// (the log volume listing and the load totals). The text is shown in a
// fixed-pitch face so that the columns of the volume tables line up; the
// caption is the caller's ("Log Volume", "3P Load Information", ...).
//
// Thread safety: GUI thread only.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace gui {

class VolumesWindow : public QDialog {
  Q_OBJECT

 public:
  // `text` is UTF-8 with "\r\n" line ends (shown as line breaks).
  VolumesWindow(const std::string& caption, const std::string& text, QWidget* parent = nullptr);

  // Shows the window modally; returns when the user closes it.
  static void Show(const std::string& caption, const std::string& text, QWidget* parent);

  // The text as shown (for tests).
  QString shownText() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace gui
