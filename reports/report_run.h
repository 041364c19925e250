// ReportRun: one run of the reports over the open scale file.
//
// The Reports dialog (and varnolde-cli's "report" command) asks for any of
// the comprehensive report (".cmp"), the log report (".clg") and the
// Brevanta file (".bva"). GenerateReports audits every load of the file,
// refuses the whole run when a load has errors, and then writes, load by load,
// the chosen files beside the scale file; a file of type "non-scale loads"
// gets the load summary CSV instead. Every load's header is fetched once
// (FetchLoadHeader) into values and labelled texts that all reports share.
//
// The reports read and write the file only through the TableStore of the
// ReportContext; they never commit except where a report says so (the
// comprehensive pass stores the recomputed GCV and NCV and commits).
//
// Performance: a load's Log, Seg and defect rows are read once per load into
// a LoadData (load_data.h), so finding a log's row, segments and defects again
// never scans a table per log.
//
// Thread safety: none; one run on the user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "scaling/log_volume.h"
#include "tablestore/table_store.h"

namespace reports {

class LoadData;

// File types of a scale file (Globals System/FileType). Stored in files:
// never change the texts.
inline constexpr char kFileTypeProduction[] = "production";
inline constexpr char kFileTypeCheckScale[] = "check scale";
inline constexpr char kFileTypeNonScale[] = "non-scale loads";

// What the reports need of the application: the open file and the services
// they talk through. Every pointer is borrowed and must outlive every call
// that is given the context (and every hook made from it).
// REQUIRES: store, ui, files and clock are not null (the store may be closed:
// the calls then do nothing).
struct ReportContext {
  tablestore::TableStore* store = nullptr;  // the open scale file
  platform::Ui* ui = nullptr;               // messages, wait cursor
  platform::FileSystem* files = nullptr;    // where report files are written
  const platform::Clock* clock = nullptr;   // "[SUB:date]" and "[SUB:time]"
  // Path of the open scale file (".scl"); the reports are written beside it.
  // Empty when unknown (the audit report then names itself from the load).
  std::string scaleFilePath;
  // The file type (kFileType...); anything else counts as production.
  std::string fileType = kFileTypeProduction;
  // The application's unit and sale-type settings, printed by the audit
  // report ("UOM: ", "Type Scale: ").
  std::string unitSetting;
  std::string saleTypeSetting;
  // Called with a load's cull factors whenever a report reads them (they
  // become the application's current ones). May be empty.
  std::function<void(const scaling::CullFactors&)> setCullFactors;
  // Also write a PDF copy beside each printed report (report_pdf.h).
  bool pdfCopies = false;
};

// The reports a run is asked for.
struct ReportChoice {
  bool comprehensive = false;  // "Comprehensive Report (*.cmp)"
  bool logReport = false;      // "Log Report (*.clg)"
  bool brevanta = false;       // "Brevanta File (*.bva)"
};

// The texts of a load's Load row that the reports print (all as stored).
struct LoadHeader {
  std::string sale, llr;
  std::string contract, location, purch, region, forest, district;
  std::string sdate, stime, scaler, chkScaler, sg, st, scaleSys;
  std::string nwt, gwt, measSys, status, hdate, trk, dest;
  scaling::CullFactors cull;
  std::string unitCode;  // "03", "01", "05", or "" (see UnitOfMeasureCode)
};

// The texts and cull factors of row `row` of a slot over table Load (a
// column the table lacks reads as empty text or 0); unitCode stays empty.
LoadHeader ReadLoadHeader(const tablestore::TableStore& store, int slot, int row);

// The labelled header texts, already fitted to their widths (FitLabel).
struct HeaderLabels {
  std::string uom;          // "UOM: " + SCALESYS, 28
  std::string scaleDate;    // "Scale Date: " + SDATE, 25
  std::string scaleTime;    // "Scale Time: " + STIME, 25
  std::string scaler;       // "Scaler: " + SCALER, 25
  std::string checkScaler;  // "Check Scaler: " + CHKSCALER, 25
  std::string typeScale;    // "Type Scale: " + ST, 25
  std::string location;     // "Location: " + LOCATION, 25
  std::string saleName;     // "Salename: " + sale, 75
  std::string loadReceipt;  // "Load Receipt: " + load receipt, 25
  std::string purchaser;    // "Purchaser: " + PURCH, 25
  std::string contract;     // "Contract: " + CONTRACT, 25
  std::string sampleGroup;  // "Sample Group: " + SG, 25
  std::string region;       // "Region: " + REGION, 25
  std::string forest;       // "Forest: " + FOREST, 17
  std::string district;     // "District: " + DISTRICT, 17
  std::string haulDate;     // "Haul Date:  " + HDATE, 25
  std::string grossWeight;  // "Gross WT: " + GWT, 25
  std::string netWeight;    // "Net WT: " + NWT, 25
  std::string merchSaw;     // "Merch (SAW): %4.2f" with CFSAWCU, not fitted
  std::string merchPulp;    // "Merch (PULP): %4.2f" with CFNONSAWCU, not fitted
};

// One species-product pair of the 3P totals of the log report.
struct ThreePTotal {
  std::string species;
  std::string product;
  int samples = 0;          // m: sample logs (HIT 1)
  float grossRatioSum = 0;  // RG
  long kpiSum = 0;          // K: KPI of every live log of the pair
  float netRatioSum = 0;    // RN
};

// One species-product line of the 100 % totals of the log report.
struct HundredTotal {
  std::string species;
  std::string product;
  int count = 0;
  float gross = 0;
  float net = 0;
};

// A log cut into consecutive splits of one product, combined.
struct CombinedSplitRatio {
  int log = 0;
  std::string split;
  std::string product;
  float grossRatio = 0;
  float netRatio = 0;
  float percent = 0;
};

// Fits `label` to `width` characters: cut when longer, filled with blanks
// when shorter.
std::string FitLabel(std::string_view label, int width);

// The unit of measure code of a scale system: "Cubic", "cubic", "03", "3"
// give "03"; "Board", "board", "01", "1" give "01"; "Weight", "weight", "05",
// "5" give "05" (exact comparisons); anything else gives "".
std::string UnitOfMeasureCode(std::string_view scaleSystem);

// The scale file's path without a final ".scl" (letter case ignored); the
// path unchanged when it has none.
std::string ScaleFileBase(std::string_view scaleFilePath);

// `text` made fit to stand in a file name: blanks and ":" dropped, "/" and
// "\\" made "-". Report names built from a load's texts pass through it.
std::string FileNamePart(std::string_view text);

// Caption prefix of the message that refuses a run for a load with errors.
inline constexpr char kReportsCancelledCaption[] = "Errors Found - Reports Cancelled for load ";
// Text of the final message: this, followed by what the dialog passes.
inline constexpr char kReportsCreatedFor[] = "Reports Created for";
// The count message of the load summary CSV ("%d" = loads written).
inline constexpr char kCsvCountFormat[] = "A csv file containing %d loads has been generated";

// What a report run did.
struct [[nodiscard]] ReportRunResult {
  // True when the run went through to its final message; false when nothing
  // was chosen, no file is open, a load had audit errors (shown) or the
  // scaler cancelled the warnings. Nothing is written when false.
  bool ran = false;
  // Why the run was refused before it did anything (report names that
  // clash, shown); "" otherwise.
  std::string refusal;
  // Paths of the report and export files written, in the order written.
  std::vector<std::string> written;
  // Paths of the files that could not be created ("Error Creating File"
  // shown for each).
  std::vector<std::string> failed;
  // Load receipts (LLR) of the loads whose recomputed volumes could not be
  // stored: the commit failed (shown with the engine's reason) and the file
  // keeps the volumes it had.
  std::vector<std::string> volumesNotStored;

  // True when the run went through and every file and volume was written.
  bool complete() const { return ran && failed.empty() && volumesNotStored.empty(); }
};

// Caption and text of the message shown when a load's recomputed volumes
// could not be committed: kVolumesNotStoredText + the load receipt + ":\n" +
// the engine's reason.
inline constexpr char kVolumesNotStoredCaption[] = "Error";
inline constexpr char kVolumesNotStoredText[] = "The volumes of load ";

// The report run. With none of the three chosen returns at once (ran false).
// Otherwise, with the wait cursor shown: refuses a run whose loads would
// write their reports under one name (ReportNameClash, caption
// kReportNameClashCaption, stop icon; nothing written); removes the
// leftovers of report writes cut short by a crash of every report name of
// the file (RemoveStaleReportTemporaries); unless the file type is
// "non-scale loads", audits every load (sampling::AuditLoad); the first load with errors
// stops the run before any file is written, with a message box holding the
// error text, caption kReportsCancelledCaption + its load receipt, stop icon;
// a cancelled warnings prompt stops it silently. Then a "non-scale loads"
// file gets the load summary CSV (and the message kCsvCountFormat, caption
// "Done", information icon); any other file gets, for every Load row in
// order, the chosen reports (the comprehensive report, the log report, and
// for "production" files the Brevanta file). A report file that cannot be
// created shows "Error Creating File" and the run goes on. The recomputed
// volumes of every load, the stamps of the loads whose reports were all
// written (StoreReportStamp) and the audits' journal entries reach the file
// in one commit at the end (CommitRun). Only when everything was written
// shows kReportsCreatedFor + `createdFor` (caption "Done", information
// icon). The result lists what was written and what failed; ran is false
// when no file is open.
ReportRunResult GenerateReports(const ReportContext& context, const ReportChoice& choice,
                                std::string_view createdFor);

// The state of one run: the header of the load being reported, its base
// name, and the totals the log report computes for the Brevanta file.
// Normally driven by GenerateReports; the pieces are public for the tests and
// for callers that write one report.
class ReportRun {
 public:
  // Reads the program version (Globals System/ProgramVersion) and counts the
  // loads. REQUIRES: context.store is open; context outlives the run.
  explicit ReportRun(const ReportContext& context);
  ~ReportRun();
  ReportRun(const ReportRun&) = delete;
  ReportRun& operator=(const ReportRun&) = delete;

  // Fetches the header of load (sale, llr): the Load row's texts and cull
  // factors (handed to context.setCullFactors), the unit code, the labels and
  // the report base name (scale file base, followed by the load receipt when
  // the file has two or more loads and is not "non-scale loads"); empties the
  // per-load totals and reads the load's rows (LoadData). Missing columns
  // read as empty text (or 0). Returns 0; -3 when no Load row matches (the
  // header is then empty, the labels hold their captions only).
  [[nodiscard]] int FetchLoadHeader(const std::string& sale, const std::string& llr);

  // The comprehensive report of the fetched load (comprehensive_report.cpp):
  // recomputes every listed log's cubic volumes, stores them in GCV and NCV,
  // commits, and writes reportBaseName + ".cmp" unless `writeFile` is false.
  // Returns true when the file was written.
  [[nodiscard]] bool WriteComprehensiveReport(bool writeFile);

  // The log report of the fetched load (log_report.cpp), preceded by the
  // comprehensive pass while includeComprehensive() is set. Fills the 3P or
  // 100 % totals. Writes reportBaseName + ".clg"; true when written.
  [[nodiscard]] bool WriteLogReport();

  // The Brevanta file of the fetched load (exports.cpp): the load line and
  // the species lines of the totals of this run's log report for the load.
  // Writes reportBaseName + ".bva"; true when written.
  [[nodiscard]] bool WriteBrevantaFile();

  // The load summary CSV of every load (exports.cpp), written to the scale
  // file base + ".csv". Returns the number of loads written; 0 when the file
  // could not be created ("Error Creating File" shown).
  [[nodiscard]] int WriteLoadSummaryCsv();

  // The text of the last report built (also when its file was not written).
  const std::string& reportText() const { return report_; }

  // Observers.
  const std::string& programVersion() const { return programVersion_; }
  int loadCount() const { return loadCount_; }
  bool multipleLoads() const { return loadCount_ >= 2; }
  bool includeComprehensive() const { return includeComprehensive_; }
  void setIncludeComprehensive(bool on) { includeComprehensive_ = on; }
  const std::string& sale() const { return sale_; }
  const std::string& loadReceipt() const { return loadReceipt_; }
  const LoadHeader& header() const { return header_; }
  const HeaderLabels& labels() const { return labels_; }
  const std::string& reportBaseName() const { return reportBaseName_; }
  const std::vector<ThreePTotal>& threePTotals() const { return threePTotals_; }
  const std::vector<HundredTotal>& hundredTotals() const { return hundredTotals_; }
  const std::vector<CombinedSplitRatio>& combinedSplitRatios() const { return combined_; }
  // While set, the comprehensive pass does not commit the volumes it
  // stores: CommitRun commits those of every load at once.
  void setDeferCommit(bool on) { deferCommit_ = on; }
  // Stores the report stamp (StoreReportStamp) of each load of `stamped`
  // and commits every change of the run (the volumes, the stamps, the
  // audits' journal entries) in one commit, so that a crash leaves all of
  // them or none. A failed commit is shown (kVolumesNotStoredText with the
  // loads whose volumes waited) and recorded in result().
  void CommitRun(const std::vector<std::pair<std::string, std::string>>& stamped);
  // True when this run's log report has computed the totals of the fetched load.
  bool totalsComputed() const { return totalsComputed_; }
  // The files this run has written or failed to write so far, and the loads
  // whose volumes it could not store (ran stays false: GenerateReports sets it).
  const ReportRunResult& result() const { return result_; }

 private:
  // FetchLoadHeader without reading the load's rows (the CSV needs none).
  [[nodiscard]] int FetchHeaderOnly(const std::string& sale, const std::string& llr);
  void ReadHeaderRow(const std::string& sale, const std::string& llr, bool* found);
  void MakeLabels();
  std::string CsvValues() const;
  // Writes the last report built to `path` and records it in result_.
  [[nodiscard]] bool WriteText(const std::string& path);
  // Commits the recomputed volumes of the fetched load (or, while the commit
  // is deferred, notes the load for CommitRun); a failure is shown and
  // recorded in result_.
  void StoreVolumes();
  // Shows and records that the volumes of `loads` were not stored.
  void VolumesNotStored(const std::vector<std::string>& loads);

  const ReportContext& context_;
  std::string programVersion_;
  int loadCount_ = 0;
  bool includeComprehensive_ = true;
  std::string sale_;
  std::string loadReceipt_;
  LoadHeader header_;
  HeaderLabels labels_;
  std::string reportBaseName_;
  std::string report_;
  std::vector<ThreePTotal> threePTotals_;
  std::vector<HundredTotal> hundredTotals_;
  std::vector<CombinedSplitRatio> combined_;
  bool totalsComputed_ = false;
  std::unique_ptr<LoadData> data_;
  ReportRunResult result_;
  bool deferCommit_ = false;
  std::vector<std::string> uncommitted_;  // loads whose volumes wait for CommitRun
};

// The audit report (audit_report.cpp) of the open file: the first load's
// heading and every MessageLog row, written to the scale file base +
// ".audit" (or, without a scale file path, a name made from the load's sale,
// or its scale date and time). Nothing is shown when the file cannot be
// written. Returns true when written. `text` (optional) receives the report.
[[nodiscard]] bool WriteAuditReport(const ReportContext& context, std::string* text = nullptr);

// The path WriteAuditReport writes to: the scale file base + ".audit", or
// without a scale file path the name made from the first load.
// REQUIRES: context.store is open.
std::string AuditReportPath(const ReportContext& context);

// Message shown after the audit report was written on request.
inline constexpr char kAuditReportCreated[] = "Audit report created";

// WriteAuditReport, then, when written, "Audit report created" (caption
// "Done", information icon). Returns true when written.
[[nodiscard]] bool CreateAuditReport(const ReportContext& context);

// The hook sampling::FinalizeHooks::writeAuditReport takes: CreateAuditReport
// on a copy of `context` (whose pointers must outlive the hook).
std::function<void()> AuditReportHook(const ReportContext& context);

}  // namespace reports
