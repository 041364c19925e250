#include "gui/grid_view.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>

#include "gui/grid_model.h"

namespace gui {
namespace {

// A key with a fixed code, and the text it types (empty: none).
struct KeyEntry {
  int qtKey;
  int code;
  const char* text;
};

constexpr std::array kKeys = {
    KeyEntry{Qt::Key_Backspace, grid::key::kBackspace, "\b"},
    KeyEntry{Qt::Key_Tab, grid::key::kTab, "\t"},
    KeyEntry{Qt::Key_Backtab, grid::key::kTab, ""},
    KeyEntry{Qt::Key_Return, grid::key::kEnter, "\r"},
    KeyEntry{Qt::Key_Enter, grid::key::kEnter, "\r"},
    KeyEntry{Qt::Key_Shift, 16, ""},
    KeyEntry{Qt::Key_Control, 17, ""},
    KeyEntry{Qt::Key_Alt, 18, ""},
    KeyEntry{Qt::Key_Escape, grid::key::kEscape, "\x1b"},
    KeyEntry{Qt::Key_Space, 32, " "},
    KeyEntry{Qt::Key_PageUp, 33, ""},
    KeyEntry{Qt::Key_PageDown, 34, ""},
    KeyEntry{Qt::Key_End, 35, ""},
    KeyEntry{Qt::Key_Home, 36, ""},
    KeyEntry{Qt::Key_Left, 37, ""},
    KeyEntry{Qt::Key_Up, 38, ""},
    KeyEntry{Qt::Key_Right, 39, ""},
    KeyEntry{Qt::Key_Down, grid::key::kDown, ""},
    KeyEntry{Qt::Key_Insert, 45, ""},
    KeyEntry{Qt::Key_Delete, 46, ""},
    KeyEntry{Qt::Key_Asterisk, 106, "*"},
    KeyEntry{Qt::Key_Plus, 107, "+"},
    KeyEntry{Qt::Key_Semicolon, 186, ";"},
    KeyEntry{Qt::Key_Equal, 187, "="},
    KeyEntry{Qt::Key_Comma, 188, ","},
    KeyEntry{Qt::Key_Minus, 189, "-"},
    // The keypad's decimal point counts as the period too, so that it types
    // into number cells as the field keypad's "." does.
    KeyEntry{Qt::Key_Period, grid::key::kPeriod, "."},
    KeyEntry{Qt::Key_Slash, 191, "/"},
    KeyEntry{Qt::Key_QuoteLeft, 192, "`"},
    KeyEntry{Qt::Key_BracketLeft, 219, "["},
    KeyEntry{Qt::Key_Backslash, 220, "\\"},
    KeyEntry{Qt::Key_BracketRight, 221, "]"},
    KeyEntry{Qt::Key_Apostrophe, 222, "'"},
};

constexpr int kFirstFunctionCode = 112;  // F1

// Set while a view delivers the Tab a screen made of Enter (one thread, and
// the delivery is synchronous). Enter moves on like Tab but never leaves the
// grid: on the last cell it only ends the edit, so that the scaler's next
// keypad letter still reaches the screen's keys.
bool deliveringEnterAsTab = false;
constexpr int kCellPadding = 8;  // pixels around a cell's text

// The key event that stands for `code`, with the modifiers of `like`.
QKeyEvent KeyEventFor(int code, const QKeyEvent& like) {
  const Qt::KeyboardModifiers mods = like.modifiers() & ~Qt::KeypadModifier;
  if (code >= grid::key::kDigit0 && code <= grid::key::kDigit0 + 9) {
    const int digit = code - grid::key::kDigit0;
    return QKeyEvent(QEvent::KeyPress, Qt::Key_0 + digit, mods, QString::number(digit));
  }
  if (code >= grid::key::kNumpad0 && code <= grid::key::kNumpad0 + 9) {
    const int digit = code - grid::key::kNumpad0;
    return QKeyEvent(QEvent::KeyPress, Qt::Key_0 + digit, mods | Qt::KeypadModifier,
                     QString::number(digit));
  }
  if (code >= grid::key::kLetterA && code <= grid::key::kLetterA + 25) {
    const QChar letter(code - grid::key::kLetterA + ((mods & Qt::ShiftModifier) ? 'A' : 'a'));
    return QKeyEvent(QEvent::KeyPress, Qt::Key_A + (code - grid::key::kLetterA), mods, letter);
  }
  if (code >= kFirstFunctionCode && code < kFirstFunctionCode + 24) {
    return QKeyEvent(QEvent::KeyPress, Qt::Key_F1 + (code - kFirstFunctionCode), mods);
  }
  for (const KeyEntry& entry : kKeys) {
    if (entry.code == code) {
      return QKeyEvent(QEvent::KeyPress, entry.qtKey, mods, QString::fromLatin1(entry.text));
    }
  }
  return QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, mods);
}

QString EditorText(const QWidget* editor) {
  if (const auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
  if (const auto* line = qobject_cast<const QLineEdit*>(editor)) return line->text();
  return {};
}

}  // namespace

// Makes the grid's editors and lets the view see their keys first.
class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(GridView& view) : QStyledItemDelegate(&view), view_(view) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    return view_.CreateEditor(parent, index);
  }

  // Only when the editor opens: a later change of the row must not wipe out
  // what the user is typing.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    if (editor->property(kLoaded).toBool()) return;
    editor->setProperty(kLoaded, true);
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      combo->setEditText(text);
      combo->lineEdit()->selectAll();  // typing replaces the text, as in a text cell
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(text);
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    model->setData(index, EditorText(editor), Qt::EditRole);
  }

 protected:
  bool eventFilter(QObject* editor, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (view_.LeavesByCtrlTab(key) || view_.ConsultKey(editor, key)) return true;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
  }

 private:
  static constexpr const char* kLoaded = "gridEditorLoaded";
  GridView& view_;
};

GridView::GridView(grid::CellGrid& grid, QWidget* parent) : QTableView(parent), grid_(&grid) {
  grid_->AddListener(this);
  grid_->AddEndListener(this);
  AttachModel();
  setItemDelegate(new GridDelegate(*this));
  setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
  setSelectionMode(SingleSelection);
  setTabKeyNavigation(true);
  verticalHeader()->hide();
  // One line a row, cut at the right; headers read from their start, so a
  // narrow column's cut title still shows how it begins.
  setWordWrap(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  installEventFilter(this);
  ApplyColumnWidths();
  SyncFromGrid();
}

// The model goes first: it listens to grid_, which may be orphan_, a member
// that dies before the widget base class deletes its children.
GridView::~GridView() {
  grid_->RemoveListener(this);
  delete model_;
}

void GridView::AttachModel() {
  model_ = new GridModel(*grid_, this);
  // Connected before setModel: the view's own handling of a model change
  // (which may move its current index) runs while the flag is set...
  const auto changing = [this] { modelChanging_ = true; };
  connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, changing);
  connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, changing);
  setModel(model_);
  // ...and cleared after it, when the grid's current cell is settled.
  const auto changed = [this] {
    modelChanging_ = false;
    SyncFromGrid();
  };
  connect(model_, &QAbstractItemModel::rowsInserted, this, changed);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, changed);
  connect(model_, &QAbstractItemModel::modelReset, this, changed);
  connect(model_, &QAbstractItemModel::modelReset, this, &GridView::ApplyColumnWidths);
  // New rows, and the first row of an empty grid, decide which columns are
  // narrow once the screen has marked their read-only cells (after the
  // grid's signal): the widths are set again from the event loop.
  const auto widthsSoon = [this] {
    QMetaObject::invokeMethod(this, &GridView::ApplyColumnWidths, Qt::QueuedConnection);
  };
  connect(model_, &QAbstractItemModel::modelReset, this, widthsSoon);
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this, widthsSoon](const QModelIndex&, int first, int last) {
            if (first == 0 && last + 1 == model_->rowCount()) widthsSoon();
          });
  connect(model_, &QAbstractItemModel::headerDataChanged, this, &GridView::ApplyColumnWidths);
}

void GridView::OnGridDestroyed() {
  // The dying grid still serves its old model's last words (it removes
  // itself as a listener); from here on the view shows the empty orphan_.
  GridModel* old = model_;
  grid_->RemoveListener(this);
  grid_ = &orphan_;
  grid_->AddListener(this);
  AttachModel();
  delete old;
}

void GridView::SetKeyHandler(KeyHandler handler) { handler_ = std::move(handler); }

int GridView::KeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return (keypad ? grid::key::kNumpad0 : grid::key::kDigit0) + (qtKey - Qt::Key_0);
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return grid::key::kLetterA + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kFirstFunctionCode + (qtKey - Qt::Key_F1);
  if (keypad && qtKey == Qt::Key_Minus) return 109;
  if (keypad && qtKey == Qt::Key_Slash) return 111;
  for (const KeyEntry& entry : kKeys) {
    if (entry.qtKey == qtKey) return entry.code;
  }
  return 0;
}

int GridView::CharsToPixels(int chars) const {
  return chars * fontMetrics().horizontalAdvance(QLatin1Char('0')) + kCellPadding;
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    return LeavesByCtrlTab(key) || ConsultKey(this, key);
  }
  return QTableView::eventFilter(watched, event);
}

bool GridView::ConsultKey(QObject* target, QKeyEvent* event) {
  if (consulted_ || !handler_) return false;
  const int code = KeyCode(event->key(), event->modifiers());
  if (code == 0) return false;
  const QPointer<QObject> alive(target);
  const bool toEditor = target != this;
  const grid::KeyResult answer = handler_(code, event->modifiers() & Qt::ControlModifier);
  if (answer.action == grid::KeyAction::kSwallow) return true;
  // The handler may have ended the edit (moved the current cell, appended a
  // row...): the key then goes to the view.
  QObject* to = (toEditor && (!alive || editor_ != target)) ? this : target;
  if (answer.action == grid::KeyAction::kPass) {
    Deliver(to, event);
  } else {
    QKeyEvent other = KeyEventFor(answer.code, *event);
    const QScopedValueRollback<bool> enter(
        deliveringEnterAsTab, code == grid::key::kEnter && answer.code == grid::key::kTab);
    Deliver(to, &other);
  }
  return true;
}

void GridView::Deliver(QObject* target, QKeyEvent* event) {
  const QScopedValueRollback<bool> asked(consulted_, true);
  QCoreApplication::sendEvent(target, event);
}

QWidget* GridView::CreateEditor(QWidget* parent, const QModelIndex& index) {
  const int row = index.row() + 1;
  if ((grid_->CurrentRow() != row || grid_->CurrentColumn() != index.column()) &&
      !grid_->SetCurrentCell(row, index.column())) {
    return nullptr;
  }
  if (!grid_->BeginEdit()) return nullptr;
  const QStringList choices = index.data(GridModel::kChoicesRole).toStringList();
  QWidget* editor = nullptr;
  if (!choices.isEmpty()) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // completion would change what is typed
    combo->addItems(choices);
    connect(combo, &QComboBox::editTextChanged, this,
            [this](const QString& text) { grid_->SetEditText(text.toStdString()); });
    editor = combo;
  } else {
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    connect(line, &QLineEdit::textChanged, this,
            [this](const QString& text) { grid_->SetEditText(text.toStdString()); });
    editor = line;
  }
  editor_ = editor;
  return editor;
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);  // commits and closes an open editor
  if (syncing_ || modelChanging_) return;
  const int row = current.isValid() ? current.row() + 1 : -1;
  const int column = current.isValid() ? current.column() : -1;
  if (row != grid_->CurrentRow() || column != grid_->CurrentColumn()) {
    grid_->SetCurrentCell(row, column);
  }
}

void GridView::commitData(QWidget* editor) {
  const QScopedValueRollback<bool> committing(committing_, true);
  QTableView::commitData(editor);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (editor != nullptr && editor == editor_) {
    editor_ = nullptr;
    EndGridEdit(editor, hint);
  }
  const bool next = hint == QAbstractItemDelegate::EditNextItem;
  if (!next && hint != QAbstractItemDelegate::EditPreviousItem) {
    QTableView::closeEditor(editor, hint);
    return;
  }
  // Tab in an editor ends the edit and moves on without opening the next
  // cell's editor: that cell is edited once the user types into it, so a cell
  // reached by Tab does not count as being edited.
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  const QModelIndex to = NextEditable(currentIndex(), next);
  if (to.isValid()) {
    selectionModel()->setCurrentIndex(to, QItemSelectionModel::ClearAndSelect);
  } else if (!deliveringEnterAsTab) {
    LeaveGrid(next);
  }
}

QModelIndex GridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (action == MoveNext || action == MovePrevious) {
    return NextEditable(currentIndex(), action == MoveNext);
  }
  return QTableView::moveCursor(action, modifiers);
}

void GridView::keyPressEvent(QKeyEvent* event) {
  const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
  if (!tab || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    QTableView::keyPressEvent(event);
    return;
  }
  const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
  const QModelIndex to = NextEditable(currentIndex(), forward);
  if (to.isValid()) {
    selectionModel()->setCurrentIndex(to, QItemSelectionModel::ClearAndSelect);
  } else if (!deliveringEnterAsTab) {
    LeaveGrid(forward);
  }
  event->accept();
}

QModelIndex GridView::NextEditable(const QModelIndex& from, bool forward) const {
  const int rows = model_->rowCount();
  const int columns = model_->columnCount();
  if (rows == 0 || columns == 0) return {};
  int row = from.isValid() ? from.row() : (forward ? 0 : rows - 1);
  int column = from.isValid() ? from.column() : (forward ? -1 : columns);
  for (;;) {
    column += forward ? 1 : -1;
    if (column >= columns) {
      column = 0;
      if (++row >= rows) return {};
    } else if (column < 0) {
      column = columns - 1;
      if (--row < 0) return {};
    }
    if (isColumnHidden(column)) continue;
    if (!grid_->IsReadOnly(row + 1, column)) return model_->index(row, column);
  }
}

void GridView::LeaveGrid(bool forward) {
  if (editor_ != nullptr) {
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
  setFocus(Qt::TabFocusReason);
  // QWidget's own walk of the focus chain: QAbstractItemView's would move
  // between the cells again.
  QWidget::focusNextPrevChild(forward);
}

bool GridView::LeavesByCtrlTab(QKeyEvent* event) {
  const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
  if (!tab || !(event->modifiers() & Qt::ControlModifier)) return false;
  LeaveGrid(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
  return true;
}

void GridView::EndGridEdit(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Normally the delegate has committed the text already; an editor closed
  // with Escape (RevertModelCache) cancels the edit.
  if (!grid_->IsEditing()) return;
  if (hint == QAbstractItemDelegate::RevertModelCache) {
    grid_->CancelEdit();
  } else {
    grid_->CommitEdit(EditorText(editor).toStdString());
  }
}

void GridView::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) ApplyColumnWidths();
}

void GridView::ApplyColumnWidths() {
  const QFontMetrics header = horizontalHeader()->fontMetrics();
  const int last = grid_->DataRowCount();
  for (int c = 0; c < grid_->ColumnCount(); ++c) {
    const int chars = grid_->ColumnWidth(c);
    setColumnHidden(c, chars == 0);
    if (chars == 0) continue;
    // Read-only on the first and the last row: a computed or locked column
    // (one voided log alone does not narrow every column).
    if (narrowLocked_ && last > 0 && grid_->IsReadOnly(1, c) && grid_->IsReadOnly(last, c)) {
      setColumnWidth(c, CharsToPixels(std::min(chars, kNarrowChars)));
      continue;
    }
    const int title =
        header.horizontalAdvance(QString::fromStdString(grid_->ColumnName(c))) + 2 * kCellPadding;
    setColumnWidth(c, std::max(CharsToPixels(chars), title));
  }
}

void GridView::SetNarrowLockedColumns(bool on) {
  narrowLocked_ = on;
  ApplyColumnWidths();
}

int GridView::ColumnsWidth() const {
  int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < model_->columnCount(); ++c) {
    if (!isColumnHidden(c)) width += columnWidth(c);
  }
  return width;
}

void GridView::SyncFromGrid() {
  const QModelIndex want = model_->IndexOf(grid_->CurrentRow(), grid_->CurrentColumn());
  if (want == currentIndex()) return;
  const QScopedValueRollback<bool> syncing(syncing_, true);
  selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
}

void GridView::OnCurrentCellChanged() {
  // The grid ended the edit by itself (the screen moved the current cell or
  // cancelled): the editor goes without committing again.
  if (!committing_ && !grid_->IsEditing() && editor_ != nullptr) {
    QWidget* editor = editor_;
    editor_ = nullptr;
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
  if (!modelChanging_) SyncFromGrid();
}

}  // namespace gui
