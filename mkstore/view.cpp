#include "mkstore/view.h"

#include <algorithm>

#include "mkstore/compare.h"
#include "mkstore/structure.h"
#include "mkstore/view_impl.h"

namespace mk {
namespace {

class TableView : public ViewImpl {
 public:
  explicit TableView(std::shared_ptr<Table> table) : table_(std::move(table)) {
    direct_ = table_.get();
  }
  Table* table() const override { return table_.get(); }
  const std::vector<Property>& Props() const override { return table_->props(); }
  void Refresh() override {}
  int RowCountFast() const override { return table_->rows(); }
  int TableRowFast(int row) const override { return row; }
  int TableCol(int col) const override { return col; }
  int BaseRowFast(int row) const override { return row; }
  void Insert(int pos, int count) override { table_->InsertRows(pos, count); }
  void Remove(int pos, int count) override { table_->RemoveRows(pos, count); }
  int InsertionPoint(int pos) override { return pos; }
  const std::vector<int>& Dependencies() const override { return noDeps_; }

 private:
  std::shared_ptr<Table> table_;
  std::vector<int> noDeps_;
};

// Project: the base's rows, a chosen subset of its columns.
class ProjectView : public ViewImpl {
 public:
  ProjectView(std::shared_ptr<ViewImpl> base, const std::vector<std::string>& names)
      : base_(std::move(base)), layout_(base_->table()->layoutStamp()) {
    for (const std::string& name : names) {
      for (size_t c = 0; c < base_->Props().size(); ++c) {
        if (SameName(base_->Props()[c].name, name)) {
          colMap_.push_back(static_cast<int>(c));
          props_.push_back(base_->Props()[c]);
          break;
        }
      }
    }
  }
  Table* table() const override { return base_->table(); }
  const std::vector<Property>& Props() const override { return props_; }
  void Refresh() override { base_->Refresh(); }
  int RowCountFast() const override { return Stale() ? 0 : base_->RowCountFast(); }
  int TableRowFast(int row) const override { return base_->TableRowFast(row); }
  int TableCol(int col) const override { return base_->TableCol(colMap_[col]); }
  int BaseRowFast(int row) const override { return row; }
  void Insert(int pos, int count) override { base_->Insert(pos, count); }
  void Remove(int pos, int count) override { base_->Remove(pos, count); }
  int InsertionPoint(int pos) override { return base_->InsertionPoint(pos); }
  const std::vector<int>& Dependencies() const override { return base_->Dependencies(); }

 private:
  // Column numbers mean nothing once the table was restructured.
  bool Stale() const { return table()->layoutStamp() != layout_; }

  std::shared_ptr<ViewImpl> base_;
  uint64_t layout_;
  std::vector<int> colMap_;
  std::vector<Property> props_;
};

// Select, SelectRange and SortOn: a map from this view's rows to the base's,
// rebuilt when the rows or any column it depends on changed.
class RowMapView : public ViewImpl {
 public:
  struct Condition {
    int tableCol;
    CriteriaValue value;
    int lowest;   // the comparison result must be >= lowest ...
    int highest;  // ... and <= highest
  };

  // A selection: rows meeting every condition.
  RowMapView(std::shared_ptr<ViewImpl> base, std::vector<Condition> conditions)
      : base_(std::move(base)), conditions_(std::move(conditions)) {
    for (const Condition& c : conditions_) deps_.push_back(c.tableCol);
    Init();
  }

  // A sort on these table columns.
  RowMapView(std::shared_ptr<ViewImpl> base, std::vector<int> sortCols)
      : base_(std::move(base)), sortCols_(std::move(sortCols)) {
    deps_ = sortCols_;
    Init();
  }

  Table* table() const override { return base_->table(); }
  const std::vector<Property>& Props() const override { return base_->Props(); }

  void Refresh() override {
    base_->Refresh();
    const uint64_t stamp = table()->Stamp(deps_);
    if (stamp == stamp_) return;
    stamp_ = stamp;
    // Column numbers mean nothing once the table was restructured.
    if (table()->layoutStamp() != layout_) {
      rows_.clear();
      return;
    }
    Rebuild();
  }

  int RowCountFast() const override { return static_cast<int>(rows_.size()); }
  int TableRowFast(int row) const override { return base_->TableRowFast(rows_[row]); }
  int TableCol(int col) const override { return base_->TableCol(col); }
  int BaseRowFast(int row) const override { return rows_[row]; }

  void Insert(int pos, int count) override { table()->InsertRows(table()->rows(), count); }

  void Remove(int pos, int count) override {
    std::vector<int> doomed;
    for (int r = pos; r < pos + count; ++r) doomed.push_back(TableRowFast(r));
    std::sort(doomed.rbegin(), doomed.rend());
    for (int r : doomed) table()->RemoveRows(r, 1);
  }

  int InsertionPoint(int pos) override { return table()->rows(); }
  const std::vector<int>& Dependencies() const override { return deps_; }

 private:
  void Init() {
    layout_ = table()->layoutStamp();
    const std::vector<int>& more = base_->Dependencies();
    deps_.insert(deps_.end(), more.begin(), more.end());
    std::sort(deps_.begin(), deps_.end());
    deps_.erase(std::unique(deps_.begin(), deps_.end()), deps_.end());
    base_->Refresh();
    stamp_ = table()->Stamp(deps_);
    Rebuild();
  }

  bool Matches(const Table& t, int tableRow) const {
    for (const Condition& c : conditions_) {
      const int cmp = CompareToCriteria(t, tableRow, c.tableCol, c.value);
      if (cmp < c.lowest || cmp > c.highest) return false;
    }
    return true;
  }

  void Rebuild() {
    const Table& t = *table();
    const int n = base_->RowCountFast();
    rows_.clear();
    // A base that is the table itself maps rows one to one: no call per row.
    const bool direct = base_->direct() != nullptr;
    if (sortCols_.empty()) {
      for (int r = 0; r < n; ++r) {
        if (Matches(t, direct ? r : base_->TableRowFast(r))) rows_.push_back(r);
      }
      return;
    }
    std::vector<int> tableRows(n);
    for (int r = 0; r < n; ++r) tableRows[r] = direct ? r : base_->TableRowFast(r);
    rows_ = StableOrder(t, tableRows, sortCols_);
  }

  std::shared_ptr<ViewImpl> base_;
  std::vector<Condition> conditions_;
  std::vector<int> sortCols_;
  std::vector<int> deps_;
  std::vector<int> rows_;
  uint64_t stamp_ = 0;
  uint64_t layout_ = 0;
};

const Property& NoProperty() {
  static const Property none;
  return none;
}

}  // namespace

std::shared_ptr<ViewImpl> MakeTableView(std::shared_ptr<Table> table) {
  return std::make_shared<TableView>(std::move(table));
}

View::View() : View(MakeTableView(std::make_shared<Table>(std::vector<Property>()))) {}

View::View(std::shared_ptr<ViewImpl> impl)
    : impl_(std::move(impl)),
      cells_(impl_ && impl_->direct() ? &impl_->direct()->cells() : &detail::kNoCells) {}

View View::Create(std::vector<Property> properties) {
  return View(MakeTableView(std::make_shared<Table>(std::move(properties))));
}

bool View::IsValid() const { return impl_ != nullptr; }

int View::RowCount() const {
  if (!impl_) return 0;
  impl_->Refresh();
  return impl_->RowCountFast();
}

int View::PropertyCount() const { return impl_ ? static_cast<int>(impl_->Props().size()) : 0; }

const Property& View::NthProperty(int n) const {
  if (n < 0 || n >= PropertyCount()) return NoProperty();
  return impl_->Props()[n];
}

int View::FindProperty(std::string_view name) const {
  for (int c = 0; c < PropertyCount(); ++c) {
    if (SameName(impl_->Props()[c].name, name)) return c;
  }
  return -1;
}

namespace {

// Resolves (row, col) of a view to its Table cell; false when out of range.
bool Locate(ViewImpl* impl, int row, int col, int* tableRow, int* tableCol) {
  if (!impl) return false;
  impl->Refresh();
  if (row < 0 || row >= impl->RowCountFast() || col < 0 ||
      col >= static_cast<int>(impl->Props().size())) {
    return false;
  }
  *tableRow = impl->TableRowFast(row);
  *tableCol = impl->TableCol(col);
  return true;
}

// A typed read through a derived view's row map (or from no view: the
// type's zero). Out of line, so that the direct path of the getters below
// needs no stack frame: callers read many values in a row.
template <typename T, T (Table::*Get)(int, int) const>
[[gnu::noinline]] T ReadMapped(ViewImpl* impl, int row, int col) {
  int tr, tc;
  if (!Locate(impl, row, col, &tr, &tc)) return T();
  return (impl->table()->*Get)(tr, tc);
}

}  // namespace

#define MK_GETTER(Type, Name, TableName)                               \
  Type View::Name(int row, int col) const {                            \
    if (impl_ && impl_->direct()) [[likely]]                           \
      return impl_->direct()->TableName(row, col);                     \
    return ReadMapped<Type, &Table::TableName>(impl_.get(), row, col); \
  }
MK_GETTER(int32_t, GetIntSlow, GetInt)
MK_GETTER(int64_t, GetLong, GetLong)
MK_GETTER(float, GetFloatSlow, GetFloat)
MK_GETTER(double, GetDouble, GetDouble)
MK_GETTER(std::string_view, GetTextSlow, TextView)
#undef MK_GETTER

std::string View::GetBytes(int row, int col) const {
  int tr, tc;
  if (!Locate(impl_.get(), row, col, &tr, &tc) ||
      impl_->table()->TypeOf(tc) != PropertyType::kBytes)
    return std::string();
  return std::string(impl_->table()->ItemView(tr, tc));
}

#define MK_SETTER(Type, Name, TableName)                                              \
  bool View::Name(int row, int col, Type value) {                                     \
    if (impl_ && impl_->direct()) return impl_->direct()->TableName(row, col, value); \
    int tr, tc;                                                                       \
    if (!Locate(impl_.get(), row, col, &tr, &tc)) return false;                       \
    return impl_->table()->TableName(tr, tc, value);                                  \
  }
MK_SETTER(int32_t, SetInt, SetInt)
MK_SETTER(int64_t, SetLong, SetLong)
MK_SETTER(float, SetFloat, SetFloat)
MK_SETTER(double, SetDouble, SetDouble)
#undef MK_SETTER

bool View::SetString(int row, int col, std::string_view bytes) {
  int tr, tc;
  if (!Locate(impl_.get(), row, col, &tr, &tc) ||
      impl_->table()->TypeOf(tc) != PropertyType::kString)
    return false;
  return impl_->table()->SetItem(tr, tc, bytes);
}

bool View::SetBytes(int row, int col, std::string_view bytes) {
  int tr, tc;
  if (!Locate(impl_.get(), row, col, &tr, &tc) ||
      impl_->table()->TypeOf(tc) != PropertyType::kBytes)
    return false;
  return impl_->table()->SetItem(tr, tc, bytes);
}

bool View::InsertRows(int pos, int count) {
  if (!impl_ || pos < 0 || pos > RowCount()) return false;
  if (count > 0) impl_->Insert(pos, count);
  return true;
}

int View::AddRow() {
  const int row = RowCount();
  return InsertRows(row, 1) ? row : -1;
}

bool View::InsertRowFrom(int pos, const View& src, int srcRow) {
  if (!impl_ || !src.impl_ || pos < 0 || pos > RowCount() || srcRow < 0 || srcRow >= src.RowCount())
    return false;
  const Table& from = *src.impl_->table();
  const int fromRow = src.impl_->TableRowFast(srcRow);
  Table* t = impl_->table();
  const int at = impl_->InsertionPoint(pos);
  if (&from != t && src.impl_->direct()) {
    t->InsertRows(at, 1);
    t->CopyRowFrom(at, from, fromRow);
    return true;
  }
  // Copy the visible values first: the source may be this very table, or
  // show only some of its table's columns.
  Table row(src.impl_->Props());
  row.InsertRows(0, 1);
  row.CopyRowFrom(0, from, fromRow);
  t->InsertRows(at, 1);
  t->CopyRowFrom(at, row, 0);
  return true;
}

bool View::RemoveRows(int pos, int count) {
  if (!impl_ || pos < 0 || pos + std::max(count, 0) > RowCount()) return false;
  if (count > 0) impl_->Remove(pos, count);
  return true;
}

bool View::SetSize(int rows) {
  const int n = RowCount();
  if (!impl_ || rows < 0) return false;
  if (rows > n) return InsertRows(n, rows - n);
  return RemoveRows(rows, n - rows);
}

namespace {

std::vector<RowMapView::Condition> Conditions(const ViewImpl& base, const Criteria& criteria,
                                              int lowest, int highest) {
  std::vector<RowMapView::Condition> out;
  for (const auto& [name, value] : criteria) {
    for (size_t c = 0; c < base.Props().size(); ++c) {
      if (SameName(base.Props()[c].name, name)) {
        out.push_back({base.TableCol(static_cast<int>(c)), value, lowest, highest});
        break;
      }
    }
  }
  return out;
}

}  // namespace

View View::Select(const Criteria& criteria) const {
  if (!impl_) return View(nullptr);
  return View(std::make_shared<RowMapView>(impl_, Conditions(*impl_, criteria, 0, 0)));
}

View View::SelectRange(const Criteria& low, const Criteria& high) const {
  if (!impl_) return View(nullptr);
  std::vector<RowMapView::Condition> conds = Conditions(*impl_, low, 0, 1);
  for (auto& c : Conditions(*impl_, high, -1, 0)) conds.push_back(std::move(c));
  return View(std::make_shared<RowMapView>(impl_, std::move(conds)));
}

View View::SortOn(const std::vector<std::string>& properties) const {
  if (!impl_) return View(nullptr);
  std::vector<int> cols;
  for (const std::string& name : properties) {
    const int c = FindProperty(name);
    if (c >= 0) cols.push_back(impl_->TableCol(c));
  }
  return View(std::make_shared<RowMapView>(impl_, std::move(cols)));
}

View View::Project(const std::vector<std::string>& properties) const {
  if (!impl_) return View(nullptr);
  return View(std::make_shared<ProjectView>(impl_, properties));
}

View View::Clone() const {
  if (!impl_) return View(nullptr);
  return Create(impl_->Props());
}

int View::IndexInBase(int row) const {
  if (!impl_) return row;
  impl_->Refresh();
  if (row < 0 || row >= impl_->RowCountFast()) return row;
  return impl_->BaseRowFast(row);
}

std::string View::Describe() const {
  return impl_ ? DescribeFields(impl_->Props()) : std::string();
}

}  // namespace mk
