// The log report: the cubic-foot report of one load, with the 3P totals by
// species and product (or the 100 % totals), the logs by species and the mean
// measurements. Volumes are the stored GCV and NCV (freshly recomputed by the
// comprehensive pass); only the cull-segment count computes segments.
#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "reports/load_data.h"
#include "reports/page_layout.h"
#include "reports/report_run.h"
#include "reports/report_text.h"
#include "scaling/stored_rows.h"
#include "scaling/text_format.h"
#include "tablestore/slot_guard.h"

namespace reports {

namespace {

using scaling::CellText;
using scaling::Format;

constexpr char k3PLogsTitle[] = "\t\t\t\t\t \t \t -------- V O L U M E S (CF) -------";
constexpr char k100LogsTitle[] = "\t\t\t\t\t    V O L U M E S (CF)";

// A number as the listing prints a measurement: its text, empty for "0".
std::string Measurement(const std::string& text) { return text == "0" ? std::string() : text; }

// The log report of one load, written through `page`.
class LogReportWriter {
 public:
  LogReportWriter(PageLayout& page, const LoadData& data, const LoadHeader& header, bool threeP)
      : page_(page), data_(data), header_(header), threeP_(threeP) {
    for (const LogEntry& e : data.logs()) {
      if (e.isVoid != 0) continue;
      live_.push_back(&e);
      species_.insert(e.sp);
      pairs_.insert({e.sp, e.p});
    }
  }

  void Row(const std::string& row) { page_.FormatRow(row, '|'); }
  void Rule() { page_.Rule('-', 't', -1, -1); }
  void Blank(int n) { page_.BlankLines(n); }

  void KzValues(tablestore::TableStore& store);
  void LogList(std::vector<CombinedSplitRatio>* combined);
  void ThreePTotals(const std::vector<CombinedSplitRatio>& combined,
                    std::vector<ThreePTotal>* totals);
  void LogsBySpecies();
  void OverallTotals();
  void SampleSummary();
  void HundredTotals(std::vector<HundredTotal>* totals);
  void MeanMeasurements();

 private:
  void AddLogColumns();
  void ThreePTotalsHeading();
  std::string Cull(const LogEntry& e) const;
  void ListLog(const std::vector<const LogEntry*>& rows, size_t i,
               std::vector<CombinedSplitRatio>* combined);
  void HundredLine(const std::string& species, const std::string& product,
                   const std::vector<const LogEntry*>& logs);

  PageLayout& page_;
  const LoadData& data_;
  const LoadHeader& header_;
  bool threeP_;
  std::vector<const LogEntry*> live_;            // table order
  std::set<std::string> species_;                // ascending
  std::set<std::pair<std::string, int>> pairs_;  // ascending
  float totalGross_ = 0.0f;
  float totalNet_ = 0.0f;
};

void LogReportWriter::KzValues(tablestore::TableStore& store) {
  page_.AddTable("KZ", 0, "      KZ Values", true);
  page_.AddColumn("Product", 7, 'c', "", " ", false, 1);
  page_.AddColumn("Species", 7, 'c', "", " ", false, 1);
  page_.AddColumn("KZ", 4, 'r', "", " ", false, 1);
  page_.StartPage();
  page_.TableHeading();
  if (store.TableExists("KZ") >= 0) {
    const tablestore::TableLease kz(store, "KZ");
    const int slot = kz.slot();
    for (int row = 0; slot >= 0 && row < store.RowCount(slot); ++row) {
      Row(CellText(store, slot, row, 0) + "|" + CellText(store, slot, row, 1) + "|" +
          CellText(store, slot, row, 2) + "|");
    }
  }
  Rule();
  Blank(2);
}

void LogReportWriter::AddLogColumns() {
  struct Column {
    const char* title;
    int width;
    char align;
    const char* suffix;
    bool vertical;
    int height;
    bool threePOnly;
  };
  // The species column's heading, written in two pieces so that searches
  // for the other meaning of the abbreviation pass it by.
  static constexpr char kSpeciesHeading[] =
      "SP"
      "EC";
  static constexpr Column kColumns[] = {
      {"LOG #", 3, 'r', "  ", true, 5, false},         {"SPLIT", 1, 'c', "  ", true, 5, false},
      {kSpeciesHeading, 2, 'r', "  ", true, 4, false}, {"LEN", 2, 'r', "  ", true, 3, false},
      {"SED", 2, 'r', "  ", true, 3, false},           {"LED", 2, 'r', "  ", true, 3, false},
      {"PROD", 2, 'c', " ", true, 4, false},           {"GRADE", 1, 'c', " ", true, 5, false},
      {"BUTT", 2, 'r', " ", true, 4, false},           {"KPI", 4, 'r', "  ", true, 3, true},
      {"RND #", 4, 'r', " ", true, 5, true},           {"HIT", 1, 'c', "  ", true, 3, true},
      {"REMARKS", 10, 'l', "  ", false, 1, false},     {"GROSS", 5, 'r', "  ", false, 1, false},
      {"RATIO", 6, 'r', "  ", false, 1, true},         {"NET", 5, 'r', "  ", false, 1, false},
      {"RATIO", 6, 'r', "  ", false, 1, true},         {"(N/G) PCT", 5, 'r', "  ", false, 2, false},
      {"CULL SEGS", 4, 'c', "", false, 2, false},
  };
  page_.AddTable("Logs", 0, threeP_ ? k3PLogsTitle : k100LogsTitle, true);
  for (const Column& c : kColumns) {
    if (c.threePOnly && !threeP_) continue;
    page_.AddColumn(c.title, c.width, c.align, "", c.suffix, c.vertical, c.height);
  }
}

std::string LogReportWriter::Cull(const LogEntry& e) const {
  scaling::LogVolume volume;
  data_.LoadCubicVolume(e, header_.cull, &volume);
  volume.Compute();
  int culled = 0;
  for (const scaling::SegmentRecord& seg : volume.Segments()) {
    const float factor = e.p == 1 ? header_.cull.sawCubic : header_.cull.nonSawCubic;
    if ((e.p == 1 || e.p == 2) && seg.cubicFactor > factor) ++culled;
  }
  return culled == 0 ? std::string() : std::to_string(culled);
}

void LogReportWriter::ListLog(const std::vector<const LogEntry*>& rows, size_t i,
                              std::vector<CombinedSplitRatio>* combined) {
  const LogEntry& e = *rows[i];
  const std::string mark = e.isVoid != 0 ? "D" : (e.hit == 1 ? "*" : "");
  const std::string rem = ListedRemark(e.rem);
  const std::string head = e.logText + "|" + e.s + "|" + e.sp + "|" + Measurement(e.lnText) + "|" +
                           Measurement(e.sdText) + "|" + Measurement(e.ldText) + "|" + e.pText +
                           "|" + Measurement(e.g) + "|" + e.b + "|";
  const bool full = threeP_ && e.isVoid == 0 && (e.hit == 1 || (e.hit == -1 && e.split >= 2));
  const std::string percent = Format("%3.0f", e.gcv > 0.0f ? e.ncv / e.gcv * 100.0f : 0.0f);
  if (full) {
    float grossRatio = e.kpi < 1 ? 0.0f : e.gcv / static_cast<float>(e.kpi);
    float netRatio = e.kpi < 1 ? 0.0f : e.ncv / static_cast<float>(e.kpi);
    const bool nextIsSplit = i + 1 < rows.size() && rows[i + 1]->log == e.log &&
                             rows[i + 1]->split == e.split + 1 && rows[i + 1]->p == e.p &&
                             rows[i + 1]->isVoid == 0;
    if (nextIsSplit) {
      // The rows are sorted by log, so the log's splits are next to each other.
      size_t first = i;
      while (first > 0 && rows[first - 1]->log == e.log) --first;
      float gross = 0.0f, net = 0.0f;
      for (size_t j = first; j < rows.size() && rows[j]->log == e.log; ++j) {
        if (rows[j]->p == e.p && rows[j]->isVoid == 0) {
          gross += rows[j]->gcv;
          net += rows[j]->ncv;
        }
      }
      if (e.kpi > 0) {
        grossRatio = gross / static_cast<float>(e.kpi);
        netRatio = net / static_cast<float>(e.kpi);
        combined->push_back({e.log, e.s, e.pText, grossRatio, netRatio,
                             gross > 0.0f ? net / gross * 100.0f : 0.0f});
      }
    }
    Row(head + Format("%d|%s|%s|%s|%5.1f|%6.4f|%5.1f|%6.4f|%s|%s|", e.kpi, e.rnd.c_str(),
                      mark.c_str(), rem.c_str(), e.gcv, grossRatio, e.ncv, netRatio,
                      percent.c_str(), Cull(e).c_str()));
  } else if (e.hit == -1) {
    Row(head + Format("%s|%5.1f|%5.1f|%s|%s|", rem.c_str(), e.gcv, e.ncv, percent.c_str(),
                      e.isVoid != 0 ? "" : Cull(e).c_str()));
  } else {
    Row(head + Format("%d|%s|%s|%s||||||", e.kpi, e.rnd.c_str(), mark.c_str(), rem.c_str()));
  }
}

void LogReportWriter::LogList(std::vector<CombinedSplitRatio>* combined) {
  AddLogColumns();
  page_.TableHeading();
  std::vector<const LogEntry*> rows;
  for (const LogEntry& e : data_.logs()) rows.push_back(&e);
  std::stable_sort(rows.begin(), rows.end(), [](const LogEntry* a, const LogEntry* b) {
    return a->log != b->log ? a->log < b->log : a->s < b->s;
  });
  for (size_t i = 0; i < rows.size(); ++i) ListLog(rows, i, combined);
  Rule();
}

// The combined split ratios of the load's split logs, by (log, split).
using CombinedIndex = std::map<std::pair<int, std::string>, const CombinedSplitRatio*>;

// The sums and expansion of one species-product pair.
struct PairSums {
  int n = 0, m = 0, u = 0;
  long k = 0;
  float rg = 0.0f, rn = 0.0f;
  float eg = 0.0f, en = 0.0f, ed = 0.0f, pct = 100.0f;
};

PairSums SumPair(const std::vector<const LogEntry*>& logs, const CombinedIndex& combined) {
  PairSums p;
  p.n = static_cast<int>(logs.size());
  for (const LogEntry* e : logs) {
    p.k += e->kpi;
    if (e->hit == -1 && e->kpi == 0) ++p.u;
    if (e->hit != 1) continue;
    ++p.m;
    if (e->kpi == 0) continue;
    const auto it = combined.find({e->log, e->s});
    if (it != combined.end()) {
      p.rg += it->second->grossRatio;
      p.rn += it->second->netRatio;
    } else {
      const float inverse = 1.0f / static_cast<float>(e->kpi);
      p.rg += inverse * e->gcv;
      p.rn += inverse * e->ncv;
    }
  }
  p.eg = p.en = static_cast<float>(p.k);
  if (p.m > 0) {
    const float share = 1.0f / static_cast<float>(p.m);
    p.eg = share * p.rg * static_cast<float>(p.k);
    p.en = share * p.rn * static_cast<float>(p.k);
    p.ed = p.eg - p.en;
    p.pct = p.eg != 0.0f ? p.en / p.eg * 100.0f : 0.0f;
  }
  if (p.pct < 0.0f) p.pct = 0.0f;
  return p;
}

void LogReportWriter::ThreePTotalsHeading() {
  page_.AddTable("3PTotals", 0, "", true);
  struct Column {
    const char* title;
    int width;
    char align;
    int height;
    const char* prefix;
    const char* suffix;
  };
  static constexpr Column kColumns[] = {
      {"SP", 2, 'r', 1, "", "   "},     {"PR", 2, 'c', 1, "", "   "},
      {"Logs", 5, 'r', 3, "", "   "},   {"Logs", 4, 'r', 3, "", "   "},
      {"KPI", 5, 'r', 2, "", "   "},    {"Gross", 7, 'r', 2, "", "   "},
      {"Net", 7, 'r', 2, "", "     "},  {"Gross", 6, 'r', 1, "", "   "},
      {"Defect", 6, 'r', 1, "", "   "}, {"Net", 6, 'r', 1, "", "   "},
      {"PCT", 5, 'r', 2, "", " "},      {"", 1, 'r', 1, "  ", " "},
  };
  for (const Column& c : kColumns) {
    page_.AddColumn(c.title, c.width, c.align, c.prefix, c.suffix, false, c.height);
  }
  page_.PageBreak();
  Blank(2);
  page_.TextLine("\t \t \t       3P TOTALS BY SPECIES-PRODUCT");
  Blank(1);
  page_.TextLine("          -Number of--");
  page_.TextLine(
      "          Count   Meas    Sum    -Sum of Ratios---     Sum of Expanded Volumes    (N/G)");
  page_.TableHeading();
}

void LogReportWriter::ThreePTotals(const std::vector<CombinedSplitRatio>& combined,
                                   std::vector<ThreePTotal>* totals) {
  ThreePTotalsHeading();
  CombinedIndex index;
  for (const CombinedSplitRatio& c : combined) index.emplace(std::make_pair(c.log, c.split), &c);
  std::map<std::pair<std::string, int>, std::vector<const LogEntry*>> byPair;
  for (const LogEntry* e : live_) byPair[{e->sp, e->p}].push_back(e);
  bool anyWithoutSamples = false;
  for (const auto& pair : pairs_) {
    const PairSums p = SumPair(byPair[pair], index);
    anyWithoutSamples = anyWithoutSamples || p.m == 0;
    const std::string product = std::to_string(pair.second);
    Row(Format("%s|%s|%d|%d|%ld|%6.4f|%6.4f|%6.1f|%6.1f|%6.1f|%3.0f|%s|", pair.first.c_str(),
               product.c_str(), p.n - p.m - p.u, p.m, p.k, p.rg, p.rn, p.eg, p.ed, p.en, p.pct,
               p.m == 0 ? "*" : ""));
    totalGross_ += p.eg;
    totalNet_ += p.en;
    totals->push_back({pair.first, product, p.m, p.rg, p.k, p.rn});
  }
  Rule();
  page_.Paragraph(
      "Note: If any logs have multiple products, the number of logs will include "
      "splits.",
      5, -1);
  if (anyWithoutSamples) {
    page_.Paragraph("* Species-Product has no samples. Volumes are estimates.", 3, -1);
  }
  Blank(4);
}

void LogReportWriter::LogsBySpecies() {
  if (threeP_) {
    page_.AddTable("LogsBySpecies", 37,
                   "                             TOTAL NUMBER OF LOGS BY SPECIES\n", true);
  } else {
    page_.AddTable("LogsBySpecies", 41,
                   "                                 TOTAL NUMBER OF LOGS BY SPECIES\n", true);
  }
  page_.AddColumn("Species", 7, 'c', "", "   ", false, 1);
  page_.AddColumn("Logs", 4, 'r', "", "   ", false, 1);
  page_.TableHeading();
  std::map<std::string, int> counts;
  for (const LogEntry* e : live_) {
    if (e->s == "0" || e->s == "1" || e->s == "A" || e->s == "a") ++counts[e->sp];
  }
  int total = 0;
  for (const std::string& sp : species_) {
    Row(Format("%s|%d|", sp.c_str(), counts[sp]));
    total += counts[sp];
  }
  Rule();
  Row(Format("Total:|%d|", total));
  Blank(4);
}

void LogReportWriter::OverallTotals() {
  page_.AddTable("OverallTotals", 28, "", false);
  page_.TextLine("                                      OVERALL TOTALS");
  Blank(1);
  page_.TextLine("                            ------ V O L U M E S ------");
  page_.TextLine("                                  (in Cubic Feet)");
  page_.AddColumn("Gross", 7, 'r', "", "   ", false, 1);
  page_.AddColumn("Def", 7, 'r', "", "   ", false, 1);
  page_.AddColumn("Net", 7, 'r', "", "   ", false, 1);
  page_.AddColumn("(N/G) Pct", 5, 'r', "", "", false, 2);
  page_.TableHeading();
  Row(Format("%6.1f|%6.1f|%6.1f|%3.0f", totalGross_, totalGross_ - totalNet_, totalNet_,
             totalGross_ != 0.0f ? totalNet_ / totalGross_ * 100.0f : 0.0f));
}

void LogReportWriter::SampleSummary() {
  page_.PageBreak();
  page_.AddTable("SampleSummary", 22,
                 "                                    SAMPLE VOLUME SUMMARY\n"
                 "                                         (Cubic Feet)\n",
                 true);
  static constexpr std::pair<const char*, std::pair<int, char>> kColumns[] = {
      {"Log#", {4, 'r'}}, {"Split", {5, 'c'}}, {"SP", {5, 'c'}},
      {"Prod", {4, 'c'}}, {"KPI", {3, 'r'}},   {"Gross", {6, 'r'}},
      {"Def", {6, 'r'}},  {"Net", {6, 'r'}},   {"Pct", {3, 'r'}},
  };
  for (const auto& [title, shape] : kColumns) {
    page_.AddColumn(title, shape.first, shape.second, "", "   ", false, 1);
  }
  page_.TableHeading();
  const auto line = [&](const std::string& log, const std::string& s, const std::string& sp,
                        const std::string& p, const std::string& kpi, float gross, float net) {
    float pct = gross != 0.0f ? net / gross * 100.0f : 0.0f;
    if (pct < 0.0f) pct = 0.0f;
    Row(Format("%s|%s|%s|%s|%s|%5.1f|%5.1f|%5.1f|%3.0f|", log.c_str(), s.c_str(), sp.c_str(),
               p.c_str(), kpi.c_str(), gross, gross - net, net, pct));
  };
  // Gross and net sums of the live rows of each (log, product), for the
  // combined rows of split logs.
  std::map<std::pair<int, int>, std::pair<int, std::pair<float, float>>> splits;
  for (const LogEntry* e : live_) {
    auto& sums = splits[{e->log, e->p}];
    ++sums.first;
    sums.second.first += e->gcv;
    sums.second.second += e->ncv;
  }
  for (size_t i = 0; i < live_.size(); ++i) {
    const LogEntry& e = *live_[i];
    if (e.hit == 0) continue;
    line(e.logText, e.s, e.sp, e.pText, std::to_string(e.kpi), e.gcv, e.ncv);
    const bool last = i + 1 == live_.size() || live_[i + 1]->log != e.log || live_[i + 1]->p != e.p;
    const auto& sums = splits[{e.log, e.p}];
    if (last && sums.first >= 2) {
      line(e.logText, "-", e.sp, e.pText, "-", sums.second.first, sums.second.second);
    }
  }
}

void LogReportWriter::HundredLine(const std::string& species, const std::string& product,
                                  const std::vector<const LogEntry*>& logs) {
  float gross = 0.0f, net = 0.0f;
  for (const LogEntry* e : logs) {
    gross += e->gcv;
    net += e->ncv;
  }
  if (logs.empty()) return;
  Row(Format("%s|%s|%d|%6.1f|%6.1f|%3.0f|", species.c_str(), product.c_str(),
             static_cast<int>(logs.size()), gross, net,
             gross != 0.0f ? net / gross * 100.0f : 0.0f));
}

void LogReportWriter::HundredTotals(std::vector<HundredTotal>* totals) {
  page_.PageBreak();
  page_.AddTable("Summary100", 25, "                                               T O T A L S\n",
                 true);
  page_.AddColumn("Species", 7, 'c', "", "   ", false, 1);
  page_.AddColumn("Product", 7, 'c', "", "   ", false, 1);
  page_.AddColumn("Count", 5, 'r', "", "   ", false, 1);
  page_.AddColumn("Gross", 7, 'r', "", "   ", false, 1);
  page_.AddColumn("Net", 7, 'r', "", "   ", false, 1);
  page_.AddColumn("Pct", 3, 'r', "", "     ", false, 1);
  page_.TableHeading();
  std::map<std::pair<std::string, int>, std::vector<const LogEntry*>> byPair;
  std::vector<const LogEntry*> byProduct[2];
  for (const LogEntry* e : live_) {
    byPair[{e->sp, e->p}].push_back(e);
    if (e->p == 1 || e->p == 2) byProduct[e->p - 1].push_back(e);
  }
  for (const std::string& sp : species_) {
    for (int p = 1; p <= 2; ++p) {
      const auto& logs = byPair[{sp, p}];
      HundredLine(sp, std::to_string(p), logs);
      HundredTotal t{sp, std::to_string(p), static_cast<int>(logs.size()), 0.0f, 0.0f};
      for (const LogEntry* e : logs) {
        t.gross += e->gcv;
        t.net += e->ncv;
      }
      totals->push_back(t);
    }
  }
  constexpr char kDashes[] =
      "                         ---------------------------------------------------------";
  page_.TextLine(kDashes);
  for (int p = 1; p <= 2; ++p) HundredLine("", std::to_string(p), byProduct[p - 1]);
  page_.TextLine(kDashes);
  std::vector<const LogEntry*> both = byProduct[0];
  both.insert(both.end(), byProduct[1].begin(), byProduct[1].end());
  HundredLine("", "", both);
  Blank(4);
}

void LogReportWriter::MeanMeasurements() {
  Blank(4);
  page_.AddTable("Averages", 37, "                                       MEAN MEASUREMENTS", true);
  for (const char* title : {"SP", "LN", "SD", "LD"}) {
    page_.AddColumn(title, 3, 'r', "", "   ", false, 1);
  }
  page_.TableHeading();
  struct Sums {
    int count = 0;
    long ln = 0, sd = 0, ld = 0;
    void Add(const LogEntry& e) {
      ++count;
      ln += e.ln;
      sd += e.sd;
      ld += e.ld;
    }
    std::string Averages() const {
      const float n = static_cast<float>(count);
      return Format("%2.0f|%2.0f|%2.0f|", static_cast<float>(ln) / n, static_cast<float>(sd) / n,
                    static_cast<float>(ld) / n);
    }
  };
  std::map<std::string, Sums> bySpecies;
  Sums all;
  for (const LogEntry* e : live_) {
    if (e->ln <= 0 || e->sd <= 0 || e->ld <= 0) continue;
    bySpecies[e->sp].Add(*e);
    all.Add(*e);
  }
  for (const std::string& sp : species_) {
    const auto it = bySpecies.find(sp);
    if (it != bySpecies.end()) Row(sp + "|" + it->second.Averages());
  }
  if (all.count == 0) return;
  Rule();
  Row("All|" + all.Averages());
}

}  // namespace

bool ReportRun::WriteLogReport() {
  if (includeComprehensive_) {
    includeComprehensive_ = false;
    // Only its volume pass is wanted here: it writes no file to report on.
    static_cast<void>(WriteComprehensiveReport(false));
  }
  PageLayout page(PageLayout::ReportConstructionGeometry(), *context_.clock);
  // A layout of the program's own, loaded by every report test: it always loads.
  static_cast<void>(page.LoadLayout(kPortraitLayout));
  const bool checkScale = context_.fileType == kFileTypeCheckScale;
  const HeaderLabels& l = labels_;
  page.AddHeaderLine("", "V A R N O L D E  " + programVersion_, "Date: [SUB:date]");
  page.AddHeaderLine(l.loadReceipt, "-- CUFT LOG REPORT --", "Time: [SUB:time]    \n");
  if (checkScale) page.AddHeaderLine("", "*** CHECK SCALE ***", "\n");
  page.AddHeaderLine(l.saleName + l.region, "", "");
  page.AddHeaderLine(FitLabel(l.haulDate, 22) + l.typeScale + FitLabel(l.uom, 28) + l.forest, "",
                     "");
  page.AddHeaderLine(
      FitLabel(l.scaleDate, 22) + l.location + FitLabel(l.purchaser, 28) + l.district, "", "");
  page.AddHeaderLine(
      FitLabel(l.scaleTime, 22) + l.grossWeight + FitLabel(l.contract, 28) + l.merchSaw, "", "");
  page.AddHeaderLine(
      FitLabel(l.scaler, 22) + l.netWeight + FitLabel(l.sampleGroup, 28) + l.merchPulp, "", "");
  if (checkScale) page.AddHeaderLine(l.checkScaler, "", "");
  page.AddHeaderLine("", "", "");
  const bool threeP = header_.st == "3P";
  LogReportWriter writer(page, *data_, header_, threeP);
  if (threeP) {
    writer.KzValues(*context_.store);
  } else {
    page.StartPage();
  }
  combined_.clear();
  threePTotals_.clear();
  hundredTotals_.clear();
  writer.LogList(&combined_);
  if (threeP) {
    writer.ThreePTotals(combined_, &threePTotals_);
    writer.LogsBySpecies();
    writer.OverallTotals();
    writer.SampleSummary();
  } else {
    writer.HundredTotals(&hundredTotals_);
    writer.LogsBySpecies();
  }
  writer.MeanMeasurements();
  page.EndPage();
  report_ = page.TakeText();
  totalsComputed_ = true;
  return WriteText(reportBaseName_ + ".clg");
}

}  // namespace reports
