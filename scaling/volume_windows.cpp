#include "scaling/volume_windows.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "scaling/text_format.h"
#include "scaling/volume_math.h"

namespace scaling {
namespace {

// Index of a product's column, or -1 for products the totals skip.
int ProductColumn(int product) {
  if (product == 1) return kSaw;
  if (product == 2) return kNonSaw;
  return -1;
}

// One pair of volume columns of a log: GCV and NCV, or GBV and NBV.
struct VolumeColumns {
  float TotalsLog::*gross;
  float TotalsLog::*net;
};
constexpr VolumeColumns kCubicColumns{&TotalsLog::gcv, &TotalsLog::ncv};
constexpr VolumeColumns kBoardColumns{&TotalsLog::gbv, &TotalsLog::nbv};

// A log the 3P expansion takes: saw or non-saw, measured or counted.
bool Decided(const TotalsLog& log) {
  return ProductColumn(log.product) >= 0 && (log.hit == 0 || log.hit == 1);
}

void Count100Percent(const std::vector<TotalsLog>& logs, LoadTotals& t) {
  for (const TotalsLog& log : logs) {
    const int c = ProductColumn(log.product);
    if (c >= 0) ++t.measured[c];
  }
}

void Count3P(const std::vector<TotalsLog>& logs, LoadTotals& t) {
  for (const TotalsLog& log : logs) {
    if (log.kpi == 0 && log.split == "1") ++t.nonChargeable;
    if (!Decided(log)) continue;
    ++(log.hit == 0 ? t.counted : t.measured)[ProductColumn(log.product)];
  }
}

void Sum100Percent(const std::vector<TotalsLog>& logs, VolumeColumns v, float* gross,
                   float* net) {
  for (const TotalsLog& log : logs) {
    const int c = ProductColumn(log.product);
    if (c < 0) continue;
    gross[c] += log.*v.gross;
    net[c] += log.*v.net;
  }
}

// The 3P expansion by product; `t` holds the counts already.
void Expand3P(const std::vector<TotalsLog>& logs, const LoadTotals& t, VolumeColumns v,
              float* gross, float* net) {
  float kpiSum[2] = {};
  float grossRatio[2] = {};
  float netRatio[2] = {};
  for (const TotalsLog& log : logs) {
    if (!Decided(log)) continue;
    const int c = ProductColumn(log.product);
    kpiSum[c] += static_cast<float>(log.kpi);
    // A zero KPI would divide by zero; such a log cannot be expanded.
    if (log.hit == 0 || log.kpi < 1) continue;
    grossRatio[c] += log.*v.gross / static_cast<float>(log.kpi);
    netRatio[c] += log.*v.net / static_cast<float>(log.kpi);
  }
  for (int c : {kSaw, kNonSaw}) {
    if (t.measured[c] == 0) continue;
    const float m = static_cast<float>(t.measured[c]);
    gross[c] = grossRatio[c] / m * kpiSum[c];
    net[c] = netRatio[c] / m * kpiSum[c];
  }
}

// Saw and non-saw volumes of one pair of columns, by the load's design.
void AddVolumes(const std::vector<TotalsLog>& logs, const LoadTotals& t, VolumeColumns v,
                float* gross, float* net) {
  if (t.threeP) {
    Expand3P(logs, t, v, gross, net);
  } else {
    Sum100Percent(logs, v, gross, net);
  }
  gross[kTotal] = gross[kSaw] + gross[kNonSaw];
  net[kTotal] = net[kSaw] + net[kNonSaw];
}

// Saw and non-saw are rounded first and the total is their sum, so that the
// lines add up as shown.
void AddBoardFeet(const std::vector<TotalsLog>& logs, LoadTotals& t) {
  t.board = true;
  AddVolumes(logs, t, kBoardColumns, t.boardGross, t.boardNet);
  for (int c : {kSaw, kNonSaw}) {
    t.boardGross[c] = RoundToTens(t.boardGross[c]);
    t.boardNet[c] = RoundToTens(t.boardNet[c]);
  }
  t.boardGross[kTotal] = t.boardGross[kSaw] + t.boardGross[kNonSaw];
  t.boardNet[kTotal] = t.boardNet[kSaw] + t.boardNet[kNonSaw];
  for (int c : {kSaw, kNonSaw, kTotal}) t.boardDefect[c] = t.boardGross[c] - t.boardNet[c];
}

// Reads a field's text as a whole number: blanks, optional sign, digits.
int WholeNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), 1000000);
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

LoadTotals ComputeLoadTotals(std::string_view design, const std::vector<TotalsLog>& liveLogs,
                             bool board) {
  LoadTotals t;
  t.threeP = design != "100";
  if (t.threeP) {
    Count3P(liveLogs, t);
  } else {
    Count100Percent(liveLogs, t);
  }
  for (int c : {kSaw, kNonSaw}) t.total[c] = t.measured[c] + t.counted[c];
  AddVolumes(liveLogs, t, kCubicColumns, t.gross, t.net);
  for (int c : {kSaw, kNonSaw, kTotal}) t.defect[c] = t.gross[c] - t.net[c];
  if (board) AddBoardFeet(liveLogs, t);
  t.measured[kTotal] = t.measured[kSaw] + t.measured[kNonSaw];
  t.counted[kTotal] = t.counted[kSaw] + t.counted[kNonSaw];
  t.total[kTotal] = t.total[kSaw] + t.total[kNonSaw];
  return t;
}

float RoundToTens(float boardFeet) { return RoundTo(boardFeet * 0.1f, 0) * 10.0f; }

std::vector<float> TotalsWeights(std::string_view design, const std::vector<TotalsLog>& liveLogs) {
  std::vector<float> weights(liveLogs.size(), 0.0f);
  const LoadTotals t = ComputeLoadTotals(design, liveLogs);
  float kpiSum[2] = {};
  for (const TotalsLog& log : liveLogs) {
    if (t.threeP && Decided(log)) kpiSum[ProductColumn(log.product)] += static_cast<float>(log.kpi);
  }
  for (size_t i = 0; i < liveLogs.size(); ++i) {
    const TotalsLog& log = liveLogs[i];
    const int c = ProductColumn(log.product);
    if (c < 0) continue;
    if (!t.threeP) {
      weights[i] = 1.0f;
    } else if (Decided(log) && log.hit == 1 && log.kpi >= 1) {
      weights[i] = kpiSum[c] / (static_cast<float>(t.measured[c]) * static_cast<float>(log.kpi));
    }
  }
  return weights;
}

bool CountsAsMeasured(std::string_view design, const TotalsLog& log) {
  if (design == "100") return ProductColumn(log.product) >= 0;
  return Decided(log) && log.hit == 1;
}

bool CountsAsCounted(std::string_view design, const TotalsLog& log) {
  return design != "100" && Decided(log) && log.hit == 0;
}

std::string LoadTotalsText(std::string_view sale, std::string_view llr, const LoadTotals& t) {
  const std::string saleText(sale);
  const std::string llrText(llr);
  std::string text = Format("SALE: %s  LLR: %s\r\n\r\n", saleText.c_str(), llrText.c_str());
  text += "           SAW    NONSAW   TOTAL\r\n";
  text += "---------------------------------\r\n";
  AppendFormat(text, "   Gross: %5.1f   %5.1f    %5.1f\r\n", t.gross[0], t.gross[1], t.gross[2]);
  AppendFormat(text, "     Net: %5.1f   %5.1f    %5.1f\r\n", t.net[0], t.net[1], t.net[2]);
  AppendFormat(text, "  Defect: %5.1f   %5.1f    %5.1f\r\n", t.defect[0], t.defect[1], t.defect[2]);
  if (t.board) {
    AppendFormat(text, "Gross BF: %5.0f   %5.0f    %5.0f\r\n", t.boardGross[0], t.boardGross[1],
                 t.boardGross[2]);
    AppendFormat(text, "  Net BF: %5.0f   %5.0f    %5.0f\r\n", t.boardNet[0], t.boardNet[1],
                 t.boardNet[2]);
    AppendFormat(text, "  Def BF: %5.0f   %5.0f    %5.0f\r\n", t.boardDefect[0],
                 t.boardDefect[1], t.boardDefect[2]);
  }
  AppendFormat(text, "Measured: %3d     %3d      %3d\r\n", t.measured[0], t.measured[1],
               t.measured[2]);
  if (t.threeP) {
    AppendFormat(text, " Counted: %3d     %3d      %3d\r\n", t.counted[0], t.counted[1],
                 t.counted[2]);
    AppendFormat(text, "   Total: %3d     %3d      %3d\r\n", t.total[0], t.total[1], t.total[2]);
    AppendFormat(text, "Non-chargeable logs:%d\r\n", t.nonChargeable);
  }
  return text;
}

std::string_view LoadTotalsCaption(std::string_view design) {
  return design == "100" ? kLoad100Caption : kLoad3PCaption;
}

std::string LogVolumeWindowText(std::string_view sale, std::string_view llr, std::string_view split,
                                LogVolume& volume, bool* culled) {
  const std::string saleText(sale);
  const std::string llrText(llr);
  std::string text = Format("SALE: %s  LLR: %s\r\n\r\n", saleText.c_str(), llrText.c_str());
  volume.VolumeText(text, split);
  if (culled != nullptr) *culled = volume.CulledSegmentCount() > 0;
  return text;
}

std::string LogLabel(int log, std::string_view split) {
  const std::string splitText(split);
  return Format("Log=%d,S=%s", log, splitText.c_str());
}

std::string LogLabelCaption(int log, std::string_view split) {
  std::string caption;
  for (const char ch : LogLabel(log, split)) {
    caption += ch;
    if (ch == ',') caption += ' ';
  }
  return caption;
}

double QuickEstimate(int sd, int ld, int ln) {
  return (static_cast<double>(sd) * sd + static_cast<double>(ld) * ld) * ln * 0.002727;
}

std::string QuickEstimateText(std::string_view sd, std::string_view ld, std::string_view ln) {
  return Format("CF Volume: %5.1f",
                QuickEstimate(WholeNumber(sd), WholeNumber(ld), WholeNumber(ln)));
}

}  // namespace scaling
