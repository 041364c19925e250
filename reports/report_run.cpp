#include "reports/report_run.h"

#include <utility>

#include "platform/text.h"
#include "reports/char_text.h"
#include "reports/load_data.h"
#include "reports/report_names.h"
#include "reports/report_pdf.h"
#include "sampling/load_audit.h"
#include "sampling/load_checks.h"
#include "scaling/data_model.h"
#include "scaling/stored_rows.h"
#include "scaling/text_format.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"

namespace reports {

namespace col = scaling::col;
using scaling::CellText;
using tablestore::SlotGuard;
using tablestore::TableLease;
using tablestore::TableStore;

std::string FitLabel(std::string_view label, int width) {
  if (width <= 0) return std::string();
  const std::vector<size_t> starts = CharStarts(label);
  const size_t count = starts.size() - 1;
  const size_t w = static_cast<size_t>(width);
  if (count >= w) return std::string(label.substr(0, starts[w]));
  std::string fitted(label);
  fitted.append(w - count, ' ');
  return fitted;
}

std::string UnitOfMeasureCode(std::string_view s) {
  if (s == "Cubic" || s == "cubic" || s == "03" || s == "3") return "03";
  if (s == "Board" || s == "board" || s == "01" || s == "1") return "01";
  if (s == "Weight" || s == "weight" || s == "05" || s == "5") return "05";
  return std::string();
}

std::string FileNamePart(std::string_view text) {
  std::string name;
  for (char c : text) {
    if (c == ' ' || c == ':') continue;
    name += c == '/' || c == '\\' ? '-' : c;
  }
  return name;
}

std::string ScaleFileBase(std::string_view path) {
  static constexpr std::string_view kExtension = ".scl";
  if (path.size() >= kExtension.size()) {
    const std::string_view end = path.substr(path.size() - kExtension.size());
    if (platform::EqualsIgnoringAsciiCase(end, kExtension)) {
      return std::string(path.substr(0, path.size() - kExtension.size()));
    }
  }
  return std::string(path);
}

namespace {

void ShowDone(platform::Ui& ui, std::string text) {
  ui.ShowMessage({std::move(text), "Done", platform::Icon::kInformation});
}

// Audits every load before anything is written. True when the run may go on.
// The audits' journal entries wait for the run's one commit; a run that
// stops here commits them on their own.
bool AuditEveryLoad(const ReportContext& context, const std::vector<LoadName>& keys) {
  for (const auto& [sale, llr] : keys) {
    std::string errors;
    const int rc = sampling::AuditLoad(*context.store, {sale, llr}, *context.ui, errors,
                                       sampling::AuditJournal::kWithAction);
    if (rc >= 1) {
      context.ui->SetWaitCursor(false);
      context.ui->ShowMessage({errors, kReportsCancelledCaption + llr, platform::Icon::kStop});
    }
    if (rc >= 1 || rc == sampling::kAuditWarningsCancelled) {
      // A failed commit has shown its reason; the run stops here either way.
      (void)sampling::CommitChanges(*context.store, *context.ui);
      return false;
    }
  }
  return true;
}

// Refuses a run whose loads would write over each other's reports: the
// refusal (shown), or "" when the run may go on.
std::string ReportNamesRefusal(const ReportContext& context, const std::vector<LoadName>& keys) {
  const std::string clash = ReportNameClash(context.scaleFilePath, context.fileType, keys);
  if (clash.empty()) return clash;
  context.ui->SetWaitCursor(false);
  context.ui->ShowMessage({clash, kReportNameClashCaption, platform::Icon::kStop});
  return clash;
}

}  // namespace

ReportRunResult GenerateReports(const ReportContext& context, const ReportChoice& choice,
                                std::string_view createdFor) {
  if (!choice.comprehensive && !choice.logReport && !choice.brevanta) return {};
  if (context.store == nullptr || !context.store->IsOpen()) return {};
  platform::WaitCursor wait(*context.ui);
  const std::vector<LoadName> keys = ReadLoadKeys(*context.store);
  const bool nonScale = context.fileType == kFileTypeNonScale;
  ReportRunResult refused;
  refused.refusal = ReportNamesRefusal(context, keys);
  if (!refused.refusal.empty()) return refused;
  RemoveStaleReportTemporaries(*context.files, context.scaleFilePath, context.fileType, keys);
  if (!nonScale && !AuditEveryLoad(context, keys)) return {};
  ReportRun run(context);
  run.setDeferCommit(true);
  std::vector<LoadName> stamped;
  if (nonScale) {
    const int written = run.WriteLoadSummaryCsv();
    ShowDone(*context.ui, scaling::Format(kCsvCountFormat, written));
  } else {
    for (const LoadName& key : keys) {
      const size_t failedBefore = run.result().failed.size();
      // The keys are the chosen loads of the file, so each header is found;
      // the writes below record each file they fail on in run.result().
      static_cast<void>(run.FetchLoadHeader(key.first, key.second));
      if (choice.comprehensive) {
        run.setIncludeComprehensive(false);
        static_cast<void>(run.WriteComprehensiveReport(true));
      }
      if (choice.logReport) static_cast<void>(run.WriteLogReport());
      if (context.fileType != kFileTypeCheckScale && choice.brevanta) {
        static_cast<void>(run.WriteBrevantaFile());
      }
      if (run.result().failed.size() == failedBefore) stamped.push_back(key);
    }
  }
  run.CommitRun(stamped);
  context.ui->SetWaitCursor(false);
  ReportRunResult result = run.result();
  result.ran = true;
  // Success is told only of a run whose every file and value was written.
  if (result.complete()) {
    ShowDone(*context.ui, std::string(kReportsCreatedFor) + std::string(createdFor));
  }
  return result;
}

ReportRun::ReportRun(const ReportContext& context)
    : context_(context), data_(std::make_unique<LoadData>()) {
  TableStore& store = *context_.store;
  // A file without the setting shows no version in the headings.
  static_cast<void>(tablestore::ReadSetting(store, tablestore::kBlockSystem,
                                            tablestore::kKeyProgramVersion, programVersion_));
  loadCount_ = static_cast<int>(ReadLoadKeys(store).size());
}

ReportRun::~ReportRun() = default;

LoadHeader ReadLoadHeader(const TableStore& store, int slot, int row) {
  const auto text = [&](const char* name) {
    return CellText(store, slot, row, store.ColumnIndex(slot, name));
  };
  LoadHeader h;
  h.sale = text(col::kSale);
  h.llr = text(col::kLLR);
  h.contract = text(col::kContract);
  h.location = text(col::kLocation);
  h.purch = text(col::kPurch);
  h.region = text(col::kRegion);
  h.forest = text(col::kForest);
  h.district = text(col::kDistrict);
  h.sdate = text(col::kSDate);
  h.stime = text(col::kSTime);
  h.scaler = text(col::kScaler);
  h.chkScaler = text(col::kChkScaler);
  h.sg = text(col::kSG);
  h.st = text(col::kST);
  h.scaleSys = text(col::kScaleSys);
  h.cull = scaling::ReadCullFactors(store, slot, row);
  h.nwt = text(col::kNWT);
  h.gwt = text(col::kGWT);
  h.measSys = text(col::kMeasSys);
  h.status = text(col::kStatus);
  h.hdate = text(col::kHDate);
  h.trk = text(col::kTrk);
  h.dest = text(col::kDest);
  return h;
}

void ReportRun::ReadHeaderRow(const std::string& sale, const std::string& llr, bool* found) {
  TableStore& store = *context_.store;
  header_ = LoadHeader();
  const SlotGuard load(store, store.Select(scaling::table::kLoad, "",
                                           scaling::LoadCriteria(sale, llr), "", "DLoad", ""));
  const int slot = load.slot();
  *found = slot >= 0 && store.RowCount(slot) >= 1;
  if (!*found) return;
  header_ = ReadLoadHeader(store, slot, 0);
}

void ReportRun::MakeLabels() {
  const LoadHeader& h = header_;
  HeaderLabels& l = labels_;
  l.merchSaw = scaling::Format("Merch (SAW): %4.2f", h.cull.sawCubic);
  l.merchPulp = scaling::Format("Merch (PULP): %4.2f", h.cull.nonSawCubic);
  l.uom = FitLabel("UOM: " + h.scaleSys, 28);
  l.scaleDate = FitLabel("Scale Date: " + h.sdate, 25);
  l.scaleTime = FitLabel("Scale Time: " + h.stime, 25);
  l.scaler = FitLabel("Scaler: " + h.scaler, 25);
  l.checkScaler = FitLabel("Check Scaler: " + h.chkScaler, 25);
  l.typeScale = FitLabel("Type Scale: " + h.st, 25);
  l.location = FitLabel("Location: " + h.location, 25);
  l.saleName = FitLabel("Salename: " + sale_, 75);
  l.loadReceipt = FitLabel("Load Receipt: " + loadReceipt_, 25);
  l.purchaser = FitLabel("Purchaser: " + h.purch, 25);
  l.contract = FitLabel("Contract: " + h.contract, 25);
  l.sampleGroup = FitLabel("Sample Group: " + h.sg, 25);
  l.region = FitLabel("Region: " + h.region, 25);
  l.forest = FitLabel("Forest: " + h.forest, 17);
  l.district = FitLabel("District: " + h.district, 17);
  l.haulDate = FitLabel("Haul Date:  " + h.hdate, 25);
  l.grossWeight = FitLabel("Gross WT: " + h.gwt, 25);
  l.netWeight = FitLabel("Net WT: " + h.nwt, 25);
}

int ReportRun::FetchLoadHeader(const std::string& sale, const std::string& llr) {
  const int rc = FetchHeaderOnly(sale, llr);
  // Its only failure is no open file, which FetchHeaderOnly has already met.
  static_cast<void>(data_->Read(*context_.store, sale, llr));
  return rc;
}

int ReportRun::FetchHeaderOnly(const std::string& sale, const std::string& llr) {
  sale_ = sale;
  loadReceipt_ = llr;
  bool found = false;
  ReadHeaderRow(sale, llr, &found);
  // Every load gets its own code: a scale system outside the known texts must
  // not inherit the previous load's.
  header_.unitCode = UnitOfMeasureCode(header_.scaleSys);
  if (found && context_.setCullFactors) context_.setCullFactors(header_.cull);
  MakeLabels();
  reportBaseName_ = ReportBaseName(context_.scaleFilePath, context_.fileType, loadCount_, llr);
  threePTotals_.clear();
  hundredTotals_.clear();
  combined_.clear();
  totalsComputed_ = false;
  // Each load's log report recomputes that load's volumes first, unless the
  // comprehensive report of the load does it.
  includeComprehensive_ = true;
  // No rows of another load may be reported under this header.
  data_ = std::make_unique<LoadData>();
  return found ? 0 : tablestore::kNotOneRow;
}

bool ReportRun::WriteText(const std::string& path) {
  return WriteReportAndPdf(context_, path, report_, context_.ui, &result_);
}

void ReportRun::StoreVolumes() {
  if (deferCommit_) {
    uncommitted_.push_back(loadReceipt_);
    return;
  }
  if (context_.store->Commit() == tablestore::kOk) return;
  VolumesNotStored({loadReceipt_});
}

void ReportRun::VolumesNotStored(const std::vector<std::string>& loads) {
  std::string names;
  for (const std::string& llr : loads) names += (names.empty() ? "" : ", ") + llr;
  result_.volumesNotStored.insert(result_.volumesNotStored.end(), loads.begin(), loads.end());
  context_.ui->ShowMessage({kVolumesNotStoredText + names + ":\n" + context_.store->LastError(),
                            kVolumesNotStoredCaption, platform::Icon::kStop});
}

void ReportRun::CommitRun(const std::vector<LoadName>& stamped) {
  TableStore& store = *context_.store;
  for (const auto& [sale, llr] : stamped) {
    // A load without its stamp only shows its reports as out of date.
    (void)StoreReportStamp(store, sale, llr);
  }
  std::vector<std::string> loads = std::move(uncommitted_);
  uncommitted_.clear();
  if (store.Commit() == tablestore::kOk) return;
  if (loads.empty()) loads.push_back(loadReceipt_);
  VolumesNotStored(loads);
}

}  // namespace reports
