#include "gui/change_lengths_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"
#include "gui/grid_view.h"

namespace gui {

ChangeLengthsDialog::ChangeLengthsDialog(app::Application& app, const std::string& table,
                                         QWidget* parent)
    : QDialog(parent), screen_(app, table) {
  setWindowTitle(setup::kChangeLengthsCaption);
  open_ = screen_.Open() == setup::ChangeLengthsOpen::kOpened;
  grid_ = new GridView(screen_.Grid(), this);
  grid_->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addWidget(MakeOkCancel(this));
  resize(grid_->CharsToPixels(70), grid_->CharsToPixels(40));
}

void ChangeLengthsDialog::Run(app::Application& app, const std::string& table, QWidget* parent) {
  ChangeLengthsDialog dialog(app, table, parent);
  if (dialog.open_) dialog.exec();
}

void ChangeLengthsDialog::done(int result) {
  // The window closes either way: a failed write has been shown, and what
  // the user typed cannot be kept past the window.
  if (open_) static_cast<void>(screen_.OnClose());
  open_ = false;
  QDialog::done(result);
}

}  // namespace gui
