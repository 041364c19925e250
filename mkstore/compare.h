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
// number, or 0; number to text: its shortest decimal form; for F columns
// the number is narrowed to float first, as Metakit's typed criteria row
// would hold it). Subview cells
// compare equal to anything. REQUIRES: (row, col) is a cell of `t`.
int CompareToCriteria(const Table& t, int row, int col, const CriteriaValue& value);

// The stable ascending order of `rows` (rows of `t`) on the columns `cols`,
// compared in turn the way SortOn orders them (NaN before all numbers, -0.0
// equal to 0.0): returns positions into `rows`.
// REQUIRES: every entry of `cols` is a column of `t`, every row exists.
std::vector<int> StableOrder(const Table& t, const std::vector<int>& rows,
                             const std::vector<int>& cols);

}  // namespace mk
