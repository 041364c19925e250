// TapersDialog: the window "Tapers for Butt Logs" over a setup::TapersScreen:
// its grid in a GridView, "&Add Record", "&Delete Record", OK and Cancel. OK
// closes the window only when the screen accepts the rows; Cancel, Escape and
// the close box leave the table as it was.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/tapers_screen.h"

namespace app {
class Application;
}

namespace gui {

class GridView;

class TapersDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` (with a file open) is borrowed and must outlive the dialog.
  explicit TapersDialog(app::Application& app, QWidget* parent = nullptr);

  // Opens the window modally; true when it closed with OK. Nothing is shown
  // (false) when the table cannot be read (the screen has said why).
  static bool Run(app::Application& app, QWidget* parent);

  setup::TapersScreen& screen() { return screen_; }
  GridView* gridView() const { return grid_; }
  bool opened() const { return open_; }

  // OK: closes only when the screen accepted and wrote the rows.
  void accept() override;

 private:
  setup::TapersScreen screen_;
  GridView* grid_ = nullptr;
  bool open_ = false;
};

}  // namespace gui
