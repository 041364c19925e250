#include "gui/tapers_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"
#include "gui/grid_view.h"

namespace gui {

TapersDialog::TapersDialog(app::Application& app, QWidget* parent) : QDialog(parent), screen_(app) {
  setWindowTitle(setup::kTapersCaption);
  open_ = screen_.Open() == setup::TapersOpen::kOpened;
  grid_ = new GridView(screen_.Grid(), this);
  auto* add = new QPushButton(setup::kAddRecordButton, this);
  auto* remove = new QPushButton(setup::kDeleteRecordButton, this);
  // Enter ends a cell's edit in the grid; on a cell not being edited it
  // presses OK.
  connect(add, &QPushButton::clicked, this, [this] {
    screen_.OnAddRecord();
    grid_->setFocus();
  });
  connect(remove, &QPushButton::clicked, this, [this] { screen_.OnDeleteRecord(); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  buttons->addWidget(MakeOkCancel(this));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);
  resize(grid_->CharsToPixels(44), grid_->CharsToPixels(30));
}

bool TapersDialog::Run(app::Application& app, QWidget* parent) {
  TapersDialog dialog(app, parent);
  return dialog.open_ && dialog.exec() == QDialog::Accepted;
}

void TapersDialog::accept() {
  if (screen_.OnOk()) QDialog::accept();
}

}  // namespace gui
