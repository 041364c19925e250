#include "loadinfo/load_info_screen.h"

#include <algorithm>
#include <cstdio>

#include "app/application.h"
#include "grid/grid_binding.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "sampling/date_text.h"
#include "tablestore/table_store.h"

namespace loadinfo {
namespace {

constexpr const char* kLoadView = "DLoad";
constexpr const char* kRowView = "TransposedHeaderView";
// The value column's width in characters: a sale name or a remark.
constexpr int kValueWidth = 24;

// Fields that only a supervisor (loadInfoEditable) may change.
constexpr const char* kProtectedFields[] = {"SDATE", "STIME", "STATUS", "SCALESYS", "ST"};

bool IsField(const std::string& field, const char* name) {
  return platform::EqualsIgnoringAsciiCase(field, name);
}

bool IsProtected(const std::string& field) {
  return std::any_of(std::begin(kProtectedFields), std::end(kProtectedFields),
                     [&](const char* name) { return IsField(field, name); });
}

// The open file's name without its folder and extension.
std::string ScaleFileStem(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

LoadInfoScreen::LoadInfoScreen(app::Application& app, platform::Ui& ui)
    : app_(app), ui_(ui), sales_(app, ui) {
  grid_.AddListener(this);
}

LoadInfoScreen::~LoadInfoScreen() {
  OnClose();
  grid_.RemoveListener(this);
}

LoadInfoOpen LoadInfoScreen::Open() {
  const LoadInfoOpen result = OpenHeader();
  UpdateView();
  return result;
}

LoadInfoOpen LoadInfoScreen::OpenHeader() {
  tablestore::TableStore* store = app_.store();
  loadSlot_ = store == nullptr ? -1 : app_.slots().load;
  if (loadSlot_ < 0) {
    ui_.ShowMessage({kNoLoadTable, kErrorCaption, platform::Icon::kStop});
    return LoadInfoOpen::kNoLoadTable;
  }
  // A header table without rows could hold nothing: give it its first row.
  if (store->RowCount(loadSlot_) <= 0 && store->AddRow(loadSlot_, -1) < 0) {
    ShowStoreError();
    return LoadInfoOpen::kNotShown;
  }
  rowCount_ = store->RowCount(loadSlot_);
  current_ = rowCount_ - 1;
  binding_.emplace(*store, grid_, &ui_);
  if (!BuildViews()) return LoadInfoOpen::kNotShown;
  const int saleRow = FieldRow("SALE");
  const int llrRow = FieldRow("LLR");
  const int result = sales_.Import(grid_, saleRow, grid_.Text(saleRow, kValueColumn),
                                   grid_.Text(llrRow, kValueColumn));
  saleListAttached_ = result == kSaleListAttached;
  logsRecorded_ = result == kLogsRecorded;
  MarkCells();
  FillScaleDateTime();
  return LoadInfoOpen::kOpened;
}

bool LoadInfoScreen::BuildViews() {
  tablestore::TableStore& store = *app_.store();
  std::string fields;
  if (store.MakeProjection(fields, "Load", "Order2") < 0) fields.clear();
  dloadSlot_ = store.Select("Load", fields, "", "", kLoadView, "");
  if (dloadSlot_ >= 0 && current_ >= 0) FillGrid();
  if (rowViewSlot_ < 0) {
    ui_.ShowMessage({kHeaderNotShown, kErrorCaption, platform::Icon::kStop});
    return false;
  }
  return true;
}

void LoadInfoScreen::FillGrid() {
  ReleaseSlot(rowViewSlot_);
  rowViewSlot_ = app_.store()->MakeRowView(kLoadView, current_, kRowView);
  // A row view that could not be made leaves the grid empty but for its titles.
  static_cast<void>(binding_->Bind(rowViewSlot_, "Item,Value"));
  grid_.SetText(0, kFieldColumn, "Header");
  grid_.SetText(0, kValueColumn, "Value");
  // The names are shown whole; the values take the rest of the width.
  size_t longest = 0;
  for (int r = 1; r < grid_.RowCount(); ++r) {
    longest = std::max(longest, grid_.Text(r, kFieldColumn).size());
  }
  grid_.SetColumnWidth(kFieldColumn, static_cast<int>(longest) + 1);
  grid_.SetColumnWidth(kValueColumn, kValueWidth);
  for (int r = 1; r < grid_.RowCount(); ++r) grid_.SetReadOnly(r, kFieldColumn, true);
  grid_.SetCurrentCell(1, kValueColumn);
  SetFieldRules();
}

void LoadInfoScreen::SetFieldRules() {
  tablestore::TableStore& store = *app_.store();
  std::string description;
  if (store.DescribeView(dloadSlot_, description, false) != tablestore::kOk) description.clear();
  const size_t open = description.find('[');
  std::string rest = open == std::string::npos ? "" : description.substr(open + 1);
  if (!rest.empty() && rest.back() == ']') rest.pop_back();
  // A header without DataDictionary rows has no lengths; its types still hold.
  (void)store.LoadColumnInfo(dloadSlot_);
  std::string column;
  for (int r = 1; r < grid_.RowCount() && !rest.empty(); ++r) {
    tablestore::TableStore::NextToken(rest, column, ",");
    const size_t colon = column.find(':');
    const char type = colon != std::string::npos && colon + 1 < column.size() ? column[colon + 1]
                                                                              : 'S';
    tablestore::ColumnInfo info;
    if (store.GetColumnInfo(dloadSlot_, r - 1, info) != 0) info = {};
    grid_.SetRowRule(r, {grid_.Text(r, kFieldColumn), type, info.length});
  }
}

void LoadInfoScreen::MarkCells() {
  if (saleListAttached_) grid_.SetChoices(FieldRow("SALE"), kValueColumn, sales_.SaleNames());
  for (int r = 1; r < grid_.RowCount(); ++r) {
    const std::string& field = grid_.Text(r, kFieldColumn);
    const bool readOnly = (IsProtected(field) && !app_.loadInfoEditable()) ||
                          ((IsField(field, "SALE") || IsField(field, "LLR")) && logsRecorded_);
    grid_.SetCellReadOnly(r, kValueColumn, readOnly);
  }
}

void LoadInfoScreen::FillScaleDateTime() {
  const int dateRow = FieldRow("SDATE");
  const int timeRow = FieldRow("STIME");
  if (dateRow < 0 || timeRow < 0) return;
  if (!grid_.Text(dateRow, kValueColumn).empty() || !grid_.Text(timeRow, kValueColumn).empty()) {
    return;
  }
  const platform::LocalDateTime now = app_.clock.Now();
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d", now.hour, now.minute);
  grid_.SetText(dateRow, kValueColumn, sampling::TodayText(app_.clock));
  grid_.SetText(timeRow, kValueColumn, time);
}

int LoadInfoScreen::FieldRow(const std::string& field) const {
  for (int r = 1; r < grid_.RowCount(); ++r) {
    if (IsField(grid_.Text(r, kFieldColumn), field.c_str())) return r;
  }
  return -1;
}

bool LoadInfoScreen::WriteBack() {
  app_.EndLoadInfoEditing();
  if (grid_.IsEditing()) grid_.CommitEdit(grid_.EditText());
  if (rowViewSlot_ < 0) return true;
  tablestore::TableStore& store = *app_.store();
  for (const char* field : {"SALE", "LLR"}) {
    const int r = FieldRow(field);
    if (r >= 0) grid_.SetText(r, kValueColumn, TrimBlanks(grid_.Text(r, kValueColumn)));
  }
  if (binding_->WriteBackInStep() != tablestore::kOk) {
    ShowStoreError();
    return false;
  }
  // StoreRowView releases the row view once it has written (it counts the
  // values the store took); when it refuses at once the view stays ours.
  const int written = store.StoreRowView(kLoadView, rowViewSlot_, current_);
  if (written >= 0) rowViewSlot_ = -1;
  if (written != store.ColumnCount(dloadSlot_)) {
    ShowStoreError();
    return false;
  }
  return true;
}

bool LoadInfoScreen::LeaveRow() {
  if (WriteBack()) return true;
  ShowRow(current_);
  return false;
}

void LoadInfoScreen::ReleaseViews() {
  if (app_.store() == nullptr) return;
  ReleaseSlot(rowViewSlot_);
  ReleaseSlot(dloadSlot_);
  rowViewSlot_ = dloadSlot_ = -1;
}

// The row view and DLoad hold no data of their own (DLoad writes through to
// Load, which the main screen keeps open), so releasing them loses nothing
// whatever the result.
void LoadInfoScreen::ReleaseSlot(int slot) {
  if (slot >= 0) static_cast<void>(app_.store()->ReleaseView(slot));
}

void LoadInfoScreen::ShowStoreError() {
  ui_.ShowMessage({kHeaderNotStored, kErrorCaption, platform::Icon::kStop});
}

void LoadInfoScreen::OnClose() {
  if (closed_) return;
  // Written back before the screen counts as closed, so that an edit still
  // open ends as any other (a chosen sale still fills the header).
  // A refused value has been shown; the screen closes all the same.
  if (dloadSlot_ >= 0) static_cast<void>(WriteBack());
  closed_ = true;
  app_.EndLoadInfoEditing();
  ReleaseViews();
  UpdateView();
}

void LoadInfoScreen::ShowRow(int index) {
  tablestore::TableStore& store = *app_.store();
  rowCount_ = store.RowCount(loadSlot_);
  current_ = std::clamp(index, 0, std::max(rowCount_ - 1, 0));
  FillGrid();
  logsRecorded_ = app_.fileType() != app::FileType::kNonScale &&
                  sales_.LogsRecorded(grid_.Text(FieldRow("SALE"), kValueColumn),
                                      grid_.Text(FieldRow("LLR"), kValueColumn));
  MarkCells();
  UpdateView();
}

void LoadInfoScreen::OnNew() {
  if (!NewEnabled() || !LeaveRow()) return;
  if (app_.store()->AddRow(loadSlot_, -1) < 0) ShowStoreError();
  ShowRow(app_.store()->RowCount(loadSlot_) - 1);
  FillScaleDateTime();
}

void LoadInfoScreen::OnDelete() {
  if (!DeleteEnabled() || !LeaveRow()) return;
  if (app_.store()->RemoveRow(loadSlot_, current_) < 0) ShowStoreError();
  ShowRow(current_ - 1);
}

void LoadInfoScreen::OnPrevious() {
  if (PreviousEnabled() && LeaveRow()) ShowRow(current_ - 1);
}

void LoadInfoScreen::OnNext() {
  if (NextEnabled() && LeaveRow()) ShowRow(current_ + 1);
}

void LoadInfoScreen::OnFirst() {
  if (PreviousEnabled() && LeaveRow()) ShowRow(0);
}

void LoadInfoScreen::OnLast() {
  if (NextEnabled() && LeaveRow()) ShowRow(rowCount_ - 1);
}

bool LoadInfoScreen::RecordButtonsShown() const {
  return app_.fileType() != app::FileType::kProduction;
}

bool LoadInfoScreen::NewEnabled() const {
  return RecordButtonsShown() && !closed_ && dloadSlot_ >= 0;
}

// A last row is never deleted: the header table would be left empty.
bool LoadInfoScreen::DeleteEnabled() const {
  return NewEnabled() && !logsRecorded_ && rowCount_ > 1;
}

bool LoadInfoScreen::PreviousEnabled() const { return NewEnabled() && current_ > 0; }

bool LoadInfoScreen::NextEnabled() const { return NewEnabled() && current_ < rowCount_ - 1; }

void LoadInfoScreen::UpdateView() {
  view_.recordButtons = RecordButtonsShown();
  view_.newEnabled = NewEnabled();
  view_.deleteEnabled = DeleteEnabled();
  view_.previousEnabled = PreviousEnabled();
  view_.nextEnabled = NextEnabled();
  char text[48];
  std::snprintf(text, sizeof text, "%d of %d", current_ + 1, rowCount_);
  view_.position = text;
  view_.rowCount = rowCount_;
  view_.current = current_;
  view_.saleListAttached = saleListAttached_;
  view_.logsRecorded = logsRecorded_;
}

grid::KeyResult LoadInfoScreen::OnKeyDown(int code, bool ctrl) {
  if (code == grid::key::kEnter && !ctrl && !grid_.IsEditing()) {
    return grid::KeyResult::Replace(grid::key::kDown);
  }
  return grid::KeyResult::Pass();
}

void LoadInfoScreen::OnEditEnded(const grid::CellEdit& edit) {
  if (edit.column != kValueColumn || closed_) return;
  const std::string& field = grid_.Text(edit.row, kFieldColumn);
  if (IsField(field, "SALE") && saleListAttached_ && edit.newText != edit.oldText) {
    sales_.Fill(grid_, edit.newText, ScaleFileStem(app_.files.state().fileName));
  }
}

}  // namespace loadinfo
