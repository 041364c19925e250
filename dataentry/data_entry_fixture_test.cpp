#include "dataentry/data_entry_fixture.h"

#include <cctype>

#include "grid/keys.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace dataentry::testing {

HeaderValues CubicHeader(const std::string& design, const std::string& units) {
  return {{"SALE", "Cedar Ridge"}, {"LLR", "1001"}, {"ST", design},    {"SCALESYS", units},
          {"REGION", "6"},         {"FOREST", "1"}, {"DISTRICT", "3"}, {"CFSAWCU", "10.67"},
          {"CFNONSAWCU", "8"},     {"MINLEN", "8"}, {"MAXLEN", "70"},  {"MINDIA", "4"},
          {"MAXDIA", "40"}};
}

ScreenFixture::ScreenFixture() {
  app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path());
}

ScreenFixture::~ScreenFixture() {
  screen_.reset();
  app_.reset();
}

void ScreenFixture::MakeLoad(const HeaderValues& header, const HeaderValues& options) {
  path_ = folder_ / "load.scl";
  ASSERT_EQ(app_->files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
            app::FileOutcome::kCreated);
  tablestore::TableStore& store = Store();
  const int load = app_->slots().load;
  for (const auto& [column, value] : header) {
    ASSERT_EQ(store.SetText(load, 0, store.ColumnIndex(load, column), value), 0) << column;
  }
  for (const auto& [key, value] : options) {
    ASSERT_EQ(tablestore::WriteSetting(store, tablestore::kBlockOption, key, value), 0) << key;
  }
  ASSERT_EQ(store.Commit(), 0);
  Reopen();
}

void ScreenFixture::Reopen() {
  app_->files.CloseScaleFile();
  ASSERT_EQ(app_->files.OpenSequence(path_), app::FileOutcome::kOpened);
}

void ScreenFixture::OpenScreen() {
  screen_ = std::make_unique<DataEntryScreen>(*app_, nullptr);
  ASSERT_EQ(screen_->Open(), DataEntryOpen::kOpened);
}

bool ScreenFixture::Type(const std::string& column, const std::string& text) {
  return TypeAt(screen_->ShownGrid().CurrentRow(), column, text);
}

bool ScreenFixture::TypeAt(int row, const std::string& column, const std::string& text) {
  grid::CellGrid& grid = screen_->ShownGrid();
  const int c = grid.ColumnIndex(column);
  EXPECT_GE(c, 0) << column;
  if (!grid.SetCurrentCell(row, c) || grid.IsReadOnly(row, c)) return false;
  std::string typed;
  for (char ch : text) {
    const int code = ch == '.' ? grid::key::kPeriod : std::toupper(static_cast<unsigned char>(ch));
    const grid::KeyResult r = screen_->OnKeyDown(code, false);
    if (r.action != grid::KeyAction::kSwallow) typed += ch;
    if (&screen_->ShownGrid() != &grid) return false;  // the key switched grids
  }
  if (!grid.BeginEdit()) return false;
  grid.CommitEdit(typed);
  while (screen_->TakePostedDown()) Press(grid::key::kDown);
  return true;
}

void ScreenFixture::Press(int code, bool ctrl) {
  const grid::KeyResult r = screen_->OnKeyDown(code, ctrl);
  if (r.action != grid::KeyAction::kSwallow) {
    grid::CellGrid& grid = screen_->ShownGrid();
    const int key = r.action == grid::KeyAction::kReplace ? r.code : code;
    const int row = grid.CurrentRow(), column = grid.CurrentColumn();
    if (key == grid::key::kTab && column + 1 < grid.ColumnCount()) {
      grid.SetCurrentCell(row, column + 1);
    } else if (key == grid::key::kDown && row + 1 < grid.RowCount()) {
      grid.SetCurrentCell(row + 1, column);
    }
  }
  while (screen_->TakePostedDown()) Press(grid::key::kDown);
}

std::string ScreenFixture::Cell(grid::CellGrid& grid, int row, const std::string& column) {
  return grid.Text(row, grid.ColumnIndex(column));
}

std::string ScreenFixture::LastMessage() const {
  return ui_.messages().empty() ? "" : ui_.messages().back().text;
}

}  // namespace dataentry::testing
