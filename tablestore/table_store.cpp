#include "tablestore/table_store.h"

#include <optional>
#include <variant>

#include "platform/text.h"
#include "tablestore/table_store_state.h"
#include "tablestore/value_text.h"

namespace tablestore {
namespace detail {

std::string Narrow(std::string_view utf8) { return platform::Utf8ToCp1252(utf8); }
std::string Widen(std::string_view stored) { return platform::Cp1252ToUtf8(stored); }

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string TrimLeft(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string Trim(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return TrimLeft(text.substr(0, e));
}

int LiveParent(const StoreState& s, const Slot& sl) {
  if (sl.parentSlot < 0 || sl.parentSlot >= kSlotCount) return -1;
  const Slot& p = s.slots[sl.parentSlot];
  return p.used && p.serial == sl.parentSerial ? sl.parentSlot : -1;
}

}  // namespace detail

using detail::LiveParent;
using detail::Narrow;
using detail::Slot;
using detail::StoreState;
using detail::Widen;

namespace {

// A value handed to a setter: text (UTF-8), a 32-bit integer, or a float.
using Value = std::variant<std::string, int32_t, float>;

const Slot* UsedSlot(const StoreState& s, int slot) {
  if (slot < 0 || slot >= kSlotCount || !s.slots[slot].used) return nullptr;
  return &s.slots[slot];
}

bool ValidCell(const Slot& sl, int row, int col) {
  return row >= 0 && row < sl.view.RowCount() && col >= 0 && col < sl.view.PropertyCount();
}

int LowestFreeSlot(const StoreState& s) {
  for (int i = 0; i < kSlotCount; ++i) {
    if (!s.slots[i].used) return i;
  }
  return -1;
}

// Occupies the free slot `slot` with `name` and `view`.
void TakeSlot(StoreState& s, int slot, const std::string& name, mk::View view) {
  Slot& sl = s.slots[slot];
  sl = Slot{};
  sl.used = true;
  sl.serial = s.nextSerial++;
  sl.name = name;
  sl.view = std::move(view);
}

// The row of the parent's view that row `row` of the derived slot stands for.
int MapToParent(const Slot& sl, int row) {
  for (auto it = sl.stages.rbegin(); it != sl.stages.rend() && row >= 0; ++it) {
    row = it->IndexInBase(row);
  }
  return row;
}

void RebuildTableList(StoreState& s) {
  s.tableNames.clear();
  s.tableList.clear();
  if (!s.storage) return;
  for (const std::string& name : s.storage->ViewNames()) {
    s.tableNames.push_back(Widen(name));
    if (!s.tableList.empty()) s.tableList += ',';
    s.tableList += s.tableNames.back();
  }
}

// Appends every row of `from` to `to`. False when the engine refused a row
// (only an invalid view can make it refuse).
bool AppendRows(mk::View& to, const mk::View& from) {
  for (int r = 0; r < from.RowCount(); ++r) {
    if (!to.InsertRowFrom(to.RowCount(), from, r)) return false;
  }
  return true;
}

// Sets `copy` to a standalone copy of every row of `stored`. False when a row
// was refused (the copy would then write an incomplete table back).
bool MakeMemoryCopy(const mk::View& stored, mk::View* copy) {
  *copy = stored.Clone();
  return AppendRows(*copy, stored);
}

// Replaces the rows of the stored table named like the in-memory slot by the
// slot's rows. A table that no longer exists is left alone. False (with
// s.lastError set) when the engine refused the rows.
bool WriteBack(StoreState& s, const Slot& sl) {
  mk::View stored = s.storage->GetView(Narrow(sl.name));
  if (!stored.IsValid()) return true;
  if (stored.SetSize(0) && AppendRows(stored, sl.view)) return true;
  s.lastError = "the rows of " + sl.name + " could not be written back";
  return false;
}

// A cell as its column holds it: the stored text of an S column, the value of
// an I, F or D column, and of an L column cut to 32 bits, as every typed read
// takes it. B and V columns have no typed value (nullopt).
using Cell = std::variant<std::string, int32_t, float, double>;

std::optional<Cell> ReadCell(const mk::View& v, int row, int col) {
  switch (v.NthProperty(col).type) {
    case mk::PropertyType::kString:
      return Cell(v.GetString(row, col));
    case mk::PropertyType::kInt:
      return Cell(v.GetInt(row, col));
    case mk::PropertyType::kLong:
      return Cell(static_cast<int32_t>(v.GetLong(row, col)));
    case mk::PropertyType::kFloat:
      return Cell(v.GetFloat(row, col));
    case mk::PropertyType::kDouble:
      return Cell(v.GetDouble(row, col));
    case mk::PropertyType::kBytes:
    case mk::PropertyType::kSubview:
      break;
  }
  return std::nullopt;
}

// The visitor made of one function per alternative of a variant.
template <typename... Ways>
struct Each : Ways... {
  using Ways::operator()...;
};
// clang before 17 does not deduce an aggregate's template arguments by itself.
template <typename... Ways>
Each(Ways...) -> Each<Ways...>;

int ReadText(const mk::View& v, int row, int col, std::string& text) {
  const std::optional<Cell> cell = ReadCell(v, row, col);
  if (!cell) return 1;
  text = std::visit(
      Each{[](const std::string& stored) { return Widen(stored); },
           [](int32_t i) { return FormatInt(i); }, [](float f) { return FormatFloat(f); },
           [](double d) { return FormatDouble(d); }},
      *cell);
  return kOk;
}

int ReadInt(const mk::View& v, int row, int col, int& value) {
  value = 0;
  const std::optional<Cell> cell = ReadCell(v, row, col);
  if (!cell) return 1;
  value = std::visit(
      Each{[](const std::string& stored) { return ParseLong(stored); }, [](int32_t i) { return i; },
           [](float f) { return RoundHalfUp(f); }, [](double d) { return RoundHalfUp(d); }},
      *cell);
  return kOk;
}

int ReadFloat(const mk::View& v, int row, int col, float& value) {
  value = 0.0f;
  const std::optional<Cell> cell = ReadCell(v, row, col);
  if (!cell) return 1;
  value =
      std::visit(Each{[](const std::string& stored) { return NarrowToFloat(ParseDouble(stored)); },
                      [](int32_t i) { return static_cast<float>(i); }, [](float f) { return f; },
                      [](double d) { return NarrowToFloat(d); }},
                 *cell);
  return kOk;
}

// The value as the text, integer, double it becomes in an S, I/L, F/D column.
std::string AsText(const Value& v) {
  if (const auto* t = std::get_if<std::string>(&v)) return Narrow(*t);
  if (const auto* i = std::get_if<int32_t>(&v)) return FormatInt(*i);
  return FormatFloat(std::get<float>(v));
}

int32_t AsInt(const Value& v) {
  if (const auto* t = std::get_if<std::string>(&v)) return ParseLong(*t);
  if (const auto* i = std::get_if<int32_t>(&v)) return *i;
  return RoundHalfUp(std::get<float>(v));
}

double AsDouble(const Value& v) {
  if (const auto* t = std::get_if<std::string>(&v)) return ParseDouble(*t);
  if (const auto* i = std::get_if<int32_t>(&v)) return *i;
  return std::get<float>(v);
}

int WriteOwn(mk::View& v, int row, int col, const Value& value) {
  bool done = false;
  switch (v.NthProperty(col).type) {
    case mk::PropertyType::kString:
      done = v.SetString(row, col, AsText(value));
      break;
    case mk::PropertyType::kInt:
      done = v.SetInt(row, col, AsInt(value));
      break;
    case mk::PropertyType::kLong:
      done = v.SetLong(row, col, AsInt(value));
      break;
    case mk::PropertyType::kFloat:
      done = v.SetFloat(row, col, NarrowToFloat(AsDouble(value)));
      break;
    case mk::PropertyType::kDouble:
      done = v.SetDouble(row, col, AsDouble(value));
      break;
    case mk::PropertyType::kBytes:
    case mk::PropertyType::kSubview:
      return 1;
  }
  return done ? kOk : kNotFound;
}

// Writes `value` at (row, col) of the slot, or through a derived slot into the
// parent row it stands for, the column found there by name.
int Write(StoreState& s, int slot, int row, int col, const Value& value) {
  const Slot* sl = UsedSlot(s, slot);
  if (sl == nullptr || !ValidCell(*sl, row, col)) return kNotFound;
  if (sl->parentSlot < 0) return WriteOwn(s.slots[slot].view, row, col, value);
  const int parent = LiveParent(s, *sl);
  if (parent < 0) return kNotFound;
  const int parentCol = s.slots[parent].view.FindProperty(sl->view.NthProperty(col).name);
  if (parentCol < 0) return kNotFound;
  return Write(s, parent, MapToParent(*sl, row), parentCol, value);
}

// Applies the column defaults of the loaded column information of table slot
// `target` to row `pos`, copying from row `prev` (-1: there is none). The
// row and columns are valid, so a setter refuses only a column of a type
// outside S, I, L, F, D (result 1): such a column keeps its empty value, as
// it would without a default.
void ApplyDefaults(TableStore& store, const Slot& target, int slot, int prev, int pos) {
  for (int c = 0; c < static_cast<int>(target.columnInfo.size()); ++c) {
    const ColumnInfo& info = target.columnInfo[c];
    if (info.defaultKind == 'C' && prev >= 0) {
      std::string text;
      store.GetText(slot, prev, c, text);
      (void)store.SetText(slot, pos, c, text);
    } else if (info.defaultKind == 'I' && prev >= 0) {
      int previous = 0;
      store.GetInt(slot, prev, c, previous);
      const int64_t step = info.defaultText.empty() ? 1 : ParseLong(info.defaultText);
      // The sum wraps to 32 bits, as the stored 32-bit value would.
      (void)store.SetLong(slot, pos, c,
                          static_cast<int32_t>(static_cast<uint32_t>(previous + step)));
    } else if (info.defaultKind == 'V' && !info.defaultText.empty()) {
      (void)store.SetText(slot, pos, c, info.defaultText);
    }
  }
}

}  // namespace

TableStore::TableStore(mk::FileSystem* fs) : s_(std::make_unique<StoreState>()) { s_->fs = fs; }

TableStore::~TableStore() {
  if (!IsOpen()) return;
  // A destructor cannot report: owners that must know whether the last
  // changes reached the file commit (and check) before letting the store go.
  // Close finds nothing left to commit after a successful Commit.
  (void)Commit();
  (void)Close();
}

int TableStore::Open(const std::string& fileName, bool inMemoryDefault) {
  // Opening another file is the caller's way of leaving this one: changes it
  // did not commit are dropped, as Close drops them.
  if (IsOpen()) (void)Close();
  std::unique_ptr<mk::Storage> storage;
  const mk::Status st = mk::Storage::Open(fileName, &storage, s_->fs);
  if (!st.ok()) {
    s_->lastError = st.ToString();
    return st.IsBusy() ? kInUse : kNotFound;
  }
  s_->lastError.clear();
  s_->storage = std::move(storage);
  s_->fileName = fileName;
  s_->inMemoryDefault = inMemoryDefault;
  RebuildTableList(*s_);
  return kOk;
}

int TableStore::Close() {
  if (!IsOpen()) return kNoFile;
  int result = kOk;
  for (int i = 0; i < kSlotCount; ++i) {
    if (s_->slots[i].used && ReleaseView(i) == kWriteFailed) result = kWriteFailed;
  }
  s_->storage.reset();
  s_->fileName.clear();
  RebuildTableList(*s_);
  return result;
}

int TableStore::Commit() {
  if (!IsOpen()) return kNoFile;
  for (const Slot& sl : s_->slots) {
    if (sl.used && sl.inMemory && !WriteBack(*s_, sl)) return kWriteFailed;
  }
  const mk::Status st = s_->storage->Commit();
  if (!st.ok()) {
    s_->lastError = st.ToString();
    return kWriteFailed;
  }
  return kOk;
}

bool TableStore::IsOpen() const { return s_->storage != nullptr; }
bool TableStore::InMemoryDefault() const { return IsOpen() && s_->inMemoryDefault; }
const std::string& TableStore::FileName() const { return s_->fileName; }
const std::string& TableStore::LastError() const { return s_->lastError; }
const std::string& TableStore::TableList() const { return s_->tableList; }

int TableStore::TableExists(const std::string& name) const {
  for (size_t i = 0; i < s_->tableNames.size(); ++i) {
    if (platform::EqualsIgnoringAsciiCase(s_->tableNames[i], name)) return static_cast<int>(i);
  }
  return kNotFound;
}

int TableStore::DefineTable(const std::string& description) {
  if (!IsOpen()) return kNoFile;
  std::string rest = description, tableName;
  NextToken(rest, tableName, "[");
  if (ReleaseViewByName(tableName) == kWriteFailed) return kWriteFailed;
  const mk::Status st = s_->storage->Restructure(Narrow(description));
  RebuildTableList(*s_);
  if (!st.ok()) {
    s_->lastError = st.ToString();
    return kNotFound;
  }
  return kOk;
}

int TableStore::OpenAView(const std::string& tableName, bool inMemory) {
  if (!IsOpen()) return kNoFile;
  const int existing = FindView(tableName);
  if (existing >= 0 && ReleaseView(existing) == kWriteFailed) return kWriteFailed;
  if (TableExists(tableName) < 0) return kNotFound;
  const int slot = LowestFreeSlot(*s_);
  if (slot < 0) return kNotFound;
  const mk::View stored = s_->storage->GetView(Narrow(tableName));
  mk::View view = stored;
  if (inMemory && !MakeMemoryCopy(stored, &view)) return kNotFound;
  TakeSlot(*s_, slot, tableName, std::move(view));
  Slot& sl = s_->slots[slot];
  sl.inMemory = inMemory;
  const std::string desc = stored.Describe();
  if (!desc.empty()) sl.description = tableName + "[" + Widen(desc) + "]";
  return slot;
}

int TableStore::GetViewIndex(const std::string& name) {
  if (!IsOpen()) return kNoFile;
  const int slot = LowestFreeSlot(*s_);
  if (slot >= 0) TakeSlot(*s_, slot, name, mk::View());
  return slot;
}

int TableStore::FindView(const std::string& name) const {
  for (int i = kSlotCount - 1; i >= 0; --i) {
    if (s_->slots[i].used && s_->slots[i].name == name) return i;
  }
  return kNotFound;
}

int TableStore::ReleaseView(int slot) {
  if (!IsOpen()) return kNoFile;
  if (slot < 0 || slot >= kSlotCount) return 2;
  if (!s_->slots[slot].used) return 1;
  // Committing writes this slot back together with every other in-memory one.
  // The slot is freed either way; a failed commit leaves the file as it was
  // and the copy's changes are lost, which the result says.
  const int committed = s_->slots[slot].inMemory ? Commit() : kOk;
  s_->slots[slot] = Slot{};
  return committed == kOk ? kOk : kWriteFailed;
}

int TableStore::ReleaseViewByName(const std::string& name) {
  if (!IsOpen()) return kNotFound;
  return ReleaseView(FindView(name));
}

int TableStore::RowCount(int slot) const {
  const Slot* sl = UsedSlot(*s_, slot);
  return sl == nullptr ? kNotFound : sl->view.RowCount();
}

int TableStore::ColumnCount(int slot) const {
  const Slot* sl = UsedSlot(*s_, slot);
  return sl == nullptr ? kNotFound : sl->view.PropertyCount();
}

std::string TableStore::ColumnName(int slot, int col) const {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || col < 0 || col >= sl->view.PropertyCount()) return std::string();
  return Widen(sl->view.NthProperty(col).name);
}

int TableStore::ColumnIndex(int slot, const std::string& columnName) const {
  const Slot* sl = UsedSlot(*s_, slot);
  return sl == nullptr ? kNotFound : sl->view.FindProperty(Narrow(columnName));
}

int TableStore::AddRow(int slot, int afterRow) {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || afterRow >= sl->view.RowCount()) return kNotFound;
  const bool derived = sl->parentSlot >= 0;
  int prev = afterRow >= 0 ? afterRow : sl->view.RowCount() - 1;
  // Walk down to the stored (or in-memory) table the slot stands for.
  int target = slot;
  while (s_->slots[target].parentSlot >= 0) {
    const Slot& t = s_->slots[target];
    const int parent = LiveParent(*s_, t);
    if (parent < 0) return kNotFound;
    if (prev >= 0) prev = MapToParent(t, prev);
    target = parent;
  }
  Slot& t = s_->slots[target];
  const int pos = (!derived && afterRow >= 0) ? afterRow + 1 : t.view.RowCount();
  if (!t.view.InsertRows(pos, 1)) return kNotFound;
  if (t.columnInfoLoaded) ApplyDefaults(*this, t, target, prev, pos);
  return pos;
}

int TableStore::BaseSlot(int slot) const {
  if (UsedSlot(*s_, slot) == nullptr) return kNotFound;
  int target = slot;
  while (target >= 0 && s_->slots[target].parentSlot >= 0) {
    target = LiveParent(*s_, s_->slots[target]);
  }
  return target;
}

int TableStore::RemoveRow(int slot, int row) {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || row < 0 || row >= sl->view.RowCount()) return kNotFound;
  if (sl->parentSlot < 0) {
    if (!s_->slots[slot].view.RemoveRows(row, 1)) return kNotFound;
  } else {
    const int parent = LiveParent(*s_, *sl);
    if (parent < 0 || RemoveRow(parent, MapToParent(*sl, row)) < 0) return kNotFound;
  }
  return sl->view.RowCount();
}

int TableStore::GetText(int slot, int row, int col, std::string& text) const {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || !ValidCell(*sl, row, col)) return kNotFound;
  return ReadText(sl->view, row, col, text);
}

int TableStore::GetInt(int slot, int row, int col, int& value) const {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || !ValidCell(*sl, row, col)) return kNotFound;
  return ReadInt(sl->view, row, col, value);
}

int TableStore::GetFloat(int slot, int row, int col, float& value) const {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr || !ValidCell(*sl, row, col)) return kNotFound;
  return ReadFloat(sl->view, row, col, value);
}

int TableStore::SetText(int slot, int row, int col, const std::string& text) {
  return Write(*s_, slot, row, col, Value(text));
}

int TableStore::SetInt(int slot, int row, int col, int value) {
  return Write(*s_, slot, row, col, Value(static_cast<int32_t>(value)));
}

int TableStore::SetLong(int slot, int row, int col, int32_t value) {
  return Write(*s_, slot, row, col, Value(value));
}

int TableStore::SetFloat(int slot, int row, int col, float value) {
  return Write(*s_, slot, row, col, Value(value));
}

int TableStore::DescribeView(int slot, std::string& text, bool namesOnly) const {
  const Slot* sl = UsedSlot(*s_, slot);
  if (sl == nullptr) return kNotFound;
  std::string out = namesOnly ? "" : sl->name + "[";
  for (int c = 0; c < sl->view.PropertyCount(); ++c) {
    if (c > 0) out += ',';
    out += Widen(sl->view.NthProperty(c).name);
    if (!namesOnly) out += std::string(":") + mk::TypeLetter(sl->view.NthProperty(c).type);
  }
  text = namesOnly ? out : out + "]";
  return kOk;
}

std::string TableStore::SlotDescription(int slot) const {
  const Slot* sl = UsedSlot(*s_, slot);
  return sl == nullptr ? std::string() : sl->description;
}

int TableStore::MakeRowView(const std::string& tableName, int row, const std::string& viewName) {
  const int source = FindView(tableName);
  if (source < 0 || row < 0 || row >= RowCount(source)) return kNotFound;
  const std::string name = viewName.empty() ? "Row" + std::to_string(row) + tableName : viewName;
  const int slot = GetViewIndex(name);
  if (slot < 0) return kNotFound;
  mk::View rows = mk::View::Create(
      {{"Item", mk::PropertyType::kString, {}}, {"Value", mk::PropertyType::kString, {}}});
  for (int c = 0; c < ColumnCount(source); ++c) {
    std::string value;
    GetText(source, row, c, value);
    const int r = rows.AddRow();
    // Item and Value are text columns of the view made above.
    if (r < 0 || !rows.SetString(r, 0, Narrow(ColumnName(source, c))) ||
        !rows.SetString(r, 1, Narrow(value))) {
      (void)ReleaseView(slot);  // a plain slot: nothing to commit
      return kNotFound;
    }
  }
  s_->slots[slot].view = rows;
  return slot;
}

int TableStore::StoreRowView(const std::string& tableName, int rowViewSlot, int row) {
  const int source = FindView(tableName);
  const int valueCol = ColumnIndex(rowViewSlot, "Value");
  if (source < 0 || valueCol < 0 || row < 0 || row >= RowCount(source)) return kNotFound;
  int written = 0;
  for (int c = 0; c < ColumnCount(source) && c < RowCount(rowViewSlot); ++c) {
    std::string value;
    GetText(rowViewSlot, c, valueCol, value);
    if (SetText(source, row, c, value) == kOk) ++written;
  }
  (void)ReleaseView(rowViewSlot);  // a row view is a plain slot: nothing to commit
  return written;
}

void TableStore::NextToken(std::string& rest, std::string& token, std::string_view separators) {
  const size_t cut = rest.find_first_of(separators);
  if (cut == std::string::npos) {
    token = detail::Trim(rest);
    rest.clear();
    return;
  }
  token = detail::Trim(std::string_view(rest).substr(0, cut));
  rest.erase(0, cut + 1);
}

}  // namespace tablestore
