#include "gui/column_selection_dialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"

namespace gui {

namespace {

void ShowList(QListWidget* list, const std::vector<std::string>& names, int chosen) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const std::string& name : names) list->addItem(QString::fromStdString(name));
  list->setCurrentRow(chosen);
}

}  // namespace

ColumnSelectionDialog::ColumnSelectionDialog(setup::ColumnSelectionScreen& selection,
                                             QWidget* parent)
    : QDialog(parent), selection_(selection) {
  setWindowTitle(setup::kColumnSelectionCaption);
  available_ = new QListWidget(this);
  selected_ = new QListWidget(this);
  for (QListWidget* list : {available_, selected_}) list->installEventFilter(this);
  connect(available_, &QListWidget::currentRowChanged, this,
          [this](int row) { selection_.ChooseAvailable(row); });
  connect(selected_, &QListWidget::currentRowChanged, this,
          [this](int row) { selection_.ChooseSelected(row); });
  using S = setup::ColumnSelectionScreen;
  const auto redraw = [this] { Refresh(); };
  allIn_ = MakeCommandButton(this, setup::kAllInButton, selection_, &S::IncludeAll, redraw);
  allOut_ = MakeCommandButton(this, setup::kAllOutButton, selection_, &S::ExcludeAll, redraw);
  include_ = MakeCommandButton(this, setup::kIncludeButton, selection_, &S::Include, redraw);
  exclude_ = MakeCommandButton(this, setup::kExcludeButton, selection_, &S::Exclude, redraw);
  up_ = MakeCommandButton(this, setup::kUpButton, selection_, &S::Up, redraw);
  down_ = MakeCommandButton(this, setup::kDownButton, selection_, &S::Down, redraw);
  ok_ = new QPushButton(kOkButton, this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  BuildLayout();
  Refresh();
}

QPushButton* ColumnSelectionDialog::button(const char* text) const {
  for (QPushButton* b : {allIn_, allOut_, include_, exclude_, up_, down_, ok_}) {
    if (QString(b->text()).remove('&') == QString(text).remove('&')) return b;
  }
  return nullptr;
}

void ColumnSelectionDialog::BuildLayout() {
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(setup::kAvailableLabel, this));
  left->addWidget(available_);
  auto* middle = new QVBoxLayout;
  middle->addStretch();
  for (QPushButton* b : {allIn_, allOut_, include_, exclude_, up_, down_}) middle->addWidget(b);
  middle->addStretch();
  middle->addWidget(ok_);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(setup::kSelectedLabel, this));
  right->addWidget(selected_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(middle);
  layout->addLayout(right, 1);
}

bool ColumnSelectionDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (watched == available_) selection_.FocusAvailable();
    if (watched == selected_) selection_.FocusSelected();
    Refresh();
  }
  return QDialog::eventFilter(watched, event);
}

void ColumnSelectionDialog::Refresh() {
  ShowList(available_, selection_.view().available, selection_.view().chosenAvailable);
  ShowList(selected_, selection_.view().selected, selection_.view().chosenSelected);
  include_->setEnabled(selection_.view().includeEnabled);
  exclude_->setEnabled(selection_.view().excludeEnabled);
  up_->setEnabled(selection_.view().upEnabled);
  down_->setEnabled(selection_.view().downEnabled);
}

}  // namespace gui
