#include "sampling/log_validation.h"

#include <cstdint>
#include <cstdio>

#include "sampling/cell_text.h"
#include "scaling/data_model.h"

namespace sampling {

namespace col = scaling::col;

namespace {

// The measurements a check needs, read once from the row.
struct LogValues {
  int p = 0, ln = 0, sd = 0, ld = 0, hit = 0;
  std::string sp;
};

LogValues ReadLog(const RowCells& row) {
  return LogValues{row.GetInt(col::kP),  row.GetInt(col::kLN),  row.GetInt(col::kSD),
                   row.GetInt(col::kLD), row.GetInt(col::kHIT), row.Get(col::kSP)};
}

// Sums are formed in 64 bits so that hostile cells cannot overflow them.
int64_t Sum(std::initializer_list<int> values) {
  int64_t sum = 0;
  for (int v : values) sum += v;
  return sum;
}

void CheckSpecies(const LogCheckContext& context, const std::string& sp, Findings& out) {
  if (sp.empty()) {
    out.Error("Missing SP code\n");
  } else if (context.speciesList.size() > 1 &&
             context.speciesList.find("," + sp + ",") == std::string::npos) {
    out.Error("Invalid SP code\n");
  }
}

void CheckRanges(const LoadLimits& limits, const LogValues& log, Findings& out) {
  if (log.ln < limits.minLen) out.Warning("LN below minimum\n");
  if (log.ln > limits.maxLen) out.Warning("LN above maximum\n");
  if (log.sd < limits.minDia) out.Warning("SD below minimum\n");
  if (log.sd > limits.maxDia) out.Warning("SD above maximum\n");
  if (log.ld < limits.minDia) out.Warning("LD below minimum\n");
  if (log.ld > limits.maxDia) out.Warning("LD above maximum\n");
}

// The findings of one defect, appended as "Seg s, Def d: finding\n". Returns
// false when the rest of the segment's defects are to be skipped.
bool CheckDefect(const LogValues& log, const SegmentDefects& seg, int number, const DefectValues& d,
                 Findings& out) {
  const std::string prefix = "Seg " + IntText(seg.seg) + ", Def " + IntText(number) + ": ";
  auto finding = [&](const std::string& text) { out.Error(prefix + text + "\n"); };
  if (d.m < 1 || d.m > 5) {
    finding("Invalid M");
    return false;
  }
  const bool wholeLog = seg.seg == 0;
  const std::string owner = wholeLog ? "log's" : "segment's";
  const int sd = wholeLog ? log.sd : seg.sd;
  const int ld = wholeLog ? log.ld : seg.ld;
  if (wholeLog) {
    if (d.ln > log.ln) finding("Def LN > Log LN");
  } else if (d.ln > seg.ln) {
    finding("Def LN > Seg LN");
  }
  const std::string code = IntText(d.m);
  switch (d.m) {
    case 1:
      if (Sum({d.m1, d.m2, d.m3, d.m4, d.pct}) >= 1) finding("M1-M4 & PCT must be 0 for M=" + code);
      break;
    case 4:
      if (Sum({d.m1, d.m2, d.m3, d.m4}) >= 1) finding("M1-M4 must be 0 for M=" + code);
      break;
    case 2:
      if (Sum({d.m2, d.m3, d.m4}) >= 1) finding("M2-M4 must be 0 for M=" + code);
      if (d.m1 > sd) finding("M1 > " + owner + " SD");
      break;
    default:  // 3 and 5
      if (d.m1 > ld) finding("M1 > " + owner + " LD");
      if (d.m2 > ld) finding("M2 > " + owner + " LD");
      if (d.m3 > sd) finding("M3 > " + owner + " SD");
      if (d.m4 > sd) finding("M4 > " + owner + " SD");
      if (d.m == 5) {
        if (d.m2 > d.m1) finding("M2 > M1");
        if (d.m4 > d.m3) finding("M4 > M3");
      }
      break;
  }
  return true;
}

void CheckSegments(const LogValues& log, const std::vector<SegmentDefects>& segments,
                   Findings& out) {
  for (const SegmentDefects& seg : segments) {
    int number = 0;
    for (const DefectValues& defect : seg.defects) {
      if (!CheckDefect(log, seg, ++number, defect, out)) break;
    }
  }
}

// The deduction rules know only some sets of end measurements; any other set
// would deduct nothing without a word, so such records are refused here.
const char* MeasurementProblem(const DefectValues& d) {
  // A measurement counts as taken when it is at least 1, as in the deduction rules.
  const int taken = (d.m1 >= 1) | (d.m2 >= 1) << 1 | (d.m3 >= 1) << 2 | (d.m4 >= 1) << 3;
  constexpr int k1 = 1, k2 = 2, k3 = 4, k4 = 8;
  if (d.m == 3) {
    if ((taken & k2) && !(taken & k1)) {
      return "Squared Area defect with an M2 measurement must also have an M1 measurement.";
    }
    if ((taken & k4) && !(taken & k3)) {
      return "Squared Area defect with an M4 measurement must also have an M3 measurement.";
    }
    if (taken == 0) return "Squared Area defect has no measurements.";
    if (taken == (k1 | k2 | k3)) {
      return "Squared Area defect with M1, M2 and M3 measurements must also have an M4 "
             "measurement.";
    }
    if (taken == (k1 | k3 | k4)) {
      return "Squared Area defect with M1, M3 and M4 measurements must also have an M2 "
             "measurement.";
    }
  } else if (d.m == 5) {
    const bool known = taken == k1 || taken == k3 || taken == (k1 | k3) || taken == (k1 | k2) ||
                       taken == (k1 | k2 | k3 | k4);
    if (!known) {
      return "Ring Deduction defect measurements must be M1, M3, M1 and M3, M1 and M2, or all "
             "four.";
    }
  }
  return nullptr;
}

}  // namespace

DefectValues DefectValues::FromRow(const RowCells& row) {
  return DefectValues{row.GetInt(col::kM),  row.GetInt(col::kM1), row.GetInt(col::kM2),
                      row.GetInt(col::kM3), row.GetInt(col::kM4), row.GetInt(col::kLN),
                      row.GetInt(col::kPCT)};
}

DefectValues DefectValues::FromRecord(const scaling::DefectRecord& record) {
  const scaling::DefectMeasures& m = record.measures;
  return DefectValues{record.method, m.m1, m.m2, m.m3, m.m4, m.length, m.percent};
}

Findings CheckLog(const LogCheckContext& context, const RowCells& row,
                  const SegmentSource& segments) {
  Findings out;
  if (context.scaleSystem != "Cubic" || row.GetInt(col::kVoid) == 1) return out;
  const LogValues log = ReadLog(row);
  const bool threeP = context.saleType == "3P";
  if (threeP && log.hit == 0) {
    if (log.ln != 0) out.Error("Non-sample log can't have a LN\n");
    if (log.sd != 0) out.Error("Non-sample log can't have a SD\n");
    if (log.ld != 0) out.Error("Non-sample log can't have a LD\n");
  }
  CheckSpecies(context, log.sp, out);
  const bool measured = context.saleType == "100" || (threeP && log.hit != 0);
  if (!measured) return out;
  if (log.p < 1 || log.p >= 3) out.Error("Invalid product code\n");
  CheckRanges(context.limits, log, out);
  if (out.errorCount > 0 || log.ln == 0 || log.sd == 0 || log.ld == 0) return out;
  if (segments) CheckSegments(log, segments(), out);
  return out;
}

int ReportLogFindings(const Findings& findings, int logNumber, platform::Ui& ui) {
  const std::string log = "Log " + IntText(logNumber);
  if (findings.errorCount > 0) {
    ui.ShowMessage(platform::Message{DropLastBreak(findings.errors), log + " has errors",
                                     platform::Icon::kStop});
    return findings.errorCount;
  }
  if (findings.warningCount > 0) {
    platform::Message ask{findings.warnings + "\nContinue?", log + " has possible errors",
                          platform::Icon::kExclamation, platform::Buttons::kOkCancel};
    return ui.ShowMessage(ask) == platform::Answer::kOk ? kLogWarningsAccepted
                                                        : kLogWarningsCancelled;
  }
  return kLogValid;
}

int ValidateLog(const LogCheckContext& context, const RowCells& row, const SegmentSource& segments,
                platform::Ui& ui) {
  return ReportLogFindings(CheckLog(context, row, segments), row.GetInt(col::kLog), ui);
}

DefectGridProblem CheckDefectGrid(const std::vector<DefectValues>& records, int logLength) {
  char text[200];
  for (size_t i = 0; i < records.size(); ++i) {
    const DefectValues& d = records[i];
    const int record = static_cast<int>(i) + 1;
    if (Sum({d.m1, d.m2, d.m3, d.m4, d.ln, d.pct}) < 1) {
      std::snprintf(text, sizeof text, "Defect record %d has no data", record);
      return DefectGridProblem{record, text};
    }
    if (d.ln > logLength) {
      std::snprintf(text, sizeof text,
                    "Defect record %d: Defect length of %d is greater than the log's length of %d.",
                    record, d.ln, logLength);
      return DefectGridProblem{record, text};
    }
    if (const char* measurements = MeasurementProblem(d)) {
      std::snprintf(text, sizeof text, "Defect record %d: %s", record, measurements);
      return DefectGridProblem{record, text};
    }
  }
  return DefectGridProblem{};
}

int ValidateDefectGrid(const std::vector<DefectValues>& records, int logLength, platform::Ui& ui) {
  const DefectGridProblem problem = CheckDefectGrid(records, logLength);
  if (problem.record > 0) {
    ui.ShowMessage(platform::Message{problem.message, "Defect Error!", platform::Icon::kStop});
  }
  return problem.record;
}

}  // namespace sampling
