// GridView: the cell grid widget of the screens, a QTableView over a
// GridModel.
//
// What it shows: the grid's data rows under a header of column names, each
// cell in its colour; hidden columns (width 0) are not shown, the others are
// as wide as their width in characters of the view's font (and never
// narrower than their header text).
//
// Editing: typing a character on a cell starts editing it with that character
// (as a spreadsheet does), F2 or a double click opens the cell's editor; a
// drop-down cell edits in an editable combo box that offers the cell's choices
// and keeps typed text. A read-only cell opens no editor, so typing there
// changes nothing. An edit goes through the grid (SetCurrentCell, BeginEdit,
// SetEditText while typing, CommitEdit), so the screen's logic gets
// OnEditEnded with the old and new text; Escape in the editor cancels.
//
// The current cell is kept in step with the grid's current cell both ways.
//
// Moving on: Tab (and Enter, which the screens turn into Tab) goes to the next
// cell the user can type into, row by row, passing over read-only and hidden
// cells; Shift+Tab goes back the same way. Past the last such cell (or before
// the first) Tab leaves the grid for the dialog's next (previous) control, and
// so does Ctrl+Tab (Ctrl+Shift+Tab) from any cell, so a grid never traps the
// keyboard. A Tab the key handler made of Enter stays on the last cell.
//
// Column widths: a column is its width in characters and never narrower than
// its header. With SetNarrowLockedColumns, a column that is read-only on the
// first and the last data row (a computed or locked column the user does not
// type into) is at most kNarrowChars wide instead, its header cut (the full
// name is the header's tool tip).
//
// Keys: every key press meant for the view or for an open editor is first
// translated into a grid::key code (Windows virtual-key numbers: Enter 13,
// Tab 9, Escape 27, Down 40, F2 113, keypad digits 96-105, letters 65-90,
// digits 48-57, period 190, Backspace 8, ...) and handed to the key handler
// with the state of Ctrl; the view then does what the handler answers: pass
// the key on, pass another key on instead (Enter -> Tab ends an edit and moves
// to the next cell), or drop it. Keys with no code (e.g. a lone dead key) pass
// on unasked.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <QPointer>
#include <QTableView>
#include <functional>

#include "grid/cell_grid.h"
#include "grid/keys.h"

class QKeyEvent;

namespace gui {

class GridModel;

// A screen's answer to a key: see grid/keys.h.
using KeyHandler = std::function<grid::KeyResult(int code, bool ctrl)>;

class GridView : public QTableView, private grid::CellGridListener {
  Q_OBJECT

 public:
  // Shows `grid` (borrowed). The grid may die before the view (a screen's
  // grid goes with the screen, before the dialog deletes its child widgets):
  // the view then shows an empty grid of its own and never touches `grid`
  // again.
  explicit GridView(grid::CellGrid& grid, QWidget* parent = nullptr);
  ~GridView() override;

  // The handler asked about every key (none: every key passes on).
  void SetKeyHandler(KeyHandler handler);

  GridModel& gridModel() const { return *model_; }
  // The open editor, or null.
  QWidget* editor() const { return editor_; }

  // The grid::key code of a key as Qt names it; 0 for a key with no code.
  static int KeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

  // Width in pixels of a column `chars` characters wide in the view's font.
  int CharsToPixels(int chars) const;

  // The widest a read-only column is drawn, in characters, once
  // SetNarrowLockedColumns is on (it is off at first: a grid whose read-only
  // column names its rows keeps that column whole).
  static constexpr int kNarrowChars = 6;
  void SetNarrowLockedColumns(bool on);

  // The width in pixels the shown columns take together, with the frame and
  // the vertical scroll bar: what the view needs to show every column whole.
  int ColumnsWidth() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  // Column widths follow the font.
  void changeEvent(QEvent* event) override;
  // Typing on a cell that opens no editor must not jump to another row.
  void keyboardSearch(const QString&) override {}
  // Tab and Shift+Tab: the next (previous) editable cell, or an invalid index
  // past the last (first) one; the other moves as QTableView has them.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  // Tab with no cell left to go to leaves the grid.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class GridDelegate;

  // Asks the handler about `event`, meant for `target` (the view or the open
  // editor), and carries out the answer. True when the event was dealt with.
  bool ConsultKey(QObject* target, QKeyEvent* event);
  // Sends `event` to `target` without asking the handler again.
  void Deliver(QObject* target, QKeyEvent* event);
  // The editor of the cell at `index` (after starting the grid's edit), or null
  // when the cell cannot be edited.
  QWidget* CreateEditor(QWidget* parent, const QModelIndex& index);
  // Ends the grid's edit as the closing of `editor` with `hint` says.
  void EndGridEdit(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
  void ApplyColumnWidths();
  void SyncFromGrid();
  // The next (forward) or previous editable, shown cell after `from` in row
  // order; an invalid index when there is none.
  QModelIndex NextEditable(const QModelIndex& from, bool forward) const;
  // Closes an open editor (keeping its text) and gives the focus to the
  // dialog's next (forward) or previous control.
  void LeaveGrid(bool forward);
  // Ctrl+Tab / Ctrl+Shift+Tab: true (after leaving) when `event` is one.
  bool LeavesByCtrlTab(QKeyEvent* event);

  // Makes model_ over grid_ and wires the view to its signals.
  void AttachModel();

  void OnCurrentCellChanged() override;
  void OnGridDestroyed() override;

  grid::CellGrid* grid_;   // the grid shown: the screen's, or orphan_ once it died
  grid::CellGrid orphan_;  // empty; shown after the screen's grid died
  GridModel* model_ = nullptr;
  KeyHandler handler_;
  QPointer<QWidget> editor_;
  bool consulted_ = false;      // delivering a key the handler has answered
  bool syncing_ = false;        // moving the view to the grid's current cell
  bool committing_ = false;     // the view is committing the editor's text
  bool modelChanging_ = false;  // between a model's about-to and done signals
  bool narrowLocked_ = false;   // read-only columns drawn narrow
};

}  // namespace gui
