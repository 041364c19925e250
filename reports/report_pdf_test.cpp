#include "reports/report_pdf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/text.h"
#include "reports/pdf_text_test_util.h"
#include "reports/report_file.h"
#include "reports/report_test_util.h"

namespace reports {
namespace {

using testing::PdfPageSizes;

class ReportPdfTest : public ::testing::Test {
 protected:
  ReportPdfTest() { context_.pdfCopies = true; }

  // The bytes of the in-memory file `path`, put on disk for poppler's tools;
  // returns the disk path ("" when there is no such file).
  std::string OnDisk(const std::string& path) {
    const std::string* bytes = file_.files().File(path);
    if (bytes == nullptr) return "";
    const std::string disk = folder_ / std::to_string(++written_) + ".pdf";
    std::ofstream(disk, std::ios::binary) << *bytes;
    return disk;
  }

  // The pages of the PDF copy of a report of 8-bit text `bytes` at `path`.
  std::vector<std::vector<std::string>> ReadBack(const std::string& path,
                                                 const std::string& bytes) {
    return testing::ReportPdfPages(OnDisk(PdfPath(path)), path, bytes);
  }

  // Expects the PDF copy of the report file `path` to read back page by page
  // as the report's text, on sheets of `width` x `height` points.
  void ExpectFaithfulCopy(const std::string& path, double width, double height) {
    const std::string pdf = OnDisk(PdfPath(path));
    ASSERT_FALSE(pdf.empty()) << path;
    const std::string bytes = file_.File(path);
    const auto pages = testing::ReportTextPages(bytes);
    EXPECT_EQ(testing::ReportPdfPages(pdf, path, bytes), pages) << path;
    const auto sizes = PdfPageSizes(pdf);
    EXPECT_EQ(sizes.size(), pages.size()) << path;
    for (const auto& [w, h] : sizes) {
      EXPECT_EQ(w, width) << path;
      EXPECT_EQ(h, height) << path;
    }
  }

  testing::ScaleFile file_;
  ReportContext context_ = file_.Context();
  platform::testing::TempFolder folder_;
  int written_ = 0;
};

TEST_F(ReportPdfTest, RunWritesAFaithfulPdfBesideEachPrintedReport) {
  testing::Build3PLoad(file_);
  const ReportRunResult result = GenerateReports(context_, {true, true, true}, "");
  const std::string base = file_.base();
  EXPECT_EQ(result.written,
            (std::vector<std::string>{base + ".cmp", base + ".cmp.pdf", base + ".clg",
                                      base + ".clg.pdf", base + ".bva"}));
  ExpectFaithfulCopy(base + ".cmp", 792, 612);
  ExpectFaithfulCopy(base + ".clg", 612, 792);
  EXPECT_EQ(file_.files().File(base + ".bva.pdf"), nullptr);
}

TEST_F(ReportPdfTest, TextReportsStayAsTheyAreAndPdfsOnlyWhenAsked) {
  testing::Build3PLoad(file_);
  ASSERT_TRUE(GenerateReports(context_, {true, true, false}, "").complete());
  const std::string base = file_.base();
  const std::string cmp = file_.File(base + ".cmp"), clg = file_.File(base + ".clg");
  file_.files().Delete(PdfPath(base + ".cmp"));
  file_.files().Delete(PdfPath(base + ".clg"));
  ASSERT_TRUE(GenerateReports(file_.Context(), {true, true, false}, "").complete());
  EXPECT_EQ(file_.File(base + ".cmp"), cmp);
  EXPECT_EQ(file_.File(base + ".clg"), clg);
  EXPECT_EQ(file_.files().File(PdfPath(base + ".cmp")), nullptr);
  EXPECT_EQ(file_.files().File(PdfPath(base + ".clg")), nullptr);
}

TEST_F(ReportPdfTest, AuditReportGetsItsPdf) {
  testing::Build100Load(file_);
  ASSERT_TRUE(WriteAuditReport(context_));
  ExpectFaithfulCopy(file_.base() + ".audit", 612, 792);
}

TEST_F(ReportPdfTest, PdfThatCannotBeWrittenIsReportedAndTheTextIsStillWritten) {
  testing::Build3PLoad(file_);
  const std::string clg = file_.base() + ".clg";
  file_.files().SetWriteFails(PdfPath(clg), true);
  const ReportRunResult result = GenerateReports(context_, {false, true, false}, " x");
  EXPECT_EQ(result.written, std::vector<std::string>{clg});
  EXPECT_EQ(result.failed, std::vector<std::string>{clg + ".pdf"});
  EXPECT_NE(file_.files().File(clg), nullptr);
  // The failure, with the system's reason, and no "Done" for a run that
  // did not write everything.
  ASSERT_EQ(file_.ui().messages().size(), 1u);
  const platform::Message& message = file_.ui().messages()[0];
  EXPECT_EQ(message.caption, "Error Creating File");
  EXPECT_EQ(message.text, ErrorCreatingFileText(clg + ".pdf", "Permission denied"));
  EXPECT_EQ(message.icon, platform::Icon::kStop);
}

TEST_F(ReportPdfTest, AnyTextGivesAValidPdfWithLinesCutAtTheSheetsWidth) {
  // No form feed, 300 lines of which one is far too long, characters outside
  // Windows-1252 ("ł", a broken sequence) and control characters.
  std::string text = std::string(300, 'W') + "\n";
  for (int i = 2; i <= 300; ++i) text += "line " + std::to_string(i) + " \xC5\x82\xFF\x01\n";
  const std::string path = "/data/odd.clg";
  ASSERT_TRUE(WriteReportPdf(file_.files(), path, text, &file_.ui()));
  const auto pages = ReadBack(path, platform::Utf8ToCp1252(text));
  ASSERT_EQ(pages.size(), 3u);  // 120 + 120 + 60 lines at twice the layout's density
  EXPECT_EQ(pages[0][0], std::string(104, 'W'));
  EXPECT_EQ(pages[0][1], "line 2 ??");
  EXPECT_EQ(pages[2].back(), "line 300 ??");
}

TEST_F(ReportPdfTest, CharactersOfTheEightBitTextAppearInThePdf) {
  const std::string text = "Caf\xC3\xA9 \xC2\xBD \xE2\x82\xAC \xC5\xA0 \xE2\x80\x94 \xC3\xBF\n";
  ASSERT_TRUE(WriteReportPdf(file_.files(), "/data/chars.cmp", text, &file_.ui()));
  EXPECT_EQ(ReadBack("/data/chars.cmp", platform::Utf8ToCp1252(text)),
            (std::vector<std::vector<std::string>>{{text.substr(0, text.size() - 1)}}));
}

TEST_F(ReportPdfTest, OnlyPrintedReportsGetPdfs) {
  EXPECT_FALSE(WriteReportPdf(file_.files(), "/data/load.bva", "x\n", &file_.ui()));
  EXPECT_TRUE(file_.files().files().empty());
  EXPECT_EQ(PdfPath("/data/load.cmp"), "/data/load.cmp.pdf");
}

}  // namespace
}  // namespace reports
