// ChangeSaleDialog: the "Change SALE or LLR" window. It builds the
// setup::ChangeSaleScreen, shows its two lists and the two new-value edits
// (at most 20 and 7 characters), sends each change to it, and on OK closes
// only when the screen has renamed (or had nothing to rename).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/change_sale_screen.h"

namespace gui {

class ChangeSaleDialog : public QDialog {
  Q_OBJECT

 public:
  // `app` is borrowed and must outlive the dialog. REQUIRES: a file is open.
  explicit ChangeSaleDialog(app::Application& app, QWidget* parent = nullptr);

  // OK: the screen's OK; the dialog closes only when it succeeded.
  void accept() override;

 private:
  setup::ChangeSaleScreen screen_;
};

}  // namespace gui
