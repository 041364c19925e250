// The load summary CSV and the Brevanta file. Values are written as stored,
// without quoting: the receiving systems read the plain format.
#include <utility>

#include "reports/load_data.h"
#include "reports/report_run.h"
#include "scaling/data_model.h"
#include "scaling/text_format.h"

namespace reports {

namespace {

constexpr char kCsvHeading[] =
    "Region,Forest,Dist,Sale,Location,Purchaser,Dest,Contract,SG,HDate,SDate,Scaler,Truck,LLR,"
    "NWT,GWT,E/M,UOM,Sampling,Status\n";

}  // namespace

std::string ReportRun::CsvValues() const {
  const LoadHeader& h = header_;
  const std::string* const values[19] = {
      &h.region,   &h.forest, &h.district, &sale_,      &h.location, &h.purch, &h.dest,
      &h.contract, &h.sg,     &h.hdate,    &h.sdate,    &h.scaler,   &h.trk,   &loadReceipt_,
      &h.nwt,      &h.gwt,    &h.measSys,  &h.unitCode, &h.st};
  std::string line;
  for (int i = 0; i < 19; ++i) {
    if (i > 0) line += ',';
    line += *values[i];
  }
  return line;
}

int ReportRun::WriteLoadSummaryCsv() {
  const auto keys = ReadLoadKeys(*context_.store);
  std::string text = kCsvHeading;
  for (const auto& [sale, llr] : keys) {
    // The keys are the file's own loads, so each one's header is found.
    static_cast<void>(FetchHeaderOnly(sale, llr));
    text += CsvValues() + ",0\n";
  }
  report_ = std::move(text);
  return WriteText(ScaleFileBase(context_.scaleFilePath) + ".csv") ? static_cast<int>(keys.size())
                                                                   : 0;
}

bool ReportRun::WriteBrevantaFile() {
  // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) about
  // "literal" + std::string in release builds.
  report_.assign(1, '~');
  report_ += CsvValues();
  report_ += ",1\n";
  if (totalsComputed_ && header_.st == "3P") {
    for (const ThreePTotal& t : threePTotals_) {
      scaling::AppendFormat(report_, "%s,%s,%7d,%8ld,%10.4f,%8.4f\n", t.species.c_str(),
                            t.product.c_str(), t.samples, t.kpiSum, t.grossRatioSum, t.netRatioSum);
    }
  } else if (totalsComputed_) {
    for (const HundredTotal& t : hundredTotals_) {
      if (t.gross <= 0.0f) continue;
      scaling::AppendFormat(report_, "%s,%s,%10.1f,%10.1f\n", t.species.c_str(), t.product.c_str(),
                            t.gross, t.net);
    }
  }
  return WriteText(reportBaseName_ + ".bva");
}

}  // namespace reports
