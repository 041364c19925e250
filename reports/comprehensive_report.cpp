// The comprehensive report: the landscape "Cubic Test Logs" listing of one
// load, which also recomputes and stores every listed log's cubic volumes.
#include "reports/load_data.h"
#include "reports/page_layout.h"
#include "reports/report_run.h"
#include "reports/report_text.h"
#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "scaling/text_format.h"
#include "scaling/volume_math.h"
#include "tablestore/slot_guard.h"

namespace reports {

using tablestore::TableStore;

namespace {

using scaling::Format;

bool ListedInFull(const std::string& st, const LogEntry& e) {
  if (st == "100") return true;
  if (st != "3P") return false;
  return e.hit == 1 || (e.hit == -1 && e.ln >= 1 && e.split >= 2);
}

class ComprehensiveWriter {
 public:
  explicit ComprehensiveWriter(PageLayout& page) : page_(page) {}

  void Row(const std::string& row) { page_.FormatRow(row, '|'); }
  void Rule() { page_.Rule('-', 't', -1, -1); }

  void VoidLog(const LogEntry& e, const std::string& rem) {
    if (e.hit == 1) {
      Row(Format(
          "%d|-|-|%d|%s|%d|%d|%d|%d|||%d|%d|D|%s|-|--|--|--|--|--|--|--|--|--|---|-----|"
          "-----|--",
          e.log, e.split, e.sp.c_str(), e.ln, e.sd, e.ld, e.p, e.kpi, e.rndValue, rem.c_str()));
    } else {
      Row(
          Format("%d|-|-|%d|%s|%d|%d|%d|%d|||----|----|D|%s|-|--|--|--|--|--|--|--|--|--|---|"
                 "-----|-----|--",
                 e.log, e.split, e.sp.c_str(), e.ln, e.sd, e.ld, e.p, rem.c_str()));
    }
  }

  void ShortLog(const LogEntry& e, const std::string& rem) {
    Row(Format("%d|-|-|%d|%s||||%d|||%d|%d|%s|%s|-|--|--|--|--|--|--|--|--|--|---|||", e.log,
               e.split, e.sp.c_str(), e.p, e.kpi, e.rndValue, e.isVoid != 0 ? "D" : "",
               rem.c_str()));
  }

  // The log line, then each segment with its defects. `zero` prints every
  // volume, percentage and factor as 0 (volume overridden to zero).
  void LiveLog(const LogEntry& e, const std::string& rem, scaling::LogVolume& volume, bool zero) {
    const scaling::LogRecord& log = volume.GetLog();
    const float g = zero ? 0.0f : log.grossCubic;
    const float n = zero ? 0.0f : log.netCubic;
    const int pct = WholePercent(n, g);
    if (e.hit == 1) {
      Row(
          Format("%d|-|-|%d|%s|%d|%d|%d|%d|||%d|%d|*|%s|-|--|--|--|--|--|--|--|--|--|---|%5.1f|"
                 "%5.1f|%d",
                 log.log, e.split, e.sp.c_str(), log.length, log.smallEnd, log.largeEnd, e.p, e.kpi,
                 e.rndValue, rem.c_str(), g, n, pct));
    } else {
      Row(
          Format("%d|-|-|%d|%s|%d|%d|%d|%d|||----|----|-|%s|-|--|--|--|--|--|--|--|--|--|---|"
                 "%5.1f|%5.1f|%d",
                 log.log, e.split, e.sp.c_str(), log.length, log.smallEnd, log.largeEnd, e.p,
                 rem.c_str(), g, n, pct));
    }
    for (const scaling::SegmentRecord& seg : volume.Segments()) {
      Segment(seg, e.p, zero);
      for (const scaling::DefectRecord& d : volume.Defects()) {
        if (d.seg == seg.seg) Defect(d, seg, zero);
      }
    }
  }

 private:
  void Segment(const scaling::SegmentRecord& seg, int product, bool zero) {
    const float g = zero ? 0.0f : seg.cubicGross;
    const float n = zero ? 0.0f : seg.cubicNet;
    Row(
        Format("|%d|-|-|--|%d|%d|%d|%d|-|-|----|----|-|----------|-|--|--|--|--|--|--|--|--|--|"
               "---|%5.1f|%5.1f|%d|%5.2f",
               seg.seg, seg.length, seg.smallEnd, seg.largeEnd, product, g, n, WholePercent(n, g),
               zero ? 0.0f : seg.cubicFactor));
  }

  // The defect tables have no type letter, so its column shows "-"; the
  // percent loss is the share of the segment's gross the defect takes.
  void Defect(const scaling::DefectRecord& d, const scaling::SegmentRecord& seg, bool zero) {
    const float v = zero ? 0.0f : d.cubicDeduction;
    const int loss = zero ? 0 : WholePercent(d.cubicDeduction, seg.cubicGross);
    Row(
        Format("||%d|-|--|--|--|--|-|-|-|----|----|-|----------|%s|%d|%d|%d|%d|%d|%d|%d|--|--|"
               "---|%5.1f|||%5.2f",
               d.method, "-", d.measures.m1, d.measures.m2, d.measures.m3, d.measures.m4,
               d.measures.length, d.measures.percent, loss, v, zero ? 0.0f : d.cubicFactor));
  }

  PageLayout& page_;
};

// The page header lines of the comprehensive report.
void AddComprehensiveHeader(PageLayout& page, const HeaderLabels& l, const std::string& version,
                            bool checkScale) {
  page.AddHeaderLine("", "V A R N O L D E  V E R S I O N  " + version, "Date: [SUB:date]");
  page.AddHeaderLine(l.loadReceipt, "-- COMPREHENSIVE REPORT --", "Time: [SUB:time]    \n");
  if (checkScale) page.AddHeaderLine("", "*** CHECK SCALE ***", "\n");
  page.AddHeaderLine(l.saleName, "", "");
  page.AddHeaderLine(l.haulDate + l.typeScale + l.uom, "", "");
  page.AddHeaderLine(l.scaleDate + l.location + l.purchaser + l.region, "", "");
  page.AddHeaderLine(l.scaleTime + l.grossWeight + l.contract + l.forest + l.merchSaw, "", "");
  page.AddHeaderLine(l.scaler + l.netWeight + l.sampleGroup + l.district + l.merchPulp, "", "");
  if (checkScale) page.AddHeaderLine(l.checkScaler, "", "");
  page.AddHeaderLine("", "", "");
}

}  // namespace

bool ReportRun::WriteComprehensiveReport(bool writeFile) {
  TableStore& store = *context_.store;
  PageLayout page(PageLayout::ReportConstructionGeometry(), *context_.clock);
  // A layout of the program's own, loaded by every report test: it always loads.
  static_cast<void>(page.LoadLayout(kComprehensiveLayout));
  AddComprehensiveHeader(page, labels_, programVersion_, context_.fileType == kFileTypeCheckScale);
  page.SelectTable("vol");
  page.StartPage();
  page.TableHeading();
  ComprehensiveWriter writer(page);
  writer.Rule();
  {
    const tablestore::TableLease logTable(store, scaling::table::kLog);
    const int slot = logTable.slot();
    const int cGcv = slot < 0 ? -1 : store.ColumnIndex(slot, scaling::col::kGCV);
    const int cNcv = slot < 0 ? -1 : store.ColumnIndex(slot, scaling::col::kNCV);
    for (LogEntry& e : data_->logs()) {
      const std::string rem = ListedRemark(e.rem);
      if (!ListedInFull(header_.st, e)) {
        writer.ShortLog(e, rem);
      } else if (e.isVoid != 0) {
        writer.VoidLog(e, rem);
      } else {
        scaling::LogVolume volume;
        data_->LoadCubicVolume(e, header_.cull, &volume);
        const bool zero = e.overrideVolume != 0;
        writer.LiveLog(e, rem, volume, zero);
        const scaling::LogRecord& log = volume.GetLog();
        const float g = zero ? 0.0f : scaling::RoundTo(log.grossCubic, 1);
        const float n = zero ? 0.0f : scaling::RoundTo(log.netCubic, 1);
        if (slot >= 0) {
          // A setup without GCV or NCV (index -1) stores nothing there; the
          // values read back below then say what the file holds.
          (void)store.SetFloat(slot, e.row, cGcv, g);
          (void)store.SetFloat(slot, e.row, cNcv, n);
          e.gcv = scaling::CellFloat(store, slot, e.row, cGcv);
          e.ncv = scaling::CellFloat(store, slot, e.row, cNcv);
        }
      }
      writer.Rule();
    }
  }
  page.PageBreak();
  page.AddTable("Remarks", 0, "", true);
  page.AddColumn("Log", 3, 'r', "", "   ", false, 1);
  page.AddColumn("S", 1, 'r', "", "   ", false, 1);
  page.AddColumn("SP", 2, 'r', "", "   ", false, 1);
  page.AddColumn("VOID", 4, 'c', "", "   ", false, 1);
  page.AddColumn("Remarks", 89, 'l', "", "   ", false, 1);
  page.BlankLines(2);
  page.TableHeading();
  // Only the load's own logs: the log numbers of other loads would be
  // indistinguishable from this load's.
  for (const LogEntry& e : data_->logs()) {
    if (e.rem.empty()) continue;
    writer.Row(e.logText + "|" + e.s + "|" + e.sp + "|" + (e.isVoid == 1 ? "D" : "") + "|" + e.rem +
               "|");
    writer.Rule();
  }
  page.EndPage();
  report_ = page.TakeText();
  StoreVolumes();
  if (!writeFile) return false;
  return WriteText(reportBaseName_ + ".cmp");
}

}  // namespace reports
