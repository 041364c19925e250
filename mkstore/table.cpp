#include "mkstore/table.h"

#include <algorithm>
#include <bit>

#include "mkstore/structure.h"

namespace mk {

uint64_t Table::NextStamp() {
  // One counter for all tables: single-threaded by contract.
  static uint64_t counter = 0;
  return ++counter;
}

Table::Table(std::vector<Property> props) : props_(std::move(props)), cols_(props_.size()) {
  rowsStamp_ = NextStamp();
  DescribeAll();
}

void Table::DescribeColumn(int col) {
  detail::CellColumn& cell = cellColumns_[col];
  const Column& c = cols_[col];
  cell = detail::CellColumn();
  switch (props_[col].type) {
    case PropertyType::kInt:
    case PropertyType::kFloat:
      c.i32.Describe(props_[col].type == PropertyType::kFloat, &cell);
      break;
    case PropertyType::kString:
      // Texts with a NUL inside end at it: the engine's path finds it.
      if (!c.embeddedNul) c.items.Describe(&cell);
      break;
    case PropertyType::kLong:
    case PropertyType::kDouble:
    case PropertyType::kBytes:
    case PropertyType::kSubview:
      break;  // read through the table's own accessors
  }
}

void Table::DescribeAll() {
  // One more: what reads of a column outside the table find.
  cellColumns_.assign(cols_.size() + 1, detail::CellColumn());
  for (size_t c = 0; c < cols_.size(); ++c) DescribeColumn(static_cast<int>(c));
  cells_.rows = static_cast<uint32_t>(rows_);
  cells_.cols = static_cast<uint32_t>(cols_.size());
  cells_.columns = cellColumns_.data();
}

int Table::FindProperty(std::string_view name) const {
  for (size_t i = 0; i < props_.size(); ++i) {
    if (SameName(props_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string_view Table::ItemView(int row, int col) const {
  if (!ValidCell(row, col) ||
      (TypeOf(col) != PropertyType::kString && TypeOf(col) != PropertyType::kBytes))
    return std::string_view();
  return cols_[col].items[row];
}

std::shared_ptr<Table> Table::Sub(int row, int col) const {
  return ValidCell(row, col) && TypeOf(col) == PropertyType::kSubview ? cols_[col].subs[row]
                                                                      : nullptr;
}

void Table::TouchColumn(int col) {
  cols_[col].disk.valid = false;
  cols_[col].stamp = NextStamp();
  DescribeColumn(col);
}

bool Table::SetInt(int row, int col, int32_t v) {
  if (!ValidCell(row, col) || TypeOf(col) != PropertyType::kInt) return false;
  cols_[col].i32.Set(static_cast<size_t>(row), v);
  TouchColumn(col);
  return true;
}

bool Table::SetLong(int row, int col, int64_t v) {
  if (!ValidCell(row, col) || TypeOf(col) != PropertyType::kLong) return false;
  cols_[col].i64[row] = v;
  TouchColumn(col);
  return true;
}

bool Table::SetFloat(int row, int col, float v) {
  if (!ValidCell(row, col) || TypeOf(col) != PropertyType::kFloat) return false;
  cols_[col].i32.Set(static_cast<size_t>(row), std::bit_cast<int32_t>(v));
  TouchColumn(col);
  return true;
}

bool Table::SetDouble(int row, int col, double v) {
  if (!ValidCell(row, col) || TypeOf(col) != PropertyType::kDouble) return false;
  cols_[col].i64[row] = std::bit_cast<int64_t>(v);
  TouchColumn(col);
  return true;
}

bool Table::SetItem(int row, int col, std::string_view bytes) {
  if (!ValidCell(row, col) ||
      (TypeOf(col) != PropertyType::kString && TypeOf(col) != PropertyType::kBytes))
    return false;
  cols_[col].items.Set(static_cast<size_t>(row), bytes);
  if (bytes.find('\0') != std::string_view::npos) cols_[col].embeddedNul = true;
  TouchColumn(col);
  return true;
}

void Table::CopyRowFrom(int row, const Table& src, int srcRow) {
  for (size_t c = 0; c < props_.size(); ++c) {
    const int sc = src.FindProperty(props_[c].name);
    if (sc < 0 || src.TypeOf(sc) != TypeOf(static_cast<int>(c)) || !src.ValidCell(srcRow, sc))
      continue;
    const Column& from = src.cols_[sc];
    Column& to = cols_[c];
    switch (TypeOf(static_cast<int>(c))) {
      case PropertyType::kInt:
      case PropertyType::kFloat:
        to.i32.Set(static_cast<size_t>(row), from.i32[srcRow]);
        break;
      case PropertyType::kLong:
      case PropertyType::kDouble:
        to.i64[row] = from.i64[srcRow];
        break;
      case PropertyType::kSubview: {
        auto copy = std::make_shared<Table>(props_[c].subProperties);
        const Table& s = *from.subs[srcRow];
        copy->InsertRows(0, s.rows());
        for (int r = 0; r < s.rows(); ++r) copy->CopyRowFrom(r, s, r);
        to.subs[row] = std::move(copy);
        break;
      }
      case PropertyType::kString:
      case PropertyType::kBytes:
        to.items.Set(static_cast<size_t>(row), from.items[srcRow]);
        to.embeddedNul = to.embeddedNul || from.embeddedNul;
    }
    TouchColumn(static_cast<int>(c));
  }
}

void Table::InsertRows(int pos, int count) {
  if (count <= 0) return;
  for (size_t c = 0; c < cols_.size(); ++c) {
    Column& col = cols_[c];
    switch (props_[c].type) {
      case PropertyType::kInt:
      case PropertyType::kFloat:
        col.i32.Insert(static_cast<size_t>(pos), static_cast<size_t>(count));
        break;
      case PropertyType::kLong:
      case PropertyType::kDouble:
        col.i64.insert(col.i64.begin() + pos, count, 0);
        break;
      case PropertyType::kSubview:
        col.subs.insert(col.subs.begin() + pos, count, nullptr);
        for (int r = pos; r < pos + count; ++r) {
          col.subs[r] = std::make_shared<Table>(props_[c].subProperties);
        }
        break;
      case PropertyType::kString:
      case PropertyType::kBytes:
        col.items.Insert(static_cast<size_t>(pos), static_cast<size_t>(count));
    }
    TouchColumn(static_cast<int>(c));
  }
  rows_ += count;
  rowsStamp_ = NextStamp();
  cells_.rows = static_cast<uint32_t>(rows_);
}

void Table::RemoveRows(int pos, int count) {
  if (count <= 0) return;
  for (size_t c = 0; c < cols_.size(); ++c) {
    Column& col = cols_[c];
    switch (props_[c].type) {
      case PropertyType::kInt:
      case PropertyType::kFloat:
        col.i32.Erase(static_cast<size_t>(pos), static_cast<size_t>(count));
        break;
      case PropertyType::kLong:
      case PropertyType::kDouble:
        col.i64.erase(col.i64.begin() + pos, col.i64.begin() + pos + count);
        break;
      case PropertyType::kSubview:
        col.subs.erase(col.subs.begin() + pos, col.subs.begin() + pos + count);
        break;
      case PropertyType::kString:
      case PropertyType::kBytes:
        col.items.Erase(static_cast<size_t>(pos), static_cast<size_t>(count));
    }
    TouchColumn(static_cast<int>(c));
  }
  rows_ -= count;
  rowsStamp_ = NextStamp();
  cells_.rows = static_cast<uint32_t>(rows_);
}

void Table::ResizeColumn(int col, int rows) {
  Column& c = cols_[col];
  switch (props_[col].type) {
    case PropertyType::kInt:
    case PropertyType::kFloat:
      c.i32.AssignZeros(static_cast<size_t>(rows));
      break;
    case PropertyType::kLong:
    case PropertyType::kDouble:
      c.i64.assign(rows, 0);
      break;
    case PropertyType::kSubview:
      c.subs.resize(rows);
      for (auto& s : c.subs) s = std::make_shared<Table>(props_[col].subProperties);
      break;
    case PropertyType::kString:
    case PropertyType::kBytes:
      c.items.AssignEmpty(static_cast<size_t>(rows));
  }
  TouchColumn(col);
}

void Table::Restructure(const std::vector<Property>& props) {
  std::vector<Column> cols(props.size());
  std::vector<bool> kept(props.size(), false);
  std::vector<Property> old = std::move(props_);
  props_ = props;
  for (size_t c = 0; c < props.size(); ++c) {
    int found = -1;
    for (size_t o = 0; o < old.size(); ++o) {
      if (SameName(old[o].name, props[c].name) && old[o].type == props[c].type)
        found = static_cast<int>(o);
    }
    if (found >= 0) {
      kept[c] = true;
      cols[c] = std::move(cols_[found]);
      if (props[c].type == PropertyType::kSubview &&
          !(old[found].subProperties == props[c].subProperties)) {
        for (auto& sub : cols[c].subs) sub->Restructure(props[c].subProperties);
      }
    }
  }
  cols_ = std::move(cols);
  cellColumns_.resize(cols_.size() + 1);
  layoutStamp_ = NextStamp();
  for (size_t c = 0; c < props.size(); ++c) {
    if (!kept[c]) ResizeColumn(static_cast<int>(c), rows_);
  }
  rowsStamp_ = NextStamp();
  DescribeAll();
}

std::shared_ptr<Table> Table::DeepCopy() const {
  auto copy = std::make_shared<Table>(props_);
  copy->InsertRows(0, rows_);
  for (int r = 0; r < rows_; ++r) copy->CopyRowFrom(r, *this, r);
  return copy;
}

uint64_t Table::Stamp(const std::vector<int>& cols) const {
  uint64_t sum = rowsStamp_;
  for (int c : cols) {
    if (c >= 0 && c < static_cast<int>(cols_.size())) sum += cols_[c].stamp;
  }
  return sum;
}

}  // namespace mk
