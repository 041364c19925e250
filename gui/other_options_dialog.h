// OtherOptionsDialog: the window "Other Options" over a setup::OtherOptionsScreen:
// the three yes/no boxes, the close-hit box with its list of seconds, the
// "&Tapers for Butt Logs" button (which opens the TapersDialog), OK and
// Cancel. Every change goes to the options object and the controls are
// redrawn from it; OK closes only when the values were written.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/other_options_screen.h"

class QCheckBox;
class QComboBox;

namespace app {
class Application;
}

namespace gui {

class OtherOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` (with a file open) is borrowed and must outlive the dialog.
  explicit OtherOptionsDialog(app::Application& app, QWidget* parent = nullptr);

  // Opens the window modally; nothing is shown when the options cannot be
  // read (a message has said why).
  static void Run(app::Application& app, QWidget* parent);

  setup::OtherOptionsScreen& options() { return options_; }
  QCheckBox* box(setup::YesNoOption option) const { return boxes_[static_cast<int>(option)]; }
  QCheckBox* closeHitBox() const { return closeHit_; }
  QComboBox* closeHitList() const { return seconds_; }

  // OK: closes only when the options were written.
  void accept() override;

 private:
  void BuildLayout(QWidget* tapers, QWidget* closing);
  void Refresh();

  app::Application& app_;
  setup::OtherOptionsScreen options_;
  bool open_ = false;
  QCheckBox* boxes_[3];
  QCheckBox* closeHit_;
  QComboBox* seconds_;
};

}  // namespace gui
