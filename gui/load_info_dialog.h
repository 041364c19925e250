// LoadInfoDialog: the window of "Varnolde -- Edit Load Information".
//
// It builds the loadinfo::LoadInfoScreen, shows its grid in a GridView (the
// view asks the screen about every key), sends each record button to the
// screen and redraws the buttons and the position label from the screen's
// state after every call. OK and Cancel both close the window; closing in any
// way writes the header back (LoadInfoScreen::OnClose) before exec()
// returns. It holds no rule and no text of its own.
//
// The screen opens in the constructor, so the sale list's messages are shown
// before the window appears; when it could not open, exec() returns at once.
//
// The record buttons "<<", "<", ">", ">>" have no letter to underline; their
// keys (loadinfo::kFirstKey ...) press them, and their tooltips name them.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "loadinfo/load_info_screen.h"

class QLabel;
class QPushButton;

namespace app {
class Application;
}
namespace platform {
class Ui;
}

namespace gui {

class GridView;

class LoadInfoDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` (with a file open) and `ui` are borrowed and must outlive the
  // dialog.
  LoadInfoDialog(app::Application& app, platform::Ui& ui, QWidget* parent = nullptr);

  // The logic behind the window, and its grid view (tests drive them).
  loadinfo::LoadInfoScreen& screen() { return screen_; }
  GridView* gridView() const { return grid_; }

  // What opening the screen gave.
  loadinfo::LoadInfoOpen opened() const { return opened_; }

  // Shows the window modally, as QDialog::exec(), but only when the screen
  // opened; otherwise returns QDialog::Rejected at once.
  int exec() override;

  // Closing the window in any way (OK, Cancel, Escape, the close box) writes
  // the header back first.
  void done(int result) override;

 private:
  // A record button with its key and tooltip.
  QPushButton* AddRecordButton(const char* text, void (loadinfo::LoadInfoScreen::*action)(),
                               const char* key, const char* tip);
  void BuildLayout();
  // The first size: the grid's columns whole, the fields down to the limits.
  void FitSize();
  void Refresh();

  loadinfo::LoadInfoScreen screen_;
  loadinfo::LoadInfoOpen opened_ = loadinfo::LoadInfoOpen::kNotShown;
  GridView* grid_;
  QLabel* navigation_;
  QLabel* position_;
  QPushButton* first_;
  QPushButton* previous_;
  QPushButton* next_;
  QPushButton* last_;
  QPushButton* new_;
  QPushButton* delete_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace gui
