// Helpers shared by the tests that run the checks on a real scale file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sampling/log_row.h"
#include "tablestore/table_store.h"

namespace sampling::testing {

// A path in a fresh private temporary folder (removed at exit); the file
// itself does not exist yet.
std::string TempPath(const std::string& stem);

// Appends a row to the stored table `table` and writes each (column, text)
// pair into the column of that name. Opens the table in a slot for the call
// when no slot carries it. Returns the new row's index, or -1.
int Append(tablestore::TableStore& store, const std::string& table,
           const std::vector<std::pair<std::string, std::string>>& values);

// Every row of `table` (all rows, table order) as "v1|v2|..." of `columns`.
std::vector<std::string> Dump(tablestore::TableStore& store, const std::string& table,
                              const std::vector<std::string>& columns);

}  // namespace sampling::testing
