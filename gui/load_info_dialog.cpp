#include "gui/load_info_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMargins>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/command_button.h"
#include "gui/grid_view.h"

namespace gui {

using Screen = loadinfo::LoadInfoScreen;

LoadInfoDialog::LoadInfoDialog(app::Application& app, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), screen_(app, ui) {
  setWindowTitle(loadinfo::kLoadInfoCaption);
  grid_ = new GridView(screen_.grid(), this);
  grid_->SetKeyHandler([this](int code, bool ctrl) { return screen_.OnKeyDown(code, ctrl); });
  navigation_ = new QLabel(loadinfo::kNavigationLabel, this);
  position_ = new QLabel(this);
  first_ = AddRecordButton(loadinfo::kFirstButton, &Screen::OnFirst, loadinfo::kFirstKey,
                           loadinfo::kFirstTip);
  previous_ = AddRecordButton(loadinfo::kPreviousButton, &Screen::OnPrevious,
                              loadinfo::kPreviousKey, loadinfo::kPreviousTip);
  next_ = AddRecordButton(loadinfo::kNextButton, &Screen::OnNext, loadinfo::kNextKey,
                          loadinfo::kNextTip);
  last_ = AddRecordButton(loadinfo::kLastButton, &Screen::OnLast, loadinfo::kLastKey,
                          loadinfo::kLastTip);
  new_ =
      MakeCommandButton(this, loadinfo::kNewButton, screen_, &Screen::OnNew, [this] { Refresh(); });
  delete_ = MakeCommandButton(this, loadinfo::kDeleteButton, screen_, &Screen::OnDelete,
                              [this] { Refresh(); });
  ok_ = new QPushButton(kOkButton, this);
  cancel_ = new QPushButton(kCancelButton, this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  BuildLayout();
  opened_ = screen_.Open();
  Refresh();
  FitSize();
}

int LoadInfoDialog::exec() {
  // A header that could not be shown has been reported already: nothing to
  // edit, so the window never appears.
  if (opened_ != loadinfo::LoadInfoOpen::kOpened) return QDialog::Rejected;
  return QDialog::exec();
}

QPushButton* LoadInfoDialog::AddRecordButton(const char* text, void (Screen::*action)(),
                                             const char* key, const char* tip) {
  QPushButton* button = MakeCommandButton(this, text, screen_, action, [this] { Refresh(); });
  button->setShortcut(QKeySequence(QString::fromLatin1(key)));
  button->setToolTip(QString::fromLatin1(tip));
  return button;
}

void LoadInfoDialog::BuildLayout() {
  auto* records = new QHBoxLayout;
  records->addWidget(navigation_);
  records->addWidget(first_);
  records->addWidget(previous_);
  records->addWidget(position_);
  records->addWidget(next_);
  records->addWidget(last_);
  records->addStretch();
  records->addWidget(new_);
  records->addWidget(delete_);
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(ok_);
  closing->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(records);
  layout->addLayout(closing);
  grid_->horizontalHeader()->setStretchLastSection(true);
  for (QPushButton* move : {first_, previous_, next_, last_}) {
    move->setFixedWidth(move->fontMetrics().horizontalAdvance("<<<<"));
  }
  position_->setMinimumWidth(position_->fontMetrics().horizontalAdvance("999 of 999"));
  position_->setAlignment(Qt::AlignCenter);
  grid_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void LoadInfoDialog::FitSize() {
  // As many rows as the fields up to the limits (26) where the screen allows.
  const int wanted =
      27 * grid_->verticalHeader()->defaultSectionSize() + 4 * ok_->sizeHint().height();
  const QScreen* display = QWidget::screen();
  const int height = display == nullptr
                         ? wanted
                         : std::min(wanted, display->availableGeometry().height() * 9 / 10);
  // Both columns whole beside the scroll bar.
  const QMargins margins = layout()->contentsMargins();
  const int width = grid_->columnWidth(loadinfo::kFieldColumn) +
                    grid_->columnWidth(loadinfo::kValueColumn) +
                    grid_->verticalScrollBar()->sizeHint().width() + 2 * grid_->frameWidth() +
                    margins.left() + margins.right();
  resize(std::max(width, sizeHint().width()), height);
}

void LoadInfoDialog::Refresh() {
  const loadinfo::LoadInfoView& view = screen_.view();
  const bool shown = view.recordButtons;
  for (QWidget* widget : {static_cast<QWidget*>(navigation_), static_cast<QWidget*>(position_),
                          static_cast<QWidget*>(first_), static_cast<QWidget*>(previous_),
                          static_cast<QWidget*>(next_), static_cast<QWidget*>(last_),
                          static_cast<QWidget*>(new_), static_cast<QWidget*>(delete_)}) {
    widget->setVisible(shown);
  }
  position_->setText(QString::fromStdString(view.position));
  new_->setEnabled(view.newEnabled);
  delete_->setEnabled(view.deleteEnabled);
  first_->setEnabled(view.previousEnabled);
  previous_->setEnabled(view.previousEnabled);
  next_->setEnabled(view.nextEnabled);
  last_->setEnabled(view.nextEnabled);
}

void LoadInfoDialog::done(int result) {
  screen_.OnClose();
  QDialog::done(result);
}

}  // namespace gui
