// The printed check scale comparison: the log report's portrait pages, one
// load after the other (each from a new page), then the overall totals.
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "reports/check_comparison.h"
#include "reports/page_layout.h"
#include "reports/report_run.h"
#include "reports/report_text.h"

namespace reports {
namespace {

constexpr char kLogsTable[] = "Logs";
constexpr char kCheckOnlyTable[] = "CheckOnly";
constexpr char kTotalsTable[] = "Totals";
constexpr char kMarkNote[] = "* species, product, length or a diameter differ";
constexpr char kOutside[] = "OUTSIDE TOLERANCE";

// `text` centred in a run of dashes `width` long.
std::string Banner(const std::string& text, int width) {
  std::string line = " " + text + " ";
  PageLayout::Pad(line, width, 'c', '-');
  return line;
}

std::string Measure(int value) { return value == 0 ? std::string() : std::to_string(value); }

// A difference of volumes, signed; "0.0" (or "0") when there is none.
std::string Signed(long tenths, bool board) {
  const std::string figure = VolumeFigure(tenths, board);
  return tenths > 0 ? "+" + figure : figure;
}

class ComparisonWriter {
 public:
  ComparisonWriter(PageLayout& page, const CheckComparison& comparison)
      : page_(page), comparison_(comparison) {}

  void Opening();
  void Load(const LoadComparison& load);
  void Overall();

 private:
  void AddTables();
  void LoadHeader(const LoadComparison& load);
  void LogLines(const LoadComparison& load);
  void CheckOnlyLines(const std::vector<UnmatchedLog>& logs);
  void NotRemeasured(const std::vector<UnmatchedLog>& logs);
  void TotalLines(const ComparisonTotals& totals, bool board, bool flagged);
  void Row(const std::string& row) { page_.FormatRow(row, '|'); }

  PageLayout& page_;
  const CheckComparison& comparison_;
};

// One column of a table: horizontal title, no prefix.
struct ColumnSpec {
  const char* title;
  int width;
  char align;
  const char* suffix;
};

void AddColumns(PageLayout& page, std::initializer_list<ColumnSpec> columns) {
  for (const ColumnSpec& c : columns)
    page.AddColumn(c.title, c.width, c.align, "", c.suffix, false, 1);
}

constexpr ColumnSpec kLog = {"LOG", 3, 'r', " "};
constexpr ColumnSpec kSplit = {"S", 1, 'c', "  "};

void ComparisonWriter::AddTables() {
  const int block = 31;  // SP to NET of one scaler, suffixes included
  page_.AddTable(kLogsTable, 0,
                 "       " + Banner("PRODUCTION", block) + "  " + Banner("CHECK", block) + "  " +
                     Banner("CHECK-PROD", 14),
                 true);
  AddColumns(page_, {kLog, kSplit});
  for (int side = 0; side < 2; ++side) {
    AddColumns(page_, {{"SP", 2, 'r', " "},
                       {"P", 1, 'c', " "},
                       {"LN", 2, 'r', " "},
                       {"SD", 2, 'r', " "},
                       {"LD", 2, 'r', " "},
                       {"DEF", 5, 'r', " "},
                       {"GROSS", 5, 'r', " "},
                       {"NET", 5, 'r', "  "}});
  }
  AddColumns(page_, {{"GROSS", 6, 'r', " "}, {"NET", 7, 'r', " "}, {"", 1, 'c', ""}});
  page_.AddTable(kCheckOnlyTable, 0, "CHECK LOGS WITHOUT A PRODUCTION LOG", true);
  AddColumns(page_, {kLog,
                     kSplit,
                     {"SP", 2, 'r', " "},
                     {"LN", 2, 'r', " "},
                     {"SD", 2, 'r', " "},
                     {"LD", 2, 'r', "  "},
                     {"", 40, 'l', ""}});
  page_.AddTable(kTotalsTable, 4, "", true);
  AddColumns(page_, {{"", 5, 'l', " "},
                     {"PRODUCTION", 10, 'r', "  "},
                     {"CHECK", 10, 'r', "  "},
                     {"DIFFERENCE", 10, 'r', "  "},
                     {"PER CENT", 8, 'r', "  "},
                     {"", 17, 'l', ""}});
}

void ComparisonWriter::Opening() {
  AddTables();
  page_.StartPage();
  page_.TextLine("Check file: " + comparison_.checkFile);
  for (const std::string& path : comparison_.productionFiles) {
    page_.TextLine("Production: " + path);
  }
  char tolerance[96];
  if (comparison_.tolerance) {
    std::snprintf(tolerance, sizeof tolerance,
                  "Tolerance:  net volume within +/-%g %% of production", *comparison_.tolerance);
  } else {
    std::snprintf(tolerance, sizeof tolerance, "Tolerance:  none given");
  }
  page_.TextLine(tolerance);
}

void ComparisonWriter::LoadHeader(const LoadComparison& load) {
  page_.SelectTable("");  // no table's headings on a page these lines start
  page_.EnsureRoom(8);
  page_.BlankLines(1);
  page_.TextLine(FitLabel("Salename: " + load.sale, 45) + "Load Receipt: " + load.llr);
  page_.TextLine(FitLabel("Scaler: " + load.scaler, 45) + "Check Scaler: " + load.checkScaler);
  page_.TextLine(FitLabel("Scale Date: " + load.scaleDate, 45) + "Check Date: " + load.checkDate);
  if (load.productionFile.empty()) {
    page_.TextLine("No production file holds this load.");
    return;
  }
  page_.TextLine(FitLabel("UOM: " + load.scaleSystem, 45) +
                 (load.board ? "Volumes in board feet (Scribner)" : "Volumes in cubic feet"));
  page_.TextLine("Production file: " + load.productionFile);
}

void ComparisonWriter::LogLines(const LoadComparison& load) {
  page_.BlankLines(1);
  page_.SelectTable(kLogsTable);
  page_.EnsureRoom(4);
  page_.TableHeading();
  const bool board = load.board;
  for (const ComparedLog& log : load.logs) {
    std::string row = std::to_string(log.log) + "|" + log.split + "|";
    for (const ScaledLog* side : {&log.production, &log.check}) {
      row += side->species + "|" + Measure(side->product) + "|" + Measure(side->length) + "|" +
             Measure(side->smallEnd) + "|" + Measure(side->largeEnd) + "|" +
             VolumeFigure(side->defect, board) + "|" + VolumeFigure(side->gross, board) + "|" +
             VolumeFigure(side->net, board) + "|";
    }
    row += Signed(log.grossDifference(), board) + "|" + Signed(log.netDifference(), board) + "|" +
           (log.marked() ? "*" : "") + "|";
    Row(row);
  }
  page_.Rule('-', 't', -1, -1);
  if (load.totals.logsDiffering > 0) page_.TextLine(kMarkNote);
}

void ComparisonWriter::CheckOnlyLines(const std::vector<UnmatchedLog>& logs) {
  if (logs.empty()) return;
  page_.BlankLines(1);
  page_.SelectTable(kCheckOnlyTable);
  page_.EnsureRoom(4);
  page_.TableHeading();
  for (const UnmatchedLog& log : logs) {
    const ScaledLog& m = log.measured;
    Row(std::to_string(log.log) + "|" + log.split + "|" + m.species + "|" + Measure(m.length) +
        "|" + Measure(m.smallEnd) + "|" + Measure(m.largeEnd) + "|" + log.reason + "|");
  }
}

// The production logs not re-measured, as one paragraph of log numbers (a
// split other than the first as "14/2"): on a 3P load most logs are never
// measured, and a line each would fill pages.
void ComparisonWriter::NotRemeasured(const std::vector<UnmatchedLog>& logs) {
  if (logs.empty()) return;
  std::string text = "Production logs not re-measured (" + std::to_string(logs.size()) + "):";
  for (size_t i = 0; i < logs.size(); ++i) {
    text += (i == 0 ? " " : ", ") + std::to_string(logs[i].log);
    if (logs[i].split != "1") text += "/" + logs[i].split;
  }
  page_.SelectTable("");
  page_.BlankLines(1);
  page_.Paragraph(text, 1, -1);
}

// The totals: the counts on a line, then gross and net of both scalers.
void ComparisonWriter::TotalLines(const ComparisonTotals& totals, bool board, bool flagged) {
  page_.SelectTable("");
  page_.EnsureRoom(6);
  page_.TextLine("Logs compared: " + std::to_string(totals.logs) +
                 "    Logs with a measurement difference: " + std::to_string(totals.logsDiffering));
  page_.SelectTable(kTotalsTable);
  page_.TableHeading();
  Row("Gross|" + VolumeFigure(totals.productionGross, board) + "|" +
      VolumeFigure(totals.checkGross, board) + "|" +
      Signed(totals.checkGross - totals.productionGross, board) + "|" +
      PercentFigure(totals.GrossPercent()) + "||");
  Row("Net|" + VolumeFigure(totals.productionNet, board) + "|" +
      VolumeFigure(totals.checkNet, board) + "|" +
      Signed(totals.checkNet - totals.productionNet, board) + "|" +
      PercentFigure(totals.NetPercent()) + "|" + (flagged ? kOutside : "") + "|");
}

void ComparisonWriter::Load(const LoadComparison& load) {
  LoadHeader(load);
  if (!load.productionFile.empty()) {
    LogLines(load);
    page_.BlankLines(1);
    TotalLines(load.totals, load.board, load.outsideTolerance);
  }
  CheckOnlyLines(load.checkOnly);
  NotRemeasured(load.notRemeasured);
}

void ComparisonWriter::Overall() {
  for (const bool board : {false, true}) {
    const ComparisonTotals& totals = board ? comparison_.board : comparison_.cubic;
    if (totals.loads == 0) continue;
    page_.SelectTable("");
    page_.BlankLines(2);
    page_.EnsureRoom(7);
    page_.TextLine(std::string("OVERALL, ") + std::to_string(totals.loads) +
                   (totals.loads == 1 ? " load" : " loads") +
                   (board ? " in board feet" : " in cubic feet") +
                   (comparison_.tolerance
                        ? ", " + std::to_string(totals.outsideTolerance) + " outside tolerance"
                        : std::string()));
    TotalLines(totals, board, false);
  }
}

}  // namespace

std::string VolumeFigure(long tenths, bool board) {
  char figure[32];
  if (board) {
    std::snprintf(figure, sizeof figure, "%ld", std::lround(static_cast<double>(tenths) / 10.0));
  } else {
    std::snprintf(figure, sizeof figure, "%.1f", static_cast<double>(tenths) / 10.0);
  }
  return figure;
}

std::string PercentFigure(const std::optional<double>& percent) {
  if (!percent) return "-";
  const double rounded = std::round(*percent * 10.0) / 10.0;
  if (rounded == 0.0) return "0.0";
  char figure[32];
  std::snprintf(figure, sizeof figure, "%+.1f", rounded);
  return figure;
}

std::string CheckComparisonText(const CheckComparison& comparison,
                                const std::string& programVersion, const platform::Clock& clock) {
  PageLayout page(PageLayout::ReportConstructionGeometry(), clock);
  // A layout of the program's own, loaded by every report test: it always loads.
  static_cast<void>(page.LoadLayout(kPortraitLayout));
  page.AddHeaderLine("", "V A R N O L D E  " + programVersion, "Date: [SUB:date]");
  page.AddHeaderLine("", "-- CHECK SCALE COMPARISON --", "Time: [SUB:time]    \n");
  page.AddHeaderLine("", "*** CHECK SCALE ***", "\n");
  ComparisonWriter writer(page, comparison);
  writer.Opening();
  bool first = true;
  for (const LoadComparison& load : comparison.loads) {
    if (!first) page.PageBreak();
    first = false;
    writer.Load(load);
  }
  writer.Overall();
  page.EndPage();
  return page.TakeText();
}

}  // namespace reports
