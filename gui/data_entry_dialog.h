// DataEntryDialog: the "Log Data Entry" dialog, the Qt face of
// dataentry::DataEntryScreen.
//
// Three GridViews (Log, Segment, Defect) in one stack of which the screen's
// mode decides the one shown; eight buttons beside them, the shown grid's in
// bold; the status line under them. Every key a grid sees is first asked of
// the screen; cell edits reach the screen through the grids themselves. After
// every click, key and edit the dialog redraws itself from the screen's
// state. OK, the window's close box and Escape all leave through the screen's
// Close(), which writes everything back; when that fails the dialog stays.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "dataentry/data_entry_screen.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace app {
class Application;
}

namespace gui {

class GridView;

class DataEntryDialog : public QDialog, private dataentry::DataEntryWindows {
  Q_OBJECT

 public:
  // `app` (with a file open) must outlive the dialog; the screen speaks
  // through app.ui.
  explicit DataEntryDialog(app::Application& app, QWidget* parent = nullptr);
  ~DataEntryDialog() override;

  // Opens the screen and shows the dialog modally. Returns at once (showing
  // nothing more) when the screen could not be opened; its message has said
  // why.
  static void Run(app::Application& app, QWidget* parent);

  // False when the screen could not be opened (the dialog must not be shown).
  bool opened() const { return opened_; }
  dataentry::DataEntryScreen& screen() { return screen_; }
  GridView& logView() const { return *views_[0]; }
  GridView& shownView() const;
  QPushButton& button(dataentry::Button which) const;
  QString status() const;
  // The line above the grid: whose segments or defects it shows.
  QString gridOwner() const;

 public:
  // Every way out of the dialog (OK, Escape, the close box) comes here.
  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class GridWatcher;
  void MakeGrids();
  QVBoxLayout* MakeButtons();
  void ShowQuickEstimate() override;
  void Refresh();
  void RefreshSoon();
  void Click(dataentry::Button which);
  grid::KeyResult OnKey(int code, bool ctrl);

  dataentry::DataEntryScreen screen_;
  bool opened_ = false;
  bool refreshQueued_ = false;
  std::array<GridView*, 3> views_{};
  std::array<std::unique_ptr<GridWatcher>, 3> watchers_;
  QStackedWidget* stack_ = nullptr;
  std::array<QPushButton*, 8> buttons_{};
  QLabel* status_ = nullptr;
  QLabel* owner_ = nullptr;  // whose segments or defects are shown
};

}  // namespace gui
