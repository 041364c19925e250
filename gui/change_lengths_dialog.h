// ChangeLengthsDialog: the window "Varnolde - Change Lengths" over a
// setup::ChangeLengthsScreen: its grid in a GridView, OK and Cancel. Closing the
// window in any way writes the rows back (ChangeLengthsScreen::OnClose).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>
#include <string>

#include "setup/change_lengths_screen.h"

namespace app {
class Application;
}

namespace gui {

class GridView;

class ChangeLengthsDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` (with a file open) is borrowed and must outlive the dialog.
  ChangeLengthsDialog(app::Application& app, const std::string& table, QWidget* parent = nullptr);

  // Opens the window modally for `table`; nothing is shown when the lengths
  // cannot be read (the screen has said why).
  static void Run(app::Application& app, const std::string& table, QWidget* parent);

  setup::ChangeLengthsScreen& screen() { return screen_; }
  GridView* gridView() const { return grid_; }

  // Every way of closing writes the rows back first.
  void done(int result) override;

 private:
  setup::ChangeLengthsScreen screen_;
  GridView* grid_ = nullptr;
  bool open_ = false;
};

}  // namespace gui
