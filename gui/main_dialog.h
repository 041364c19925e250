// MainDialog: the main screen's window. It builds the app::MainScreen, sends
// each button, list change and close to it, and redraws itself from the
// screen's view after every call. It holds no rule and no text of its own.
//
// Besides the screen's controls, F1 and the window's context menu offer the
// About box (the handheld had it in the window's system menu).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "app/main_screen.h"

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace gui {

class MainDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` and `screens` are borrowed and must outlive the dialog.
  MainDialog(app::Application& app, app::Screens& screens, QWidget* parent = nullptr);

  // The start-up steps of the screen (app::MainScreen::Start); call once the
  // window is shown, so that the boxes they may open stand above it.
  void Start(std::optional<std::string> commandLinePath);

  // A file handed over by a second start (app::MainScreen::OnFileHandedOver),
  // with the window brought to the front first.
  void OpenHandedOver(const std::string& path);

  // The logic behind the window (tests read its view).
  const app::MainScreen& screen() const { return screen_; }

  // Closing the window in any way (D&one, Escape, the close box) runs the
  // screen's Done first.
  void done(int result) override;

 protected:
  // Escape asks before the program ends (the screen's ConfirmEnd).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildLayout();
  void Refresh();

  app::MainScreen screen_;
  QPushButton* editFile_;
  QPushButton* createFile_;
  QLineEdit* filePath_;
  QPushButton* loadInfo_;
  QPushButton* dataEntry_;
  QPushButton* setup_;
  QPushButton* reports_;
  QPushButton* finalize_;
  QComboBox* fileType_;
  QLineEdit* scaleUnits_;
  QLineEdit* scaleSample_;
  QPushButton* design_;
  QPushButton* done_;
};

}  // namespace gui
