// The audit report: the load's heading and every MessageLog entry.
#include <utility>

#include "reports/char_text.h"
#include "reports/load_data.h"
#include "reports/page_layout.h"
#include "reports/report_names.h"
#include "reports/report_pdf.h"
#include "reports/report_run.h"
#include "reports/report_text.h"
#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "scaling/text_format.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"

namespace reports {

namespace col = scaling::col;
using scaling::CellText;
using tablestore::TableStore;

namespace {

// The first Load row, which the audit report prints (empty texts when there
// is none).
LoadHeader ReadAuditHeading(TableStore& store) {
  if (store.TableExists(scaling::table::kLoad) < 0) return LoadHeader();
  const tablestore::TableLease load(store, scaling::table::kLoad);
  const int slot = load.slot();
  if (slot < 0 || store.RowCount(slot) < 1) return LoadHeader();
  return ReadLoadHeader(store, slot, 0);
}

void AddAuditHeader(PageLayout& page, const ReportContext& context, const LoadHeader& h,
                    const std::string& version) {
  const auto fit = [](const std::string& label, int width, int again) {
    return FitLabel(FitLabel(label, width), again);
  };
  page.AddHeaderLine("", "V A R N O L D E  " + version, "Date: [SUB:date]");
  page.AddHeaderLine("Region: " + h.region, "-- AUDIT REPORT --", "Time: [SUB:time]    \n");
  page.AddHeaderLine(FitLabel("Type Scale: " + context.saleTypeSetting, 25) +
                         fit("UOM: " + context.unitSetting, 25, 22),
                     "", "");
  page.AddHeaderLine(FitLabel("Scale Date: " + h.sdate, 25) +
                         fit("Location: " + h.location, 25, 22) +
                         fit("Purchaser: " + h.purch, 30, 28) + FitLabel("Forest: " + h.forest, 17),
                     "", "");
  page.AddHeaderLine(FitLabel("Scale Time: " + h.stime, 25) + fit("Salename: " + h.sale, 25, 22) +
                         fit("Contract: " + h.contract, 25, 28) +
                         FitLabel("District: " + h.district, 17),
                     "", "");
  page.AddHeaderLine(FitLabel("Scaler: " + h.scaler, 25) + fit("Load Receipt: " + h.llr, 25, 22) +
                         fit("Sample Group: " + h.sg, 25, 28) +
                         scaling::Format("Merch (SAW): %4.2f", h.cull.sawCubic),
                     "", "");
  page.AddHeaderLine(
      std::string(75, ' ') + scaling::Format("Merch (PULP): %4.2f", h.cull.nonSawCubic), "", "");
  page.AddHeaderLine("", "", "");
}

// Where a message longer than its column is cut: looking left from its 33rd
// character down to its 2nd, the first blank or backslash; 0 (the start)
// when there is none. The result is a character index.
size_t MessageCut(std::string_view msg) {
  const std::vector<size_t> starts = CharStarts(msg);
  for (size_t i = 33; i >= 2; --i) {
    const char c = msg[starts[i - 1]];
    if (c == ' ' || c == '\\') return i - 1;
  }
  return 0;
}

void AddMessages(PageLayout& page, TableStore& store) {
  if (store.TableExists("MessageLog") < 0) return;
  const tablestore::TableLease log(store, "MessageLog");
  const int slot = log.slot();
  if (slot < 0) return;
  int c[5];
  const char* const kNames[5] = {"Msg", "Date", "Time", "Note", "Program"};
  for (int i = 0; i < 5; ++i) c[i] = store.ColumnIndex(slot, kNames[i]);
  for (int row = 0; row < store.RowCount(slot); ++row) {
    const std::string msg = CellText(store, slot, row, c[0]);
    const std::string fields =
        CellText(store, slot, row, c[1]) + "|" + CellText(store, slot, row, c[2]) + "|" +
        CellText(store, slot, row, c[3]) + "|" + CellText(store, slot, row, c[4]) + "|";
    if (CharCount(msg) <= 32) {
      page.FormatRow(fields + msg + "|", '|');
      continue;
    }
    const std::vector<size_t> starts = CharStarts(msg);
    const size_t cut = starts[MessageCut(msg)];
    // The row and the rest of its message stay on one page.
    page.EnsureRoom(2);
    page.FormatRow(fields + msg.substr(0, cut) + "|", '|');
    size_t rest = cut;
    while (rest < msg.size() && IsWhiteSpace(msg[rest])) ++rest;
    page.TextLine(std::string(9, ' ') + msg.substr(rest));
  }
}

// The name used when the scale file's path is unknown: the sale, or the scale
// date and time joined by "_", made fit for a file name (FileNamePart).
std::string NameFromHeading(const LoadHeader& h) {
  return FileNamePart(h.sale.empty() ? h.sdate + "_" + h.stime : h.sale);
}

std::string AuditReportPath(const ReportContext& context, const LoadHeader& heading) {
  const std::string base = context.scaleFilePath.empty() ? NameFromHeading(heading)
                                                         : ScaleFileBase(context.scaleFilePath);
  return base + ".audit";
}

}  // namespace

std::string AuditReportPath(const ReportContext& context) {
  return AuditReportPath(context, ReadAuditHeading(*context.store));
}

bool WriteAuditReport(const ReportContext& context, std::string* text) {
  TableStore& store = *context.store;
  if (!store.IsOpen()) return false;
  PageLayout page(PageLayout::ReportConstructionGeometry(), *context.clock);
  // A layout of the program's own, loaded by every report test: it always loads.
  static_cast<void>(page.LoadLayout(kPortraitLayout));
  std::string version;
  // A file without the setting shows no version, as the other reports do.
  static_cast<void>(tablestore::ReadSetting(store, tablestore::kBlockSystem,
                                            tablestore::kKeyProgramVersion, version));
  const LoadHeader heading = ReadAuditHeading(store);
  if (context.setCullFactors) context.setCullFactors(heading.cull);
  AddAuditHeader(page, context, heading, version);
  page.AddTable("Audit", 0, "\n                                      AUDIT MESSAGES\n", true);
  page.SelectTable("Audit");
  page.AddColumn("Date", 10, 'r', "", "  ", false, 1);
  page.AddColumn("Time", 5, 'r', "", "  ", false, 1);
  page.AddColumn("Identity", 30, 'l', "", "  ", false, 1);
  page.AddColumn("Program", 8, 'l', "", "  ", false, 1);
  page.AddColumn("Message", 32, 'l', "", "  ", false, 1);
  page.StartPage();
  page.TableHeading();
  AddMessages(page, store);
  page.EndPage();
  std::string report = page.TakeText();
  if (!context.scaleFilePath.empty()) {
    RemoveStaleReportTemporaries(*context.files, context.scaleFilePath, context.fileType,
                                 ReadLoadKeys(store));
  }
  const bool written = WriteReportAndPdf(context, AuditReportPath(context, heading), report,
                                         nullptr, nullptr);
  if (text != nullptr) *text = std::move(report);
  return written;
}

bool CreateAuditReport(const ReportContext& context) {
  if (!WriteAuditReport(context)) return false;
  context.ui->ShowMessage({kAuditReportCreated, "Done", platform::Icon::kInformation});
  return true;
}

std::function<void()> AuditReportHook(const ReportContext& context) {
  // The audit report accompanies the action; its failed write stays silent.
  return [context]() { static_cast<void>(CreateAuditReport(context)); };
}

}  // namespace reports
