#include "gui/grid_model.h"

#include <QBrush>
#include <QColor>
#include <QStringList>

namespace gui {
namespace {

QColor FromBgr(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QStringList ToStringList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << QString::fromStdString(text);
  return list;
}

}  // namespace

GridModel::GridModel(grid::CellGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  grid_.AddListener(this);
}

GridModel::~GridModel() { grid_.RemoveListener(this); }

QModelIndex GridModel::IndexOf(int gridRow, int column) const { return index(gridRow - 1, column); }

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.DataRowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int row = index.row() + 1;
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return QString::fromStdString(grid_.Text(row, column));
    case Qt::BackgroundRole:
      return QBrush(FromBgr(grid_.Colour(row, column)));
    case Qt::ForegroundRole:
      return QBrush(Qt::black);
    case kChoicesRole:
      return ToStringList(grid_.Choices(row, column));
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  }
  if (section < 0 || section >= grid_.ColumnCount()) return {};
  // The tool tip names a column whose narrow header is cut short.
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    return QString::fromStdString(grid_.ColumnName(section));
  }
  if (role == kWidthRole) return grid_.ColumnWidth(section);
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
    return Qt::NoItemFlags;
  const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return grid_.IsReadOnly(index.row() + 1, index.column()) ? base : base | Qt::ItemIsEditable;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
  const int row = index.row() + 1;
  const bool editingThis =
      grid_.IsEditing() && grid_.CurrentRow() == row && grid_.CurrentColumn() == index.column();
  if (!editingThis && !(grid_.SetCurrentCell(row, index.column()) && grid_.BeginEdit())) {
    return false;
  }
  return grid_.CommitEdit(value.toString().toStdString());
}

void GridModel::OnGridAboutToReset() { beginResetModel(); }

void GridModel::OnGridReset() { endResetModel(); }

void GridModel::OnRowsAboutToBeInserted(int first, int count) {
  beginInsertRows(QModelIndex(), first - 1, first + count - 2);
}

void GridModel::OnRowsInserted(int, int) { endInsertRows(); }

void GridModel::OnRowsAboutToBeRemoved(int first, int count) {
  beginRemoveRows(QModelIndex(), first - 1, first + count - 2);
}

void GridModel::OnRowsRemoved(int, int) { endRemoveRows(); }

void GridModel::OnCellsChanged(int firstRow, int lastRow) {
  const int columns = grid_.ColumnCount();
  if (columns == 0) return;
  // Row 0 is the header: a renamed column, or a column's width or type.
  if (firstRow == 0) Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
  const int first = std::max(firstRow, 1);
  if (first <= lastRow) Q_EMIT dataChanged(IndexOf(first, 0), IndexOf(lastRow, columns - 1));
}

}  // namespace gui
