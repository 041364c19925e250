#include "gui/report_printer.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <string>

#include "platform/mem_file_system.h"
#include "platform/test_support.h"
#include "reports/pdf_text_test_util.h"

namespace gui {
namespace {

using reports::testing::PdfPageSizes;
using reports::testing::ReportPdfPages;
using reports::testing::ReportTextPages;

class ReportPrinterTest : public ::testing::Test {
 protected:
  // Prints the reports `paths` into a PDF file through QPrinter; returns its
  // path.
  std::string Print(const std::vector<std::string>& paths) {
    const std::string pdf = folder_ / std::to_string(++printed_) + ".pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    QtReportPrinter output(printer, nullptr);
    for (const std::string& path : paths) {
      const std::optional<app::PrintedReport> report = app::ReadPrintedReport(files_, path);
      if (!report) {
        ADD_FAILURE() << path << " cannot be read";
        continue;
      }
      EXPECT_TRUE(output.Print(*report)) << path;
    }
    return pdf;
  }

  platform::MemFileSystem files_;
  platform::testing::TempFolder folder_;
  int printed_ = 0;
};

// Two landscape pages with a Windows-1252 "é" and a tab, as the reports write.
constexpr char kComprehensive[] = "  LOG\tCaf\xE9 1/2\n\n   12  34.5\n\fPage 2\n";
constexpr char kLog[] = "   1  DF   16\n   2  WH\n";

TEST_F(ReportPrinterTest, PrintsEachReportAsItsPdfCopyShowsIt) {
  files_.SetFile("/d/load.cmp", kComprehensive);
  files_.SetFile("/d/load.clg", kLog);
  for (const char* path : {"/d/load.cmp", "/d/load.clg"}) {
    const std::string pdf = Print({path});
    const std::string bytes = *files_.File(path);
    EXPECT_EQ(ReportPdfPages(pdf, path, bytes), ReportTextPages(bytes)) << path;
  }
}

TEST_F(ReportPrinterTest, EachReportGetsItsOwnSheetsOrientation) {
  files_.SetFile("/d/load.cmp", kComprehensive);
  files_.SetFile("/d/load.clg", kLog);
  const auto sizes = PdfPageSizes(Print({"/d/load.cmp", "/d/load.clg"}));
  const std::vector<std::pair<double, double>> expected{{792, 612}, {792, 612}, {612, 792}};
  EXPECT_EQ(sizes, expected);
}

}  // namespace
}  // namespace gui
