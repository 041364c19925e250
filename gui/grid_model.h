// GridModel: a CellGrid as a Qt table model.
//
// Row 0 of the grid (its column names) is the horizontal header; grid data
// row r is model row r - 1. The hidden `_RowInView_` column is never shown.
// The model owns no data: it reads the grid on every call and turns the grid's
// notifications into the model's begin/end signals, so any change made
// through the grid's methods (by a screen's logic or by the binding) shows at
// once.
//
// Roles: DisplayRole/EditRole the cell's text; BackgroundRole the cell's
// colour (0xBBGGRR in the grid); ForegroundRole black (the cells are always
// light); kChoicesRole the drop-down choices (QStringList, empty for a text
// cell). Horizontal header: DisplayRole the column name, kWidthRole the width
// in characters (0: the column is hidden). flags() leave out
// Qt::ItemIsEditable for read-only cells.
//
// setData(EditRole) is a user's edit: it goes through the grid's
// SetCurrentCell/BeginEdit/CommitEdit, so listeners get OnEditEnded with the
// old and new text. Read-only cells refuse it.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <QAbstractTableModel>

#include "grid/cell_grid.h"

namespace gui {

class GridModel : public QAbstractTableModel, private grid::CellGridListener {
  Q_OBJECT

 public:
  // The drop-down choices of a cell (QStringList).
  static constexpr int kChoicesRole = Qt::UserRole + 1;
  // A column's width in characters (int), on the horizontal header.
  static constexpr int kWidthRole = Qt::UserRole + 2;

  // Shows `grid` (borrowed; must outlive the model).
  explicit GridModel(grid::CellGrid& grid, QObject* parent = nullptr);
  ~GridModel() override;

  grid::CellGrid& grid() const { return grid_; }

  // The model index of grid cell (row, column), or an invalid index for the
  // header row or a cell out of range; and back (the grid row of a model
  // index is index.row() + 1).
  QModelIndex IndexOf(int gridRow, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // A user's edit of an editable cell (EditRole only); false otherwise.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  void OnGridAboutToReset() override;
  void OnGridReset() override;
  void OnRowsAboutToBeInserted(int first, int count) override;
  void OnRowsInserted(int first, int count) override;
  void OnRowsAboutToBeRemoved(int first, int count) override;
  void OnRowsRemoved(int first, int count) override;
  void OnCellsChanged(int firstRow, int lastRow) override;

  grid::CellGrid& grid_;
};

}  // namespace gui
