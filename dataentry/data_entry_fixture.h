// Test helpers for the data entry screen: a scale file made from the default
// setup with a load header, an open screen, and typing into it the way the
// grid view does (each key asked of the screen first, then Tab and Down
// moving the current cell).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/test_files.h"
#include "dataentry/data_entry_screen.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace dataentry::testing {

// The Load row of the test loads: (column, value).
using HeaderValues = std::vector<std::pair<std::string, std::string>>;

// A 3P cubic load of sale "Cedar Ridge", LLR "1001", region 6, forest 1,
// district 3, limits 8-70 ft and 4-40 in.
HeaderValues CubicHeader(const std::string& design = "3P", const std::string& units = "Cubic");

class ScreenFixture : public ::testing::Test {
 protected:
  ScreenFixture();
  ~ScreenFixture() override;

  // Creates "load.scl" from the default setup, writes `header` into its Load
  // row, the Option settings given as (key, value), and reopens it.
  void MakeLoad(const HeaderValues& header, const HeaderValues& options = {});
  // Closes the file and opens it again (the settings are read anew).
  void Reopen();
  // Opens the screen (expects success).
  void OpenScreen();
  // Runs a Globals/Load/... change on the open store and commits.
  tablestore::TableStore& Store() { return *app_->store(); }

  // Types `text` into `column` of the current row of the shown grid: moves
  // there, asks the screen about each key, starts the edit and commits the
  // characters that went through. Returns false when the cell is read-only.
  bool Type(const std::string& column, const std::string& text);
  // The same on row `row`.
  bool TypeAt(int row, const std::string& column, const std::string& text);
  // Presses a key as the grid view does; a posted Down is delivered after it.
  void Press(int code, bool ctrl = false);
  // The text of a cell of `grid`, found by column name.
  static std::string Cell(grid::CellGrid& grid, int row, const std::string& column);
  std::string LogCell(int row, const std::string& column) {
    return Cell(screen_->LogGrid(), row, column);
  }
  int LastLogRow() { return screen_->LogGrid().DataRowCount(); }
  // The text of the last message box shown; "" when none.
  std::string LastMessage() const;

  app::testing::TempFolder folder_;
  bool strictUi_ = true;  // unexpected questions fail the test
  platform::ScriptedUi ui_{[this](const std::string& f) {
    if (strictUi_) ADD_FAILURE() << f;
  }};
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}, 4711};
  std::unique_ptr<app::Application> app_;
  std::unique_ptr<DataEntryScreen> screen_;
  std::string path_;
};

}  // namespace dataentry::testing
