// SetupDialog: the window "Varnolde -- Setup and Options" over a
// setup::SetupScreen.
//
// It shows the screen's state (scale type and sample, the table chosen, the
// fields shown, the landing field list) and sends every control to the
// screen; after each call it redraws itself. It is also the screen's
// SetupWindows: the column selection, lengths and other options windows are
// opened here. "Change &Colors" exists but stays hidden and disabled. "Done"
// closes the window. No rule and no text of its own.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/setup_screen.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace app {
class Application;
class Screens;
}  // namespace app

namespace gui {

class SetupDialog : public QDialog, private setup::SetupWindows {
  Q_OBJECT

 public:
  // `app` (with a file open) and `screens` are borrowed and must outlive
  // the dialog.
  SetupDialog(app::Application& app, app::Screens& screens, QWidget* parent = nullptr);

  // Opens the window modally over `parent`; nothing is shown when the
  // screen cannot open (no file is open).
  static void Run(app::Application& app, app::Screens& screens, QWidget* parent);

  // False when the screen refused to open; the window must not be shown.
  bool opened() const { return opened_; }

  setup::SetupScreen& screen() { return screen_; }
  QComboBox* tableList() const { return table_; }
  QComboBox* landingList() const { return landing_; }
  QLineEdit* fieldsField() const { return fields_; }

 private:
  // setup::SetupWindows: the windows opened over this one.
  bool SelectColumns(setup::ColumnSelectionScreen& selection) override;
  void ChangeLengths(const std::string& table) override;
  void OtherOptions() override;

  void BuildLayout();
  void Refresh();

  app::Application& app_;
  setup::SetupScreen screen_;
  QLineEdit* scaleType_;
  QLineEdit* scaleSample_;
  QComboBox* table_;
  QLineEdit* fields_;
  QComboBox* landing_;
  QPushButton* changeFields_;
  QPushButton* changeLengths_;
  QPushButton* makeSetup_;
  QPushButton* otherOptions_;
  QPushButton* supervisor_;
  QPushButton* colors_;
  QPushButton* done_;
  bool opened_ = false;
};

}  // namespace gui
