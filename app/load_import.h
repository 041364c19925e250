// Importing a load from a text file: the header, logs, segments, defects and
// sampling frequencies of a load, as a field office receives them, appended
// to the tables of an open scale file.
//
// The file is in the table store's import text format: lines before the
// first section are ignored; each section is a line beginning with "[" that
// names one of the tables Load, Log, Seg, DefC, DefB or KZ, then that
// table's description line ("Log[LOG:I,S:S,...]", anything after its first
// "]" ignored), one line of column titles, and one data line per row (values
// separated by ",", "^" standing for ","; empty lines skipped) up to the next
// line beginning with "[". A table may have several sections. A leading
// UTF-8 byte order mark is dropped. A text that is well-formed UTF-8 is read
// as UTF-8 (what Linux editors write); any other as Windows-1252 (what the
// handheld and Windows spreadsheets write).
//
// Unlike the store's ImportView, which adds empty rows and needs the file's
// description to equal the table's, each row here is added the way a screen
// adds one (TableStore::AddRow with the DataDictionary defaults) and the
// file's values are written into the columns of the same name: the file may
// list fewer columns, or list them in another order, and the columns it
// leaves out, or leaves empty, keep their defaults (VOID 0, HIT -1, ...).
//
// A new scale file's Load table holds one row without SALE and LLR, added
// when the file was opened; the first imported Load row is written into such
// a row instead of beside it, so that the imported header is the file's first
// load.
//
// A KZ row of the text takes the place of the file's KZ rows with the same
// SP and P (the setup's default row among them), so that one SP and P never
// has two frequencies.
//
// Nothing that could damage a load is taken; every refusal names the line
// of the text it is about. Before anything is written the import is refused
// for: an unknown section, a description for another table, a column the
// table lacks; a titles line that reads as a row of its section (a number in
// a number column: the titles line is missing, and the row would be lost),
// a titles line that begins a section, a Load section without rows, a text
// without any row; a value its column cannot hold as it stands ("4x4" or
// "thirty" in a number column, a whole number out of range, a float that
// would be infinite), named by its line, column and value; a SALE or LLR
// with a comma (every selection of a load's rows splits its criteria at
// commas); a Load row whose SALE and LLR the file or the text already holds
// (letter case ignored, as the selections ignore it), unless replacing; and
// load data for a setup file (only KZ sections may go into one). After the
// rows are written: a Load row without SALE and LLR is refused; every Log,
// Seg, DefC and DefB row must belong, by its SALE and LLR as stored, to a
// Load row of the text (never to another load of the file, nor to none);
// a KZ row's SP and P may come once; the log and defect checks of the data
// entry screen run on every imported log (sampling::CheckLog with the
// segments and defects as imported, read once per load,
// sampling::CheckDefectGrid per segment); and every imported segment and
// defect row must belong to a log of the file and have no negative length
// or measurement. Errors refuse the import; warnings are reported and the
// import goes on. Nothing is committed: the caller commits the rows together
// with its journal entry, so that a file never has one without the other.
//
// Thread safety: as TableStore (one thread).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tablestore/table_store.h"

namespace app {

// The tables a load file may fill, in the order their sections are written.
inline constexpr const char* kLoadTables[] = {"Load", "Log", "Seg", "DefC", "DefB", "KZ"};

// How to import.
struct ImportOptions {
  // A Load row whose SALE and LLR the file holds replaces that load: its
  // Load row takes the text's values (keeping its place, and the values of
  // columns the text leaves out), and its Log, Seg, DefC and DefB rows are
  // removed.
  bool replace = false;
  // The file is a setup file: only KZ sections are taken.
  bool setupFile = false;
};

// What an import did: rows added per table (in the order of kLoadTables,
// tables without rows left out), the loads replaced, the findings of the
// checks, or why it was refused.
struct ImportSummary {
  std::vector<std::pair<std::string, int>> rows;
  int logs = 0;                       // Log rows added
  std::vector<std::string> replaced;  // "SALE <sale> LLR <llr>" of each load replaced
  // How the text's non-ASCII bytes were read: "UTF-8", "Windows-1252", or
  // "" for a text of ASCII only.
  std::string encoding;
  // Findings of the checks, one line each without a line break, starting
  // with the text's line number ("line 12: Log 3: Invalid SP code").
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  std::string error;  // empty on success; one line, without a line break
};

// Imports the sections of `bytes` (the file's contents) into the open file of
// `store`, without committing. Returns 0 with `summary` filled: the caller
// commits (with its journal entry, LogProgramMessage). -1 with
// `summary->error` set when the text is refused, or when a table is missing
// from the file or cannot be opened; -2 when no file is open. After -1 the
// store may hold changes of the import that were not committed: the caller
// closes it without committing (TableStore::Close), which drops them.
// REQUIRES: summary != nullptr.
[[nodiscard]] int ImportLoadText(tablestore::TableStore& store, std::string_view bytes,
                                 const ImportOptions& options, ImportSummary* summary);

}  // namespace app
