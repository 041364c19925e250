// DesignDialog: the scale and sample design dialog's window ("Scale and
// Sample Setup"). It builds the app::DesignScreen, sends each list change and
// button to it, and redraws itself from the screen's view after every call:
// the two lists, the KZ grid (a GridView over the screen's grid) and its
// "&Add Record" and "&Delete Record" buttons, shown and enabled as the view
// says. OK accepts only when the screen has written KZ back.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>
#include <optional>

#include "app/design_screen.h"

class QComboBox;
class QPushButton;

namespace gui {

class GridView;

class DesignDialog : public QDialog {
  Q_OBJECT

 public:
  // A modal dialog on the open file of `app` (borrowed; must outlive the
  // dialog) over `parent`. REQUIRES: a file is open.
  explicit DesignDialog(app::Application& app, QWidget* parent = nullptr);

  // The texts chosen when the dialog was accepted; nullopt otherwise.
  const std::optional<app::DesignChoice>& choice() const { return choice_; }

  // OK: the screen's OK; the dialog closes only when it succeeded.
  void accept() override;

 private:
  void BuildLayout();
  void Refresh();

  app::DesignScreen screen_;
  std::optional<app::DesignChoice> choice_;
  QComboBox* scaleType_;
  QComboBox* scaleSample_;
  GridView* kzGrid_;
  QPushButton* addRecord_;
  QPushButton* deleteRecord_;
};

}  // namespace gui
