#include "reports/season_summary.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/text.h"
#include "reports/load_data.h"
#include "reports/page_layout.h"
#include "reports/report_pages.h"
#include "reports/report_pdf.h"
#include "reports/report_text.h"
#include "sampling/store_rows.h"
#include "scaling/data_model.h"
#include "scaling/load_volumes.h"
#include "scaling/stored_rows.h"
#include "tablestore/slot_guard.h"
#include "tablestore/storage_file.h"
#include "tablestore/table_store.h"

namespace reports {
namespace {

using scaling::LoadTotals;
using scaling::TotalsLog;
using tablestore::TableStore;

constexpr std::pair<SummaryGrouping, const char*> kGroupingWords[] = {
    {SummaryGrouping::kSale, "sale"},       {SummaryGrouping::kSpecies, "species"},
    {SummaryGrouping::kProduct, "product"}, {SummaryGrouping::kScaler, "scaler"},
    {SummaryGrouping::kDay, "day"},
};

constexpr const char* kProductNames[] = {"Saw", "Non-saw"};

// Tenths of a cubic foot as the totals show them ("%.1f").
int64_t Tenths(double cubicFeet) { return std::llround(cubicFeet * 10.0); }

// Whole board feet of a figure already in whole tens.
int64_t BoardFeet(double boardFeet) { return std::llround(boardFeet); }

// One column (saw, non-saw or total) of a load's totals.
SummaryFigures ColumnFigures(const LoadTotals& t, int c) {
  SummaryFigures f;
  f.loads = 1;
  f.measured = t.measured[c];
  f.counted = t.counted[c];
  f.logs = t.total[c];
  f.grossTenths = Tenths(t.gross[c]);
  f.netTenths = Tenths(t.net[c]);
  f.defectTenths = Tenths(t.defect[c]);
  f.board = t.board;
  f.boardGross = BoardFeet(t.boardGross[c]);
  f.boardNet = BoardFeet(t.boardNet[c]);
  f.boardDefect = BoardFeet(t.boardDefect[c]);
  return f;
}

// What the summary needs of one load.
struct LoadPart {
  std::string group;
  SummaryFigures figures;
};

struct LoadFacts {
  std::string sdate;
  std::string scaler;
  scaling::LoadTotalsWindow window;
  scaling::LoadSettings settings;
  std::vector<TotalsLog> logs;
};

// The load's figures by species: each log's share (TotalsWeights) summed per
// species, then rounded as the totals round.
std::vector<LoadPart> SpeciesParts(const LoadFacts& load) {
  const std::string& design = load.settings.design;
  const std::vector<float> weights = scaling::TotalsWeights(design, load.logs);
  struct Sums {
    SummaryFigures counts;
    double gross = 0, net = 0;
    float boardGross = 0, boardNet = 0;
  };
  std::map<std::string, Sums> bySpecies;
  for (size_t i = 0; i < load.logs.size(); ++i) {
    const TotalsLog& log = load.logs[i];
    const bool measured = scaling::CountsAsMeasured(design, log);
    const bool counted = scaling::CountsAsCounted(design, log);
    if (!measured && !counted) continue;
    Sums& s = bySpecies[log.species];
    s.counts.measured += measured ? 1 : 0;
    s.counts.counted += counted ? 1 : 0;
    s.gross += static_cast<double>(weights[i] * log.gcv);
    s.net += static_cast<double>(weights[i] * log.ncv);
    s.boardGross += weights[i] * log.gbv;
    s.boardNet += weights[i] * log.nbv;
  }
  std::vector<LoadPart> parts;
  for (const auto& [species, s] : bySpecies) {
    SummaryFigures f = s.counts;
    f.loads = 1;
    f.logs = f.measured + f.counted;
    f.grossTenths = Tenths(s.gross);
    f.netTenths = Tenths(s.net);
    f.defectTenths = f.grossTenths - f.netTenths;
    f.board = load.window.totals.board;
    if (f.board) {
      f.boardGross = BoardFeet(scaling::RoundToTens(s.boardGross));
      f.boardNet = BoardFeet(scaling::RoundToTens(s.boardNet));
      f.boardDefect = f.boardGross - f.boardNet;
    }
    parts.push_back({species, f});
  }
  return parts;
}

// The rows a load adds to, with what it adds to each.
std::vector<LoadPart> LoadParts(SummaryGrouping grouping, const sampling::LoadKey& key,
                                const LoadFacts& load) {
  const LoadTotals& t = load.window.totals;
  switch (grouping) {
    case SummaryGrouping::kSpecies:
      return SpeciesParts(load);
    case SummaryGrouping::kProduct: {
      std::vector<LoadPart> parts;
      for (int c : {scaling::kSaw, scaling::kNonSaw}) {
        if (t.total[c] > 0) parts.push_back({kProductNames[c], ColumnFigures(t, c)});
      }
      return parts;
    }
    case SummaryGrouping::kScaler:
      return {{load.scaler, ColumnFigures(t, scaling::kTotal)}};
    case SummaryGrouping::kDay:
      return {{load.sdate, ColumnFigures(t, scaling::kTotal)}};
    case SummaryGrouping::kSale:
      break;
  }
  return {{key.sale, ColumnFigures(t, scaling::kTotal)}};
}

// SDATE and SCALER of the load's Load row ("" where the table lacks them).
void ReadLoadHeading(TableStore& store, const sampling::LoadKey& key, LoadFacts* load) {
  const tablestore::SlotGuard row(
      store, store.Select(scaling::table::kLoad, "", key.Criteria(), "", "DLoadSummary", ""));
  if (row.slot() < 0 || store.RowCount(row.slot()) < 1) return;
  load->sdate = scaling::CellText(store, row.slot(), 0,
                                  store.ColumnIndex(row.slot(), scaling::col::kSDate), "");
  load->scaler = scaling::CellText(store, row.slot(), 0,
                                   store.ColumnIndex(row.slot(), scaling::col::kScaler), "");
}

bool InRange(const SummaryOptions& options, const std::string& sdate) {
  if (options.from.empty() && options.to.empty()) return true;
  const std::optional<std::string> date = ParseSummaryDate(sdate);
  if (!date) return false;
  return (options.from.empty() || *date >= options.from) &&
         (options.to.empty() || *date <= options.to);
}

// Adds the loads of one file to `groups` and `summary`.
void SummarizeFile(const std::string& path, const SummaryOptions& options,
                   platform::FileSystem& fs, std::map<std::string, SummaryFigures>& groups,
                   SeasonSummary& summary) {
  const std::string why = tablestore::NotAStorageFile(fs, path);
  if (!why.empty()) {
    summary.skipped.push_back({path, why});
    return;
  }
  TableStore store;
  const int rc = store.Open(path, false);
  if (rc != tablestore::kOk) {
    summary.skipped.push_back({path, rc == tablestore::kInUse
                                         ? "the file is in use by another program"
                                         : "the file could not be opened: " + store.LastError()});
    return;
  }
  for (const auto& [sale, llr] : ReadLoadKeys(store)) {
    const sampling::LoadKey key{sale, llr};
    LoadFacts load;
    ReadLoadHeading(store, key, &load);
    if (!InRange(options, load.sdate)) continue;
    const int totals =
        scaling::PeekLoadTotals(store, sale, llr, &load.window, &load.settings, &load.logs);
    if (totals != 0) {
      summary.skipped.push_back(
          {path, "the totals of SALE " + sale + " LLR " + llr + " could not be computed"});
      continue;
    }
    for (const LoadPart& part : LoadParts(options.grouping, key, load)) {
      groups[part.group] += part.figures;
    }
    summary.total += ColumnFigures(load.window.totals, scaling::kTotal);
  }
  // Nothing was changed: the close has nothing to commit.
  (void)store.Close();
}

// A row of the printed table: the group and its figures joined by '|'.
std::string PrintedRow(const std::string& group, const SummaryFigures& f) {
  char text[256];
  std::snprintf(text, sizeof text, "%d|%d|%d|%d|%.1f|%.1f|%.1f|", f.loads, f.measured, f.counted,
                f.logs, static_cast<double>(f.grossTenths) / 10.0,
                static_cast<double>(f.netTenths) / 10.0, static_cast<double>(f.defectTenths) / 10.0);
  std::string row = group + "|" + text;
  if (f.board) {
    std::snprintf(text, sizeof text, "%lld|%lld|%lld|", static_cast<long long>(f.boardGross),
                  static_cast<long long>(f.boardNet), static_cast<long long>(f.boardDefect));
    row += text;
  }
  return row;
}

std::string GroupingTitle(const SummaryOptions& options) {
  std::string title = "By " + std::string(SummaryGroupingWord(options.grouping));
  if (!options.from.empty()) title += "   from " + options.from;
  if (!options.to.empty()) title += "   to " + options.to;
  return title;
}

}  // namespace

SummaryFigures& SummaryFigures::operator+=(const SummaryFigures& other) {
  loads += other.loads;
  measured += other.measured;
  counted += other.counted;
  logs += other.logs;
  grossTenths += other.grossTenths;
  netTenths += other.netTenths;
  defectTenths += other.defectTenths;
  board = board || other.board;
  boardGross += other.boardGross;
  boardNet += other.boardNet;
  boardDefect += other.boardDefect;
  return *this;
}

std::optional<SummaryGrouping> ParseSummaryGrouping(std::string_view word) {
  for (const auto& [grouping, name] : kGroupingWords) {
    if (word == name) return grouping;
  }
  return std::nullopt;
}

std::string_view SummaryGroupingWord(SummaryGrouping grouping) {
  for (const auto& [g, name] : kGroupingWords) {
    if (g == grouping) return name;
  }
  return "sale";
}

std::optional<std::string> ParseSummaryDate(std::string_view text) {
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && text.size() == 10 && (i == 4 || i == 7)) continue;
    if (c < '0' || c > '9') return std::nullopt;
    digits += c;
  }
  if (digits.size() != 8) return std::nullopt;
  const int year = std::stoi(digits.substr(0, 4));
  const int month = std::stoi(digits.substr(4, 2));
  const int day = std::stoi(digits.substr(6, 2));
  constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return std::nullopt;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && day == 29 && !leap) return std::nullopt;
  return digits;
}

SeasonSummary SummarizeScaleFiles(const std::vector<std::string>& paths,
                                  const SummaryOptions& options, platform::FileSystem& fs) {
  SeasonSummary summary;
  summary.options = options;
  std::map<std::string, SummaryFigures> groups;
  for (const std::string& path : paths) SummarizeFile(path, options, fs, groups, summary);
  for (auto& [group, figures] : groups) summary.rows.push_back({group, figures});
  return summary;
}

std::string SummaryReportText(const SeasonSummary& summary, std::string_view programVersion,
                              const platform::Clock& clock) {
  PageLayout page(PageLayout::ReportConstructionGeometry(), clock);
  // A layout of the program's own, loaded by every report test: it always loads.
  static_cast<void>(page.LoadLayout(kPortraitLayout));
  page.AddHeaderLine("", "V A R N O L D E  " + std::string(programVersion), "Date: [SUB:date]");
  page.AddHeaderLine("", "-- LOAD SUMMARY --", "Time: [SUB:time]    ");
  page.AddHeaderLine(GroupingTitle(summary.options), "", "");
  page.AddHeaderLine("", "", "");
  page.AddTable("Summary", 0, "", true);
  std::string groupTitle(SummaryGroupingWord(summary.options.grouping));
  groupTitle[0] = static_cast<char>(groupTitle[0] - 'a' + 'A');
  page.AddColumn(groupTitle, 16, 'l', "", " ", false, 1);
  for (const char* title : {"Loads", "Meas logs", "Cnt logs", "Total logs"}) {
    page.AddColumn(title, 5, 'r', "", " ", false, 1);
  }
  for (const char* title : {"Gross CuFt", "Net CuFt", "Defect CuFt"}) {
    page.AddColumn(title, 8, 'r', "", " ", false, 1);
  }
  for (const char* title : {"Gross BdFt", "Net BdFt", "Defect BdFt"}) {
    page.AddColumn(title, 7, 'r', "", " ", false, 1);
  }
  page.StartPage();
  page.TableHeading();
  for (const SummaryRow& row : summary.rows) {
    page.FormatRow(PrintedRow(row.group.empty() ? "-" : row.group, row.figures), '|');
  }
  page.EnsureRoom(2);
  page.Rule('-', 'b', -1, -1);
  page.FormatRow(PrintedRow("TOTAL", summary.total), '|');
  page.EndPage();
  return page.TakeText();
}

bool WriteSummaryPdf(platform::FileSystem& fs, const std::string& path, std::string_view text,
                     std::string* error) {
  const std::string bytes = platform::Utf8ToCp1252(text);
  std::string pdf;
  if (!RenderReportPdf(bytes, SheetForReport(LayoutGeometry(kPortraitLayout), bytes), &pdf,
                       error)) {
    return false;
  }
  if (fs.WriteFile(path, pdf) == platform::FileResult::kOk) return true;
  *error = path + " could not be written";
  return false;
}

}  // namespace reports
