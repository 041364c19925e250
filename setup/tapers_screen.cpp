#include "setup/tapers_screen.h"

#include <cerrno>
#include <cstdlib>

#include "app/application.h"
#include "platform/ui.h"
#include "scaling/data_model.h"
#include "tablestore/table_store.h"

namespace setup {

namespace {

constexpr const char* kRequired[] = {"SP", "REGION", "FOREST", "DISTRICT"};
constexpr char kTaper[] = "TAPER";

// The handheld's widths of 46 and 40 pixels, in the grid's characters.
constexpr int kChoiceWidth = 6;
constexpr int kTaperWidth = 5;

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> list;
  for (int n = from; n <= to; ++n) list.push_back(std::to_string(n));
  return list;
}

const std::vector<std::string>& RegionChoices() {
  static const std::vector<std::string> list = {"1", "2", "3", "4", "5", "6", "8", "9", "10"};
  return list;
}
const std::vector<std::string>& ForestChoices() {
  static const std::vector<std::string> list = Numbers(1, 25);
  return list;
}
const std::vector<std::string>& DistrictChoices() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> l = Numbers(1, 10);
    l.insert(l.begin(), "All");
    return l;
  }();
  return list;
}

// True when all of `text` is a number from kMinTaper to kMaxTaper.
bool ValidTaper(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0' && value >= kMinTaper && value <= kMaxTaper;
}

}  // namespace

TaperFindings CheckTapers(const grid::CellGrid& grid) {
  TaperFindings findings;
  const int taper = grid.ColumnIndex(kTaper);
  for (int row = 1; row < grid.RowCount(); ++row) {
    for (const char* name : kRequired) {
      const int c = grid.ColumnIndex(name);
      if (c >= 0 && grid.Text(row, c).find_first_not_of(' ') == std::string::npos) {
        ++findings.blankFields;
      }
    }
    if (!ValidTaper(taper >= 0 ? grid.Text(row, taper) : "")) findings.badTaperRows.push_back(row);
  }
  return findings;
}

std::string TaperMessage(const TaperFindings& findings) {
  if (findings.ok()) return "";
  std::string text;
  if (findings.blankFields > 0)
    text = std::to_string(findings.blankFields) + " fields are blank.\n\n";
  const std::vector<int>& rows = findings.badTaperRows;
  if (rows.size() == 1) {
    text += "Record " + std::to_string(rows[0]) + " has an invalid taper value.\n\n";
  } else if (!rows.empty()) {
    text += "Records ";
    for (size_t i = 0; i < rows.size(); ++i) {
      if (i > 0) text += i + 1 == rows.size() ? " and " : ", ";
      text += std::to_string(rows[i]);
    }
    text += " have invalid taper values.\n\n";
  }
  return text + "Please correct these errors.";
}

TapersScreen::TapersScreen(app::Application& app) : app_(app) {}

TapersScreen::~TapersScreen() {
  binding_.reset();
  // Nothing was written through the slot; a failed release loses nothing.
  if (slot_ >= 0) (void)app_.store()->ReleaseView(slot_);
}

int TapersScreen::OpenTable() {
  tablestore::TableStore& store = *app_.store();
  if (store.TableExists(scaling::table::kTapers) < 0 &&
      store.RestructureTable(scaling::table::kTapers, "Order1") != 0) {
    return -1;
  }
  slot_ = store.OpenAView(scaling::table::kTapers, false);
  if (slot_ < 0) return -1;
  // Without it new rows only lack their defaults; the table is still shown.
  (void)store.LoadColumnInfo(slot_);
  std::string list;
  if (store.MakeProjection(list, scaling::table::kTapers, "Order1") < 0) list.clear();
  binding_ = std::make_unique<grid::GridBinding>(store, grid_, &app_.ui);
  // A dictionary that lists a column the table lacks still shows the table.
  if (binding_->Bind(slot_, list) != 0 && binding_->Bind(slot_, "") != 0) return -1;
  return 0;
}

TapersOpen TapersScreen::Open() {
  if (OpenTable() != 0) {
    ShowError("The taper table could not be read.\n" + app_.store()->LastError());
    return TapersOpen::kUnreadable;
  }
  for (const char* name : {"REGION", "FOREST", "DISTRICT"}) {
    const int c = grid_.ColumnIndex(name);
    if (c >= 0) grid_.SetColumnWidth(c, kChoiceWidth);
  }
  if (const int c = grid_.ColumnIndex(kTaper); c >= 0) grid_.SetColumnWidth(c, kTaperWidth);
  for (int row = 1; row < grid_.RowCount(); ++row) SetUpRow(row);
  if (grid_.DataRowCount() == 0) OnAddRecord();
  return TapersOpen::kOpened;
}

void TapersScreen::SetUpRow(int row) {
  const auto choices = [&](const char* name, const std::vector<std::string>& list) {
    const int c = grid_.ColumnIndex(name);
    if (c >= 0) grid_.SetChoices(row, c, list);
  };
  choices("REGION", RegionChoices());
  choices("FOREST", ForestChoices());
  choices("DISTRICT", DistrictChoices());
}

void TapersScreen::OnAddRecord() {
  const int row = binding_->AppendRow();
  SetUpRow(row);
  grid_.SetCurrentCell(row, 0);
}

void TapersScreen::OnDeleteRecord() {
  if (grid_.CurrentRow() >= 1) grid_.DeleteRow(grid_.CurrentRow());
}

bool TapersScreen::OnOk() {
  const TaperFindings findings = CheckTapers(grid_);
  if (!findings.ok()) {
    app_.ui.ShowMessage({TaperMessage(findings), kFailedAuditCaption, platform::Icon::kStop});
    return false;
  }
  tablestore::TableStore& store = *app_.store();
  if (binding_->WriteBackInStep() != 0 || store.Commit() != 0) {
    ShowError("The tapers could not be saved.\n" + store.LastError());
    return false;
  }
  return true;
}

void TapersScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

}  // namespace setup
