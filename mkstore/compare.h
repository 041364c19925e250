// Value comparison used by selections and sorting: text without regard to
// ASCII letter case (each byte lower-cased), numbers numerically, bytes as
// unsigned bytes. All functions return <0, 0 or >0 like memcmp.
#pragma once

#include "mkstore/table.h"
#include "mkstore/view.h"

namespace mk {

// Compares the value at (row, col) of `t` with a criteria value, converting
// the criteria value to the column's kind (text to number: its leading
// number, or 0; number to text: its shortest decimal form). Subview cells
// compare equal to anything. REQUIRES: (row, col) is a cell of `t`.
int CompareToCriteria(const Table& t, int row, int col, const CriteriaValue& value);

// Compares two cells of the same column of `t`. NaN sorts before all numbers.
// REQUIRES: both cells exist.
int CompareCells(const Table& t, int rowA, int rowB, int col);

}  // namespace mk
