// Helpers shared by the table store's tests.
#pragma once

#include <string>
#include <vector>

#include "tablestore/table_store.h"

namespace tablestore::testing {

// A path in a fresh private temporary folder (removed at exit); the file itself
// does not exist yet. `stem` ends the file name, e.g. "load.scl".
std::string TempPath(const std::string& stem);

// Writes `bytes` to `path`, replacing the file.
void WriteFile(const std::string& path, const std::string& bytes);

// Opens `reader` on a copy, in a fresh temporary file, of the bytes now in
// the file at `path`: what another program would read there while a store
// of the test holds the file (no second store may open it meanwhile).
// Returns the result of reader.Open.
int OpenCopyOf(TableStore& reader, const std::string& path);

// Appends one row to the table slot and writes `values` into its first
// columns with SetText; returns the new row's index.
int AppendRow(TableStore& store, int slot, const std::vector<std::string>& values);

// The value at (row, col) read with GetText ("<err N>" when GetText fails).
std::string Text(const TableStore& store, int slot, int row, int col);

// Every row of the slot as its GetText values joined by "|", one text per row.
std::vector<std::string> Rows(const TableStore& store, int slot);

}  // namespace tablestore::testing
