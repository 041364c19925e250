// Test helpers for the setup screens: a scale file made from the default
// setup with the design chosen, and stand-ins for the screens and windows
// the setup screen opens.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/screens.h"
#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "setup/setup_screen.h"
#include "tablestore/table_store.h"

namespace setup::testing {

inline constexpr char kDefaultSetup[] = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";

// Records which screens were asked for.
using FakeScreens = app::testing::RecordingScreens;

// The column selection window acts through `select` (returning its OK).
class FakeWindows : public SetupWindows {
 public:
  bool SelectColumns(ColumnSelectionScreen& selection) override {
    return select ? select(selection) : false;
  }
  void ChangeLengths(const std::string& table) override { lengths.push_back(table); }
  void OtherOptions() override { ++options; }
  std::function<bool(ColumnSelectionScreen&)> select;
  std::vector<std::string> lengths;
  int options = 0;
};

class SetupFixture : public ::testing::Test {
 protected:
  SetupFixture() { app_ = std::make_unique<app::Application>(ui_, fs_, clock_, folder_.path()); }
  ~SetupFixture() override { app_.reset(); }

  // Creates "load.scl" from the default setup with the design given and
  // takes its landing fields, as the main screen does.
  void MakeLoad(const std::string& design = "100", const std::string& units = "Cubic") {
    path_ = folder_ / "load.scl";
    ASSERT_EQ(app_->files.CreateFromSetup(kDefaultSetup, path_), app::FileOutcome::kCreated);
    ASSERT_TRUE(app_->files.SetLoadDesign(design, units));
    ASSERT_EQ(Store().Commit(), 0);
    app_->TakeOpenedFile(app_->files.state());
  }
  tablestore::TableStore& Store() { return *app_->store(); }
  // Opens the setup screen (expects success).
  SetupScreen& OpenScreen() {
    screen_ = std::make_unique<SetupScreen>(*app_, screens_, windows_);
    EXPECT_EQ(screen_->Open(), SetupOpen::kOpened);
    return *screen_;
  }

  app::testing::TempFolder folder_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}, 4711};
  std::unique_ptr<app::Application> app_;
  FakeScreens screens_;
  FakeWindows windows_;
  std::unique_ptr<SetupScreen> screen_;
  std::string path_;
};

}  // namespace setup::testing
