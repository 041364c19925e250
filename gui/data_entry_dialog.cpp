#include "gui/data_entry_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/application.h"
#include "gui/command_button.h"
#include "gui/grid_view.h"
#include "gui/quick_estimate_window.h"
#include "gui/screen_fit.h"

namespace gui {

namespace {

// The stack holds the Log, Segment and Defect grids in the order of GridMode.
int StackIndex(app::GridMode mode) { return static_cast<int>(mode); }

}  // namespace

// Redraws the dialog after the grid told of an edit or a new current row
// (the screen has reacted to it by then).
class DataEntryDialog::GridWatcher : public grid::CellGridListener {
 public:
  GridWatcher(DataEntryDialog& dialog, grid::CellGrid& grid) : dialog_(dialog), grid_(grid) {
    grid_.AddListener(this);
  }
  ~GridWatcher() override { grid_.RemoveListener(this); }
  void OnEditEnded(const grid::CellEdit&) override { dialog_.RefreshSoon(); }
  void OnCurrentRowChanged(int, int) override { dialog_.RefreshSoon(); }

 private:
  DataEntryDialog& dialog_;
  grid::CellGrid& grid_;
};

DataEntryDialog::DataEntryDialog(app::Application& app, QWidget* parent)
    : QDialog(parent), screen_(app, this) {
  setWindowTitle(dataentry::kDataEntryOpeningCaption);
  stack_ = new QStackedWidget(this);
  MakeGrids();
  QVBoxLayout* buttonColumn = MakeButtons();
  status_ = new QLabel(this);
  owner_ = new QLabel(this);
  QFont ownerFont = owner_->font();
  ownerFont.setBold(true);
  owner_->setFont(ownerFont);
  auto* gridColumn = new QVBoxLayout;
  gridColumn->addWidget(owner_);
  gridColumn->addWidget(stack_, 1);
  auto* top = new QHBoxLayout;
  top->addLayout(gridColumn, 1);
  top->addLayout(buttonColumn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(status_);
  // The grids scroll, so the dialog may be small; it starts as wide as the
  // Log grid's columns want, as far as the screen allows.
  stack_->setMinimumSize(views_[0]->CharsToPixels(30), views_[0]->CharsToPixels(8));

  // A screen that did not open has said why (or there is no file to show):
  // the dialog is not shown.
  opened_ = screen_.Open() == dataentry::DataEntryOpen::kOpened;
  if (!opened_) return;
  setWindowTitle(dataentry::kDataEntryCaption);
  Refresh();
  FitToScreen(this, QSize(views_[0]->ColumnsWidth() + buttonColumn->sizeHint().width() +
                              layout->contentsMargins().left() + layout->contentsMargins().right() +
                              layout->spacing(),
                          views_[0]->CharsToPixels(100)));
  views_[0]->setFocus();
}

// The Log, Segment and Defect grids' views, in the stack in that order.
void DataEntryDialog::MakeGrids() {
  grid::CellGrid* grids[] = {&screen_.LogGrid(), &screen_.SegmentGrid(), &screen_.DefectGrid()};
  QFont gridFont("Arial");
  for (int i = 0; i < 3; ++i) {
    views_[i] = new GridView(*grids[i], stack_);
    views_[i]->setFont(gridFont);
    // A wide screen gives its room to the last column (REM on the Log grid);
    // the columns the scaler does not type into take little of it.
    views_[i]->horizontalHeader()->setStretchLastSection(true);
    views_[i]->SetNarrowLockedColumns(true);
    views_[i]->SetKeyHandler([this](int code, bool ctrl) { return OnKey(code, ctrl); });
    stack_->addWidget(views_[i]);
    watchers_[i] = std::make_unique<GridWatcher>(*this, *grids[i]);
  }
}

// The eight buttons beside the grids, top down, OK the default.
QVBoxLayout* DataEntryDialog::MakeButtons() {
  auto* buttonColumn = new QVBoxLayout;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const dataentry::Button which = dataentry::kButtons[i];
    // Enter presses the button that has the focus (the grids take their own
    // Enter); elsewhere it presses OK.
    buttons_[i] =
        MakeCommandButton(this, dataentry::ButtonCaption(which), [this, which] { Click(which); });
    buttons_[i]->setFont(QFont("MS Sans Serif"));
    buttonColumn->addWidget(buttons_[i]);
  }
  buttonColumn->addStretch();
  button(dataentry::Button::kOk).setDefault(true);
  return buttonColumn;
}

// Here, where GridWatcher is complete.
DataEntryDialog::~DataEntryDialog() = default;

void DataEntryDialog::Run(app::Application& app, QWidget* parent) {
  DataEntryDialog dialog(app, parent);
  if (dialog.opened()) dialog.exec();
}

GridView& DataEntryDialog::shownView() const { return *views_[StackIndex(screen_.view().mode)]; }

QPushButton& DataEntryDialog::button(dataentry::Button which) const {
  return *buttons_[static_cast<size_t>(which)];
}

QString DataEntryDialog::status() const { return status_->text(); }

QString DataEntryDialog::gridOwner() const { return owner_->text(); }

// OK, Escape and the close box all end here: the screen writes everything
// back; a failed write keeps the dialog (and the scaler's rows) open.
void DataEntryDialog::done(int result) {
  if (opened_ && !screen_.Close()) return;
  opened_ = false;
  QDialog::done(result);
}

void DataEntryDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  done(QDialog::Accepted);
}

void DataEntryDialog::ShowQuickEstimate() {
  QuickEstimateWindow window(this);
  window.exec();
}

void DataEntryDialog::Click(dataentry::Button which) {
  using dataentry::Button;
  switch (which) {
    case Button::kLog:
      screen_.OnLogButton();
      break;
    case Button::kSeg:
      screen_.OnSegButton();
      break;
    case Button::kDef:
      screen_.OnDefButton();
      break;
    case Button::kAdd:
      // A row not appended has had its reason shown by the screen.
      static_cast<void>(screen_.OnAdd());
      break;
    case Button::kDelete:
      screen_.OnDelete();
      break;
    case Button::kSave:
      // A failed save has been shown by the screen; the rows stay in the grid.
      static_cast<void>(screen_.OnSave());
      break;
    case Button::kVol:
      screen_.OnVolume();
      break;
    case Button::kOk:
      done(QDialog::Accepted);
      return;
  }
  Refresh();
  shownView().setFocus();
}

grid::KeyResult DataEntryDialog::OnKey(int code, bool ctrl) {
  const grid::KeyResult result = screen_.OnKeyDown(code, ctrl);
  RefreshSoon();
  return result;
}

void DataEntryDialog::RefreshSoon() {
  if (refreshQueued_) return;
  refreshQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshQueued_ = false;
    Refresh();
  });
}

void DataEntryDialog::Refresh() {
  const dataentry::DataEntryView& view = screen_.view();
  const int shown = StackIndex(view.mode);
  if (stack_->currentIndex() != shown) {
    stack_->setCurrentIndex(shown);
    views_[shown]->setFocus();
  }
  for (dataentry::Button which :
       {dataentry::Button::kLog, dataentry::Button::kSeg, dataentry::Button::kDef}) {
    QFont font = button(which).font();
    font.setBold(which == view.bold);
    button(which).setFont(font);
  }
  status_->setText(QString::fromStdString(view.status));
  owner_->setText(QString::fromStdString(view.gridOwner));
  if (screen_.TakePostedDown()) {
    QWidget* target = views_[shown]->editor() ? views_[shown]->editor() : views_[shown];
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
  }
}

}  // namespace gui
