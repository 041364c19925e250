#include "app/reports_screen.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"

namespace app {
namespace {

// Records what it was asked to print; refuses to start once `startFails`.
class RecordingPrinter : public ReportPrinter {
 public:
  bool Choose() override { return chosen; }
  bool Print(const PrintedReport& report) override {
    if (startFails) return false;
    firstLines.push_back(report.pages.empty() ? "" : report.pages.front().front());
    return true;
  }
  bool chosen = true;
  bool startFails = false;
  std::vector<std::string> firstLines;
};

class ReportsScreenTest : public ::testing::Test {
 protected:
  ReportsScreenTest() {
    fs_.SetFile("/d/a.cmp", "  COMPREHENSIVE\n\fPage 2\n");
    fs_.SetFile("/d/a.clg", "   1  DF   16\n");
  }

  platform::MemFileSystem fs_;
  platform::FixedClock clock_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  Application app_{ui_, fs_, clock_, "/d/"};
  std::vector<ReportChoice> runs_;
  ReportsScreen::Generate generate_ = [this](const ReportChoice& choice) {
    runs_.push_back(choice);
    app_.lastReports = {"/d/a.cmp", "/d/a.cmp.pdf", "/d/a.bva", "/d/a.clg"};
  };
};

TEST_F(ReportsScreenTest, TicksStartAsLastChosenAndGenerateKeepsThem) {
  app_.reportChoice.logReport = false;
  ReportsScreen screen(app_, generate_);
  EXPECT_FALSE(screen.view().ticks.logReport);
  EXPECT_FALSE(screen.view().checkCompareShown);  // a production file
  EXPECT_FALSE(screen.view().printEnabled);
  screen.OnTick(&ReportChoice::pdf, true);
  screen.OnTick(&ReportChoice::brevanta, false);
  screen.OnGenerate();
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_TRUE(runs_[0].pdf && !runs_[0].brevanta && !runs_[0].logReport && runs_[0].checkCompare);
  EXPECT_TRUE(app_.reportChoice.pdf && !app_.reportChoice.brevanta);
  EXPECT_TRUE(screen.view().printEnabled);

  app_.SetFileType(FileType::kCheckScale);
  EXPECT_TRUE(ReportsScreen(app_, generate_).view().checkCompareShown);
}

TEST_F(ReportsScreenTest, PrintsThePrintedReportsInOrder) {
  EXPECT_EQ(PrintableReports({"/d/a.cmp", "/d/a.cmp.pdf", "/d/a.clg", "/d/a.bva", "/d/a.audit"}),
            (std::vector<std::string>{"/d/a.cmp", "/d/a.clg", "/d/a.audit"}));
  ReportsScreen screen(app_, generate_);
  RecordingPrinter printer;
  EXPECT_EQ(screen.OnPrint(printer), PrintResult::kNothingToPrint);
  screen.OnGenerate();
  printer.chosen = false;
  EXPECT_EQ(screen.OnPrint(printer), PrintResult::kCancelled);
  printer.chosen = true;
  EXPECT_EQ(screen.OnPrint(printer), PrintResult::kPrinted);
  EXPECT_EQ(printer.firstLines, (std::vector<std::string>{"  COMPREHENSIVE", "   1  DF   16"}));
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(ReportsScreenTest, AFailureStopsPrintingAndIsShown) {
  ReportsScreen screen(app_, generate_);
  screen.OnGenerate();
  app_.lastReports.insert(app_.lastReports.begin() + 1, "/d/missing.clg");
  RecordingPrinter printer;
  EXPECT_EQ(screen.OnPrint(printer), PrintResult::kFailed);
  EXPECT_EQ(printer.firstLines.size(), 1u);  // the report before it is printed
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text, "/d/missing.clg cannot be read as a report.");
  EXPECT_EQ(ui_.messages()[0].caption, "Print");
  EXPECT_EQ(ui_.messages()[0].icon, platform::Icon::kStop);

  printer.startFails = true;
  app_.lastReports = {"/d/a.clg"};
  EXPECT_EQ(screen.OnPrint(printer), PrintResult::kFailed);
  EXPECT_EQ(ui_.messages().back().text, "The printer could not be started.");
}

}  // namespace
}  // namespace app
