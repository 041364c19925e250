// TableStore: the program's only gateway to the tables of a scale file or a
// setup file.
//
// A TableStore opens one storage file (a Metakit storage, through mkstore) and
// keeps up to 25 views in numbered slots (0..24). Callers hold slot numbers and
// 0-based row and column indices, and read and write single values as text or
// numbers; values are converted to and from the column's stored type
// (S text, I 32-bit integer, L 64-bit integer, F float, D double).
//
// Text: every text argument and result is UTF-8 (the program's text). Stored
// text is 8-bit Windows-1252, as the handheld wrote it; TableStore converts at
// this boundary, and a character with no 8-bit form is stored as "?". Table,
// column and view names are converted the same way.
//
// Results are small ints, never exceptions:
//    0  success (or a count / index, as each method says)
//   -1  not found, no free slot, or an invalid slot, row or column index
//   -2  no file open
//   -3  not exactly one row, or a column name that the view lacks
//   -4  the file could not be written (LastError() tells why; the file keeps
//       its last committed state)
// Nothing is ever shown to the user; callers turn results into messages.
//
// Slot kinds:
//  - a table slot (OpenAView): the stored table itself, or with `inMemory` a
//    private copy of its rows that is written back by Commit and by releasing
//    the slot;
//  - a derived slot (Select, KeyRetrieve): a live selection / range / sort /
//    projection over a source slot (its parent). Reads use the derived view;
//    writes, AddRow and RemoveRow go to the parent row it stands for, the
//    column found by name, so they land in the stored table even for columns
//    the derived view does not show. Release derived slots before their parent:
//    once the parent slot is released, writes through the derived slot are
//    refused (-1);
//  - a plain slot (GetViewIndex, MakeRowView): a name, and a standalone view
//    or none.
//
// Commits: the storage file changes only on Commit (also run by LogMessage and
// RestructureTable), on releasing an in-memory slot (which commits
// everything), and when the TableStore is destroyed.
//
// Thread safety: none. One TableStore is used from one thread (the user
// interface thread); it takes no locks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mkstore/view.h"

namespace mk {
class Storage;
class FileSystem;
}  // namespace mk

namespace platform {
class Clock;
class FileSystem;
}  // namespace platform

namespace tablestore {

namespace detail {
struct StoreState;  // the slots and the open storage (table_store_state.h)
}  // namespace detail

// Result codes shared by every operation (the values are part of the contract
// with every caller: never renumber).
inline constexpr int kOk = 0;
inline constexpr int kNotFound = -1;
inline constexpr int kNoFile = -2;
inline constexpr int kNotOneRow = -3;
inline constexpr int kWriteFailed = -4;
// Open only: another store (of this or another program) works on the file.
inline constexpr int kInUse = -5;

// Number of view slots; slots are numbered 0 .. kSlotCount - 1.
inline constexpr int kSlotCount = 25;

// The new-row default and limits of one column, from its DataDictionary row.
// All texts are UTF-8; an empty text means "none".
struct ColumnInfo {
  // 'N' none, 'C' copy from the previous row, 'I' previous row's value plus the
  // increment in defaultText (1 when empty), 'V' the fixed text defaultText.
  char defaultKind = 'N';
  std::string defaultText;
  std::string minText;
  std::string maxText;
  std::string validateText;
  int length = 0;
};

class TableStore {
 public:
  // A closed store. `fs` (borrowed, may be null for the real file system) is
  // handed to the storage engine for every file this store opens; it must
  // outlive the store.
  explicit TableStore(mk::FileSystem* fs = nullptr);
  // Commits pending changes (Commit) and closes the file (Close).
  ~TableStore();
  TableStore(const TableStore&) = delete;
  TableStore& operator=(const TableStore&) = delete;

  // ---- Platform services ----------------------------------------------------

  // Sets where journal entries take their local date and time (`clock`,
  // borrowed, must outlive the store; null: the system clock) and the device
  // identity text LogProgramMessage writes as note (as
  // platform::DeviceIdentity::Text() gives it, e.g. "Scaler 7 PegID:4711"; ""
  // until set). Kept across Open and Close.
  void SetJournalSource(const platform::Clock* clock, std::string deviceIdentity);

  // Sets the file system import files are read through (borrowed, must
  // outlive the store; null: the real one). Kept across Open and Close.
  void SetFileSystem(platform::FileSystem* files);

  // ---- Storage ------------------------------------------------------------

  // Opens (or creates, when missing; nothing is written before Commit) the
  // storage file `fileName` for reading and writing, closing any open file
  // first. `inMemoryDefault` is used whenever an operation opens a table by
  // itself (Select, KeyRetrieve, LogMessage...). Returns 0. While the store
  // is open it holds the file: every other store's Open of it, in this
  // program or another, returns kInUse (-5) until this one closes (see
  // mk::Storage). When the file is damaged or cannot be opened returns -1.
  // On failure the store stays closed (LastError() tells why).
  [[nodiscard]] int Open(const std::string& fileName, bool inMemoryDefault);

  // Releases every occupied slot (in-memory copies are written back and
  // committed, which commits everything else too), forgets the file and closes
  // the storage. Without an in-memory slot, changes made through stored views
  // and not committed are dropped. Returns 0, or -2 when nothing is open; -4
  // when an in-memory slot's commit failed (the file is closed all the same
  // and keeps its last committed state).
  [[nodiscard]] int Close();

  // Writes every in-memory slot back into its stored table (in slot order),
  // then commits the storage. Returns 0; -2 when nothing is open; -4 when the
  // engine could not write the file (LastError() tells why; the file keeps its
  // last committed state, the open store the changes).
  [[nodiscard]] int Commit();

  // True while a file is open.
  bool IsOpen() const;
  // The in-memory default given to the last Open (false when closed).
  bool InMemoryDefault() const;
  // The name given to the last successful Open; "" when closed.
  const std::string& FileName() const;
  // The engine's message for the last failed Open or Commit; "" when none.
  const std::string& LastError() const;

  // >= 0 (the table's position in the storage) when the storage has a table
  // named `name`, letter case ignored; -1 when it has none or nothing is open.
  [[nodiscard]] int TableExists(const std::string& name) const;

  // The names of the stored tables, joined by ","; "" when closed.
  const std::string& TableList() const;

  // Creates the table a Metakit description names, or restructures it when it
  // exists ("Log[LOG:I,LN:F]": columns that stay keep their data, new ones
  // start empty or zero, unlisted ones are dropped; a bare "Log" deletes the
  // table). A slot named like the table is released first (reopen it after).
  // Nothing is committed. Returns 0; -1 for a description the engine refuses
  // (nothing changes); -2 no file open; -4 the slot released first was an
  // in-memory copy whose commit failed (nothing restructured).
  [[nodiscard]] int DefineTable(const std::string& description);

  // ---- Slots ----------------------------------------------------------------

  // Opens the stored table `tableName` in the lowest free slot and returns the
  // slot. A slot already named `tableName` is released first. With `inMemory`
  // the slot holds a copy of the rows, written back on Commit and on release.
  // -1: no such table (no slot is taken) or all slots taken; -2: no file open;
  // -4: the slot released first was an in-memory copy whose commit failed.
  [[nodiscard]] int OpenAView(const std::string& tableName, bool inMemory);

  // Takes the lowest free slot, names it `name` and gives it no view (an
  // empty view with no columns). Does not check whether the name is in use.
  // -1: all slots taken; -2: no file open.
  [[nodiscard]] int GetViewIndex(const std::string& name);

  // The highest-numbered occupied slot named exactly `name` (letter case
  // matters), or -1.
  [[nodiscard]] int FindView(const std::string& name) const;

  // Frees the slot (its name, view and column information). Releasing an
  // in-memory slot first runs Commit, so its changes are saved. Returns 0
  // done; 1 the slot is empty; 2 `slot` is outside 0..24; -2 no file open;
  // -4 the slot was an in-memory copy whose commit failed: the slot is freed,
  // its changes are lost and the file keeps its last committed state.
  [[nodiscard]] int ReleaseView(int slot);

  // ReleaseView(FindView(name)); -1 when nothing is open (2 when no slot has
  // the name, as ReleaseView(-1) gives).
  [[nodiscard]] int ReleaseViewByName(const std::string& name);

  // ---- Rows and values -----------------------------------------------------
  // For all of these an empty or out-of-range slot, row or column gives -1
  // (or "" for ColumnName) and touches nothing.

  // Rows, columns, the name of column `col` of the slot's view.
  [[nodiscard]] int RowCount(int slot) const;
  [[nodiscard]] int ColumnCount(int slot) const;
  std::string ColumnName(int slot, int col) const;

  // Index of the column named `columnName` (letter case ignored), or -1.
  [[nodiscard]] int ColumnIndex(int slot, const std::string& columnName) const;

  // Inserts one row and fills it with the column defaults when column
  // information is loaded (LoadColumnInfo): 'C' copies the previous row's
  // value, 'I' adds the increment to it, 'V' writes the fixed text. The
  // previous row is `afterRow`, or the slot's last row when afterRow < 0. On a
  // table slot with afterRow >= 0 the row is inserted at afterRow + 1,
  // otherwise (appending, or any derived slot) at the end of the stored table
  // the slot stands for. Returns the new row's index in that table (which for a
  // derived slot is not an index into the derived view); -1 for an invalid
  // slot or an afterRow past the last row.
  [[nodiscard]] int AddRow(int slot, int afterRow);

  // The slot AddRow appends to for `slot`: for a derived slot the table slot at
  // the bottom of its parent chain (AddRow's result indexes that slot's view),
  // for any other slot `slot` itself. A row that a derived view does not show
  // (yet) is written through this slot. -1 for an empty or invalid slot, or
  // when a parent of the chain was released.
  int BaseSlot(int slot) const;

  // Removes row `row` (for a derived slot: the stored row it stands for) and
  // returns the number of rows left in the slot's own view; -1 when invalid.
  [[nodiscard]] int RemoveRow(int slot, int row);

  // Read the value at (row, col) of the slot's own view, converted from the
  // column's type: S text; I "%ld"; L its low 32 bits; F "%g"; D "%.15g";
  // GetInt of F/D rounds with (int)(x + 0.5) (clamped to the int range); text
  // that is not a number reads as 0. Return 0; 1 when the column's type is
  // none of S, I, L, F, D (text then untouched, numbers 0); -1 when invalid.
  // Not [[nodiscard]], unlike every other result here: a failed read leaves
  // the caller's initial value, which is what callers reading optional
  // columns want.
  int GetText(int slot, int row, int col, std::string& text) const;
  int GetInt(int slot, int row, int col, int& value) const;
  int GetFloat(int slot, int row, int col, float& value) const;

  // Write the value at (row, col), converted to the column's type: text into
  // numbers parses a leading number (12abc -> 12, abc -> 0); numbers into text
  // "%d" / "%ld" / "%g"; float into I or L (int)(v + 0.5). Through a derived
  // slot the value goes to the parent row, column found by name. Return 0; 1
  // when the column's type is none of S, I, L, F, D (nothing changes); -1 when
  // invalid (or the parent lacks the column, or was released).
  [[nodiscard]] int SetText(int slot, int row, int col, const std::string& text);
  [[nodiscard]] int SetInt(int slot, int row, int col, int value);
  [[nodiscard]] int SetLong(int slot, int row, int col, int32_t value);
  [[nodiscard]] int SetFloat(int slot, int row, int col, float value);

  // Sets `text` to name[col:T,col:T,...] (slot name, column names and type
  // letters) or, with `namesOnly`, to the column names joined by ",".
  // Returns 0; -1 for an invalid slot.
  [[nodiscard]] int DescribeView(int slot, std::string& text, bool namesOnly) const;

  // The table description recorded when the slot was opened on a stored
  // table: "Name[col:T,...]" as the storage reports it; "" for other slots.
  std::string SlotDescription(int slot) const;

  // Shows row `row` of the slot named `tableName` transposed: a new slot named
  // `viewName` (or "Row<row><tableName>" when empty) with text columns Item and
  // Value, one row per source column (its name and GetText of its value).
  // Returns the new slot; -1 when no slot is named `tableName`, the row is
  // invalid or no slot is free.
  [[nodiscard]] int MakeRowView(const std::string& tableName, int row, const std::string& viewName);

  // The inverse: writes Value of row i of the row view into column i of row
  // `row` of the slot named `tableName` (SetText), for every column that has a
  // row view row, then releases the row view. Returns the number of columns
  // written; -1 when no slot is named `tableName` or the slots are invalid.
  [[nodiscard]] int StoreRowView(const std::string& tableName, int rowViewSlot, int row);

  // ---- Selection and key retrieval ------------------------------------------

  // Makes a live derived view of the table (or of the slot already carrying
  // that name, e.g. an earlier derived view) in a new slot named `viewName`
  // (or "D" + tableName). Applied in this order, each only when given:
  //  - criteria "Col=Value,Col=Value": every column equals its value (values
  //    converted as SetText converts; text compared ignoring letter case);
  //  - range "Col=[low,high],...": low <= value <= high;
  //  - sort "Col,Col": ascending, stable;
  //  - projection "Col,Col": only those columns, in that order.
  // Blanks around names and values are dropped; names ignore letter case.
  // A table no slot carries is opened with the in-memory default and stays
  // open. Returns the new slot (the caller releases it before the source);
  // -1 no such table or no free slot; -2 no file open; -3 an argument names a
  // column the source lacks. The scratch slots "SelCrit" and "SelRCrit" are
  // taken during the call.
  [[nodiscard]] int Select(const std::string& tableName, const std::string& columnList,
                           const std::string& criteria, const std::string& sortList,
                           const std::string& viewName, const std::string& rangeCriteria);

  // Reads (store false) or writes (store true, through SetText) the value of
  // `columnName` in the single row of `tableName` matching `criteria`.
  // Returns 0 done; -3 no row or several rows matched (nothing is read or
  // written; `value` untouched); -2 the selection could not be made; -1 the
  // table could not be opened. A table that was not in a slot is opened for the
  // call and released after it, so with the in-memory default a store is
  // committed at once (-4 when that commit failed).
  [[nodiscard]] int KeyRetrieve(const std::string& tableName, const std::string& criteria,
                                const std::string& columnName, std::string& value, bool store);

  // Cuts `rest` at the first character that is any of `separators`: `token`
  // gets the part before it, blanks trimmed at both ends, and `rest` the part
  // after it. Without a separator, `token` gets all of `rest` (trimmed) and
  // `rest` becomes empty.
  static void NextToken(std::string& rest, std::string& token, std::string_view separators);

  // ---- Data dictionary --------------------------------------------------------

  // Fills the column information of the slot from DataDictionary (rows
  // TableName=<slot name>,ColumnName=<column>; a column with no row or several
  // rows keeps kind 'N'). For a derived slot the parent's information is
  // loaded. Returns 0; the negative result of opening DataDictionary; -1 for
  // an invalid slot.
  [[nodiscard]] int LoadColumnInfo(int slot);

  // The column information of column `col` of the slot (for a derived slot,
  // of the parent's column of the same name). Returns 0; -1 when the slot,
  // column or information is missing (info untouched).
  [[nodiscard]] int GetColumnInfo(int slot, int col, ColumnInfo& info) const;

  // Rebuilds the stored table `tableName` from its DataDictionary rows in the
  // order of `orderColumn` (first the rows with order > 0, then those with 0;
  // only IsUsed "Y" or "M"; blanks dropped from names; unknown types as S),
  // keeping the data of columns that stay, then commits. Any slot named
  // `tableName` is released first; reopen it afterwards. Returns 0; -1 no
  // DataDictionary row for the table, or none of its rows gives a column
  // (nothing changes), or the restructure failed; -2 no file open; -4 the
  // commit failed (the file keeps its last committed state; the open store
  // holds the new structure until it is closed without a commit).
  [[nodiscard]] int RestructureTable(const std::string& tableName, const std::string& orderColumn);

  // Sets `columnList` to the names of the table's columns shown in the order
  // of `orderColumn` (every column not marked unused when orderColumn is
  // empty), joined by ","; returns how many, or the negative result of
  // opening DataDictionary.
  [[nodiscard]] int MakeProjection(std::string& columnList, const std::string& tableName,
                                   const std::string& orderColumn);

  // Stores a choice of columns: sets `orderColumn` of every DataDictionary
  // row of the table to 0, then to 1, 2, ... for the names of `columnList` in
  // order. Returns 0; 1 when DataDictionary cannot be opened or an order
  // cannot be written; -4 when DataDictionary was opened for the call in
  // memory and its commit failed.
  [[nodiscard]] int StoreProjection(const std::string& columnList, const std::string& tableName,
                                    const std::string& orderColumn);

  // ---- Journal and import ------------------------------------------------------

  // Appends an entry to MessageLog (created from its fixed description when
  // missing) with the local date "MM/DD/YYYY" and time "HH:MM", and commits
  // (saving every other pending change of the file). Returns 0; -1 when the
  // table cannot be opened or created (or no file is open); -4 when the
  // commit failed (LastError() tells why).
  [[nodiscard]] int LogMessage(const std::string& msg, const std::string& level,
                               const std::string& note, const std::string& program);

  // LogMessage(msg, "A", <device identity>, "Varnolde"): the journal call for
  // every program event.
  [[nodiscard]] int LogProgramMessage(const std::string& msg);

  // LogMessage without its commit: the entry reaches the file with the next
  // Commit, in the same commit as the changes made before it, so that a
  // change and the entry that records it are stored together or not at all
  // (a store closed without a commit drops both). Returns 0; -1 as
  // LogMessage; -4 only when the store's in-memory default made MessageLog
  // a copy whose write-back failed.
  [[nodiscard]] int AppendMessage(const std::string& msg, const std::string& level,
                                  const std::string& note, const std::string& program);

  // AppendMessage(msg, "A", <device identity>, "Varnolde").
  [[nodiscard]] int AppendProgramMessage(const std::string& msg);

  // Imports rows from the text file `fileName` (8-bit text) into `tableName`.
  // Mode 1: skips to the section line "[...tableName...]", takes the
  // description line (created when the table is missing, else it must match
  // the table's, letter case ignored), skips one line, then reads data lines
  // ("," between values, "^" for ",") up to the next "[" line. Mode 2: the first
  // line is skipped and every other line is data. With replace 2 the table is
  // emptied first, otherwise rows are appended. A file over 32 MiB, or one
  // whose data lines times the table's columns exceed 2^20 values, is refused
  // before anything changes. Returns 0; -4 when the table was opened for the
  // call in memory and its commit failed; -1 on any other problem (logged to
  // MessageLog with level "W"); -2 no file open.
  [[nodiscard]] int ImportView(int mode, const std::string& fileName, const std::string& tableName,
                               int replace);

 private:
  std::unique_ptr<detail::StoreState> s_;
};

}  // namespace tablestore
