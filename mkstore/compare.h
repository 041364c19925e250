// Value comparison used by selections and sorting: text without regard to
// ASCII letter case (each byte lower-cased), numbers numerically, bytes as
// unsigned bytes. All functions return <0, 0 or >0 like memcmp.
#pragma once

#include <vector>

#include "mkstore/table.h"
#include "mkstore/view.h"

namespace mk {

// Compares the value at (row, col) of `t` with a criteria value, converting
// the criteria value to the column's kind (text to number: its leading
// number, or 0; number to text: its shortest decimal form). Subview cells
// compare equal to anything. REQUIRES: (row, col) is a cell of `t`.
int CompareToCriteria(const Table& t, int row, int col, const CriteriaValue& value);

// Compares rows of one table on a list of columns, in order, the way
// SortOn orders them. NaN sorts before all numbers. The table must not change
// while the comparator is in use.
class RowComparator {
 public:
  // REQUIRES: every entry of `cols` is a column of `t`.
  RowComparator(const Table& t, const std::vector<int>& cols);
  // <0, 0 or >0 as row `a` sorts before, with or after row `b`.
  // REQUIRES: both rows exist.
  int operator()(int a, int b) const;

 private:
  struct Key {
    char type;
    const Column* column;
  };
  const Table& table_;
  std::vector<int> cols_;
  std::vector<Key> keys_;
};

}  // namespace mk
