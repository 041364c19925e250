// The main screen's Load Info step with the real load information screen in
// place of the dialog: what the scaler types reaches the header audit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/main_screen.h"
#include "app/test_files.h"
#include "loadinfo/load_info_screen.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace loadinfo {
namespace {

constexpr const char* kDemoSales = VARNOLDE_DATA_DIR "/demo/sales.csv";

class LoadInfoStepTest : public ::testing::Test {
 protected:
  // The load information screen opens for real, and the test types into it.
  LoadInfoStepTest() {
    screens_.loadInfo = [this](app::Application& app) {
      LoadInfoScreen screen(app, ui_);
      if (screen.Open() == LoadInfoOpen::kOpened && typing_) typing_(screen);
    };
  }

  // Makes a scale file from the bundled setup and opens it on the main screen.
  std::string Open() {
    const std::string path = folder_ / "load.scl";
    EXPECT_TRUE(app::testing::MakeScaleFile(clock_, path));
    ui_.QueueOpenFile(path);
    main_.OnEditExistingFile();
    EXPECT_EQ(main_.view().filePath, path);
    return path;
  }

  static void Type(LoadInfoScreen& s, const std::string& field, const std::string& text) {
    ASSERT_TRUE(s.grid().SetCurrentCell(s.FieldRow(field), kValueColumn));
    ASSERT_TRUE(s.grid().BeginEdit());
    ASSERT_TRUE(s.grid().CommitEdit(text));
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2026, 7, 15, 7, 42, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::testing::RecordingScreens screens_;
  std::function<void(LoadInfoScreen&)> typing_;
  app::Application app_{ui_, fs_, clock_, folder_.path()};
  app::MainScreen main_{app_, screens_};
};

TEST_F(LoadInfoStepTest, AFailingHeaderIsShownJournaledAndClosesDataEntry) {
  const std::string path = Open();
  main_.OnLoadInfo();
  const platform::Message& shown = ui_.messages().back();
  EXPECT_EQ(shown.text, "No SALE\nNo LLR\nNo CONTRACT\nNo SCALER\nNo CFSAWCU\nNo CFNONSAWCU");
  EXPECT_EQ(shown.caption, "Missing/Incorrect Load Information");
  EXPECT_EQ(shown.icon, platform::Icon::kStop);
  EXPECT_FALSE(main_.view().dataEntry);
  EXPECT_FALSE(main_.view().finalize);
  EXPECT_FALSE(main_.view().reports);
  EXPECT_EQ(app::testing::JournalMessages(path).back(),
            "Failed load information audit: No SALE, No LLR, No CONTRACT, No SCALER, No CFSAWCU, "
            "No CFNONSAWCU");
}

TEST_F(LoadInfoStepTest, AHeaderFilledFromTheSaleListPassesAndOpensDataEntry) {
  ASSERT_EQ(fs_.Copy(kDemoSales, folder_ / "sales.csv"), platform::FileResult::kOk);
  const std::string path = Open();
  typing_ = [](LoadInfoScreen& s) {
    ASSERT_TRUE(s.view().saleListAttached);
    Type(s, "SALE", "Cedar Ridge");
    Type(s, "LLR", "1001");
    Type(s, "SCALER", "J. Alvarez");
  };
  const size_t before = ui_.messages().size();
  main_.OnLoadInfo();
  EXPECT_EQ(ui_.messages().size(), before);
  EXPECT_TRUE(main_.view().dataEntry);
  EXPECT_TRUE(main_.view().reports);
  EXPECT_EQ(app::testing::JournalMessages(path).back(), "Passed header audit");
  // The sale list's factor reached the stored header.
  const std::vector<std::vector<std::string>> load = app::testing::ReadRows(path, "Load");
  ASSERT_EQ(load.size(), 1u);
  const std::string columns = "," + app::testing::ColumnNames(path, "Load") + ",";
  const size_t position = columns.find(",CFSAWCU,");
  ASSERT_NE(position, std::string::npos);
  const auto index = std::count(columns.begin(), columns.begin() + position, ',');
  EXPECT_EQ(load[0].at(index), "10.67");
}

}  // namespace
}  // namespace loadinfo
