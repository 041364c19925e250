#include "scaling/volume_windows.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "scaling/text_format.h"

namespace scaling {
namespace {

// Index of a product's column, or -1 for products the totals skip.
int ProductColumn(int product) {
  if (product == 1) return kSaw;
  if (product == 2) return kNonSaw;
  return -1;
}

void Add100Percent(const std::vector<TotalsLog>& logs, LoadTotals& t) {
  for (const TotalsLog& log : logs) {
    const int c = ProductColumn(log.product);
    if (c < 0) continue;
    t.gross[c] += log.gcv;
    t.net[c] += log.ncv;
    ++t.measured[c];
  }
}

void Add3P(const std::vector<TotalsLog>& logs, LoadTotals& t) {
  float kpiSum[2] = {};
  float grossRatio[2] = {};
  float netRatio[2] = {};
  for (const TotalsLog& log : logs) {
    if (log.kpi == 0 && log.split == "1") ++t.nonChargeable;
    const int c = ProductColumn(log.product);
    if (c < 0 || (log.hit != 0 && log.hit != 1)) continue;
    kpiSum[c] += static_cast<float>(log.kpi);
    if (log.hit == 0) {
      ++t.counted[c];
      continue;
    }
    ++t.measured[c];
    // A zero KPI would divide by zero; such a log cannot be expanded.
    if (log.kpi < 1) continue;
    grossRatio[c] += log.gcv / static_cast<float>(log.kpi);
    netRatio[c] += log.ncv / static_cast<float>(log.kpi);
  }
  for (int c : {kSaw, kNonSaw}) {
    t.total[c] = t.measured[c] + t.counted[c];
    if (t.measured[c] == 0) continue;
    const float m = static_cast<float>(t.measured[c]);
    t.gross[c] = grossRatio[c] / m * kpiSum[c];
    t.net[c] = netRatio[c] / m * kpiSum[c];
  }
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

LoadTotals ComputeLoadTotals(std::string_view design, const std::vector<TotalsLog>& liveLogs) {
  LoadTotals t;
  t.threeP = design != "100";
  if (t.threeP) {
    Add3P(liveLogs, t);
  } else {
    Add100Percent(liveLogs, t);
  }
  t.gross[kTotal] = t.gross[kSaw] + t.gross[kNonSaw];
  t.net[kTotal] = t.net[kSaw] + t.net[kNonSaw];
  for (int c : {kSaw, kNonSaw, kTotal}) t.defect[c] = t.gross[c] - t.net[c];
  t.measured[kTotal] = t.measured[kSaw] + t.measured[kNonSaw];
  t.counted[kTotal] = t.counted[kSaw] + t.counted[kNonSaw];
  t.total[kTotal] = t.total[kSaw] + t.total[kNonSaw];
  return t;
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
