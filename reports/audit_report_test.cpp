// The audit report: written out in full for a small file, the long-message
// cut, the name without a scale file path, and the finalize hook.
#include <gtest/gtest.h>

#include "reports/report_run.h"
#include "reports/report_test_util.h"
#include "sampling/load_audit.h"

// The expected texts are laid out line by line as the report prints them;
// automatic formatting would run the lines together.
// clang-format off
namespace reports {
namespace {

using testing::B;
using testing::ScaleFile;

std::string Dashes(int n) { return std::string(static_cast<size_t>(n), '-'); }

class AuditReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::Build100Load(file_);
    context_ = file_.Context();
    context_.unitSetting = "Cubic";
    context_.saleTypeSetting = "100";
  }

  void Log(const std::string& msg) { ASSERT_EQ(file_.store().LogProgramMessage(msg), 0); }

  // One message row: date, time, identity, program, then the message cell.
  static std::string Row(const std::string& cell) {
    return "11/05/2010  14:07  Scaler 7 PegID:4711" + B(11) + "  Varnolde  " + cell + "  \n";
  }

  ScaleFile file_;
  ReportContext context_;
};

TEST_F(AuditReportTest, SmallFileInFull) {
  Log("Passed load audit");
  Log("abcdefghijklmnopqrstuvwxyz012345");   // 32 characters: one row
  Log("abcdefghijklmnopqrst uvwxyz012345");  // 33, the only blank the 21st
  Log("Failed_load_audit:_Bad_Split_code_on_Log_1");
  std::string text;
  ASSERT_TRUE(WriteAuditReport(context_, &text));
  const std::string expected =
      B(34) + "V A R N O L D E  1.0.0" + B(19) + "Date: 11/05/2010\n" +
      "Region: 06" + B(26) + "-- AUDIT REPORT --" + B(21) + "Time: 14:07    \n\n" +
      "Type Scale: 100" + B(10) + "UOM: Cubic" + B(12) + "\n" +
      "Scale Date: 20101105" + B(5) + "Location: Mill A" + B(6) + "Purchaser: Acme" + B(13) +
      "Forest: 12" + B(7) + "\n" +
      "Scale Time: 08:30" + B(8) + "Salename: S1" + B(10) + "Contract: C7" + B(16) +
      "District: 3" + B(6) + "\n" +
      "Scaler: Ann" + B(14) + "Load Receipt: 1001" + B(4) + "Sample Group: 2" + B(13) +
      "Merch (SAW): 2.00\n" +
      B(75) + "Merch (PULP): 0.50\n" +
      "\n" +
      "\n" + B(38) + "AUDIT MESSAGES\n\n" +
      "   Date      Time  " + B(11) + "Identity" + B(11) + "   Program  " + B(13) + "Message" +
      B(12) + "  \n" +
      Dashes(10) + "  " + Dashes(5) + "  " + Dashes(30) + "  " + Dashes(8) + "  " + Dashes(32) +
      "\n" +
      Row("Passed load audit" + B(15)) +
      Row("abcdefghijklmnopqrstuvwxyz012345") +
      Row("abcdefghijklmnopqrst" + B(12)) + B(9) + "uvwxyz012345\n" +
      Row(B(32)) + B(9) + "Failed_load_audit:_Bad_Split_code_on_Log_1\n" +
      // 8 header lines, the title's 3 lines, the headings, the rule, 4 rows
      // and 2 continuation lines make 19 of the 69 lines above the footer.
      std::string(50, '\n') + B(84) + "Page: 1\n";
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(text);
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(text, expected);
  EXPECT_EQ(file_.File(file_.base() + ".audit"), expected);
  EXPECT_TRUE(file_.ui().messages().empty());
}

TEST(AuditReportOf3PTest, AfterAReportRunInFull) {
  ScaleFile file;
  testing::Build3PLoad(file);
  ReportContext context = file.Context();
  context.unitSetting = "Cubic";
  context.saleTypeSetting = "3P";
  ReportChoice choice;
  choice.logReport = true;
  ASSERT_TRUE(GenerateReports(context, choice, "").ran);  // journals the load audit
  std::string text;
  ASSERT_TRUE(WriteAuditReport(context, &text));
  const std::string expected =
      B(34) + "V A R N O L D E  1.0.0" + B(19) + "Date: 11/05/2010\n" +
      "Region: 06" + B(26) + "-- AUDIT REPORT --" + B(21) + "Time: 14:07    \n\n" +
      "Type Scale: 3P" + B(11) + "UOM: Cubic" + B(12) + "\n" +
      "Scale Date: 20101105" + B(5) + "Location: Mill A" + B(6) + "Purchaser: Acme" + B(13) +
      "Forest: 12" + B(7) + "\n" +
      "Scale Time: 08:30" + B(8) + "Salename: S1" + B(10) + "Contract: C7" + B(16) +
      "District: 3" + B(6) + "\n" +
      "Scaler: Ann" + B(14) + "Load Receipt: 1001" + B(4) + "Sample Group: 2" + B(13) +
      "Merch (SAW): 2.00\n" +
      B(75) + "Merch (PULP): 0.50\n" +
      "\n" +
      "\n" + B(38) + "AUDIT MESSAGES\n\n" +
      "   Date      Time  " + B(11) + "Identity" + B(11) + "   Program  " + B(13) + "Message" +
      B(12) + "  \n" +
      Dashes(10) + "  " + Dashes(5) + "  " + Dashes(30) + "  " + Dashes(8) + "  " + Dashes(32) +
      "\n" +
      "11/05/2010  14:07  Scaler 7 PegID:4711" + B(11) + "  Varnolde  Passed load audit" + B(15) +
      "  \n" +
      std::string(55, '\n') + B(84) + "Page: 1\n";
  const std::vector<std::string> want = testing::Lines(expected);
  const std::vector<std::string> got = testing::Lines(text);
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
  }
  EXPECT_EQ(text, expected);
}

// Page 1 has room for 56 rows below its 13 heading lines: the long message
// after 55 short ones goes to page 2 with the rest of its text.
TEST_F(AuditReportTest, LongMessageStaysOnOnePageWithItsRest) {
  for (int i = 0; i < 55; ++i) Log("Passed load audit");
  Log("abcdefghijklmnopqrst uvwxyz012345");
  std::string text;
  ASSERT_TRUE(WriteAuditReport(context_, &text));
  const size_t feed = text.find('\f');
  ASSERT_NE(feed, std::string::npos);
  EXPECT_EQ(testing::Lines(text.substr(0, feed)).size(), 71u);
  EXPECT_NE(text.find(Row("abcdefghijklmnopqrst" + B(12)) + B(9) + "uvwxyz012345\n", feed),
            std::string::npos);
}

TEST_F(AuditReportTest, BackslashIsACutPoint) {
  Log("C:\\Varnolde\\Data\\Scale\\Loads\\load1001.scl opened");
  std::string text;
  ASSERT_TRUE(WriteAuditReport(context_, &text));
  // Looking left from the 33rd character the first cut point is the
  // backslash before "load1001.scl"; the rest keeps its backslash.
  EXPECT_NE(text.find(Row("C:\\Varnolde\\Data\\Scale\\Loads" + B(4)) + B(9) +
                      "\\load1001.scl opened\n"),
            std::string::npos)
      << text;
}

TEST_F(AuditReportTest, EmptyMessageLogGivesHeadingAndFooterOnly) {
  std::string text;
  ASSERT_TRUE(WriteAuditReport(context_, &text));
  const std::vector<std::string> lines = testing::Lines(text);
  // 8 header lines and the extra line feed of the second one, the title's 3
  // lines, the headings, the rule, 56 blank lines and the footer.
  ASSERT_EQ(lines.size(), 71u);
  EXPECT_EQ(lines[13], Dashes(10) + "  " + Dashes(5) + "  " + Dashes(30) + "  " + Dashes(8) +
                           "  " + Dashes(32));
  EXPECT_EQ(lines[70], B(84) + "Page: 1");
}

TEST_F(AuditReportTest, WithoutAPathTheNameComesFromTheSale) {
  context_.scaleFilePath.clear();
  ASSERT_TRUE(WriteAuditReport(context_));
  EXPECT_NE(file_.files().File("S1.audit"), nullptr);
}

TEST_F(AuditReportTest, UnwritableFileIsSilent) {
  file_.files().SetWriteFails(file_.base() + ".audit", true);
  EXPECT_FALSE(CreateAuditReport(context_));
  EXPECT_TRUE(file_.ui().messages().empty());
}

TEST_F(AuditReportTest, FinalizeWritesTheAuditReport) {
  sampling::FinalizeHooks hooks;
  hooks.journal = [this](const std::string& m) {
    return file_.store().LogProgramMessage(m) == tablestore::kOk;
  };
  hooks.storeFinalized = [](const std::string&) { return true; };
  hooks.writeAuditReport = AuditReportHook(context_);
  file_.ui().QueueAnswer(platform::Answer::kOk);
  ASSERT_EQ(sampling::FinalizeAfterAudit(0, "", file_.ui(), hooks), sampling::kFinalized);
  const std::string text = file_.File(file_.base() + ".audit");
  EXPECT_NE(text.find(Row("Load finalized" + B(18))), std::string::npos) << text;
  ASSERT_EQ(file_.ui().messages().size(), 2u);
  EXPECT_EQ(file_.ui().messages()[1].text, "Audit report created");
  EXPECT_EQ(file_.ui().messages()[1].caption, "Done");
}

}  // namespace
}  // namespace reports
// clang-format on
