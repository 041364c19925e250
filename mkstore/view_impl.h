// ViewImpl: what a View handle refers to. Engine internals.
//
// A view is either a Table itself (TableView) or derived from another view
// (Select, SelectRange, SortOn, Project). Every view resolves its rows and
// columns down to one Table, where the values live; a derived view keeps a
// map from its rows to its base's rows and rebuilds it lazily whenever the
// Table's change stamp for the data it depends on moved (see table.h).
//
// Protocol: callers call Refresh() once, then any number of the *Fast
// accessors, which assume the map is current.
#pragma once

#include <memory>
#include <vector>

#include "mkstore/table.h"
#include "mkstore/view.h"

namespace mk {

class ViewImpl {
 public:
  virtual ~ViewImpl() = default;

  // The Table this view's values live in (never null).
  virtual Table* table() const = 0;
  virtual const std::vector<Property>& Props() const = 0;

  // Brings the row map up to date with the Table.
  virtual void Refresh() = 0;
  virtual int RowCountFast() const = 0;
  virtual int TableRowFast(int row) const = 0;
  virtual int TableCol(int col) const = 0;
  // The row of the immediate base that `row` stands for.
  virtual int BaseRowFast(int row) const = 0;

  // Row set changes made through this view (see view.h for their meaning).
  virtual void Insert(int pos, int count) = 0;
  virtual void Remove(int pos, int count) = 0;
  // The position in table() where InsertRowFrom places a new row given `pos`.
  virtual int InsertionPoint(int pos) = 0;

  // Table columns whose values decide this view's rows (for change stamps).
  virtual const std::vector<int>& Dependencies() const = 0;

  // The Table when this view is the Table itself (rows and columns map one
  // to one, nothing to refresh), else null: the fast path for values.
  Table* direct() const { return direct_; }

 protected:
  Table* direct_ = nullptr;
};

// A view directly over `table`.
std::shared_ptr<ViewImpl> MakeTableView(std::shared_ptr<Table> table);

}  // namespace mk
