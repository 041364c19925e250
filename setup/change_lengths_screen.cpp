#include "setup/change_lengths_screen.h"

#include <algorithm>

#include "app/application.h"
#include "grid/grid_binding.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace setup {

namespace {

constexpr char kColumns[] = "ColumnName,Description,Length,DefaultValue,Validate";
constexpr const char* kWritten[] = {"Length", "DefaultValue", "Validate"};
constexpr char kView[] = "DChangeLengths";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool ValidLength(const std::string& text) {
  const std::string number = Trimmed(text);
  if (number.empty() || number.size() > 3 ||
      !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return std::stoi(number) <= kMaxLength;
}

ChangeLengthsScreen::ChangeLengthsScreen(app::Application& app, std::string table)
    : app_(app), table_(std::move(table)) {}

ChangeLengthsScreen::~ChangeLengthsScreen() {
  binding_.reset();
  // Nothing was written through the slot; a failed release loses nothing.
  if (slot_ >= 0) (void)app_.store()->ReleaseView(slot_);
}

ChangeLengthsOpen ChangeLengthsScreen::Open() {
  tablestore::TableStore& store = *app_.store();
  slot_ = store.Select("DataDictionary", kColumns, "IsUsed=Y,TableName=" + table_, "", kView, "");
  binding_ = std::make_unique<grid::GridBinding>(store, grid_, &app_.ui);
  if (slot_ < 0 || binding_->Bind(slot_, kColumns) != 0) {
    app_.ui.ShowMessage({"The field lengths could not be read.", "Error", platform::Icon::kStop});
    return ChangeLengthsOpen::kUnreadable;
  }
  for (int row = 1; row < grid_.RowCount(); ++row) {
    grid_.SetReadOnly(row, 0, true);
    grid_.SetReadOnly(row, 1, true);
  }
  return ChangeLengthsOpen::kOpened;
}

// Writes the row's three values into its DataDictionary row; a bad length
// is added to `refused` instead.
int ChangeLengthsScreen::WriteRow(int row, std::string* refused) {
  tablestore::TableStore& store = *app_.store();
  const int viewRow = std::atoi(grid_.RowInView(row).c_str());
  for (const char* name : kWritten) {
    const int gridCol = grid_.ColumnIndex(name);
    const int viewCol = store.ColumnIndex(slot_, name);
    std::string text = grid_.Text(row, gridCol);
    if (gridCol == 2 && !ValidLength(text)) {
      *refused += grid_.Text(row, 0) + ": \"" + text + "\"\n";
      continue;
    }
    if (gridCol == 2) text = Trimmed(text);
    if (store.SetText(slot_, viewRow, viewCol, text) != 0) return -1;
  }
  return 0;
}

bool ChangeLengthsScreen::OnClose() {
  if (slot_ < 0) return true;
  tablestore::TableStore& store = *app_.store();
  std::string refused;
  int rc = 0;
  for (int row = 1; row < grid_.RowCount() && rc == 0; ++row) rc = WriteRow(row, &refused);
  if (rc == 0) rc = store.Commit();
  if (!refused.empty()) {
    app_.ui.ShowMessage({"A length must be a whole number from 0 to " + std::to_string(kMaxLength) +
                             ". These lengths were not changed:\n" + refused,
                         "Warning!", platform::Icon::kExclamation});
  }
  if (rc == 0) return true;
  app_.ui.ShowMessage({"The field lengths could not be saved.\n" + store.LastError(), "Error",
                       platform::Icon::kStop});
  return false;
}

}  // namespace setup
