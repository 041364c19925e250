#include "cli/commands.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "app/file_names.h"
#include "app/load_actions.h"
#include "app/load_rename.h"
#include "app/scale_files.h"
#include "cli/csv_field.h"
#include "app/load_import.h"
#include "cli/table_dump.h"
#include "reports/report_names.h"
#include "platform/text.h"
#include "reports/report_pdf.h"
#include "reports/report_run.h"
#include "sampling/load_checks.h"
#include "scaling/load_volumes.h"
#include "tablestore/settings.h"
#include "tablestore/storage_file.h"
#include "tablestore/table_store.h"

namespace cli {
namespace {

// Import files larger than this are refused rather than read: a load of
// 100,000 logs stays far below it.
constexpr size_t kMaxImportBytes = 64u << 20;

// True when `path` is a regular file this process can read (a folder is not).
bool IsReadableFile(const platform::FileSystem& fs, const std::string& path) {
  std::string none;
  const platform::FileResult read = fs.ReadFile(path, 0, &none);
  return read == platform::FileResult::kOk || read == platform::FileResult::kTooLarge;
}

// The test hook that holds a command inside its open: while the file named
// by this environment variable exists, a command that has opened its scale
// file (and so holds it) waits before it does its work. Unset, nothing
// waits. The race tests use it to make two programs meet for certain.
constexpr char kHoldOpenVariable[] = "VARNOLDE_CLI_HOLD_OPEN_WHILE";
// The longest such wait, so that a forgotten file never hangs a command.
constexpr auto kLongestHold = std::chrono::seconds(30);

void WaitWhileHeld(const platform::FileSystem& fs) {
  const char* hold = std::getenv(kHoldOpenVariable);
  if (hold == nullptr || *hold == '\0') return;
  const auto until = std::chrono::steady_clock::now() + kLongestHold;
  while (fs.Exists(hold) && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// A scale file opened as the main screen opens it, and closed as the main
// screen closes it (app::CloseFile) when a command has done its work.
// "File opened" is committed with the command's first commit, so that a
// command refused (Refuse) or killed before it did anything leaves the file
// byte for byte as it was.
class OpenFile {
 public:
  OpenFile(Context& ctx, const std::string& path)
      : ui_(ctx.ui), files_(ctx.ui, ctx.fs, ctx.clock, ctx.programFolder) {
    failure_ = tablestore::NotAStorageFile(ctx.fs, path);
    if (!failure_.empty()) return;
    if (files_.OpenForCommand(path) != app::FileOutcome::kOpened) {
      failure_ = "the file could not be opened";
      return;
    }
    WaitWhileHeld(ctx.fs);
  }
  // Every command ends with Close or Refuse; a file still open here (an
  // early return) keeps nothing of the command.
  ~OpenFile() { files_.DropChanges(); }
  // Closes the file after the command's work (journaling "File closed",
  // which commits) and gives `result`, or a failure when the file could not
  // take the close (a read-only file): no command reports success on a file
  // that kept nothing of it.
  Outcome Close(Outcome result) {
    if (!app::CloseFile(files_, ui_) && result.ok) {
      return Outcome::Fail("the file could not be written (see the message above)");
    }
    return result;
  }
  // Closes the file without committing anything not yet committed, and
  // gives `result`: a command refused before its work, or one whose commit
  // failed (its changes and their journal entries go together).
  Outcome Refuse(Outcome result) {
    files_.DropChanges();
    return result;
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool ok() const { return failure_.empty(); }
  // Why the file could not be opened, for the caller to return.
  Outcome Failed() const { return Outcome::Fail(failure_); }
  tablestore::TableStore& store() { return *files_.store(); }
  const app::OpenFileState& state() const { return files_.state(); }
  // What the reports need of the open file.
  reports::ReportContext ReportContext(Context& ctx) {
    return app::MakeReportContext(store(), state(), ctx.ui, ctx.fs, ctx.clock);
  }

 private:
  platform::Ui& ui_;
  app::ScaleFiles files_;
  std::string failure_;
};

// Writes `text` with every line indented by two blanks.
void WriteIndented(std::ostream& out, const std::string& text) {
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    out << "  " << text.substr(begin, end - begin) << '\n';
    begin = end + 1;
  }
}

std::string Plural(int n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The header audit as the main screen runs it when the load information
// screen closes, with its journal entry. True when the header passes.
bool AuditHeader(Context& ctx, OpenFile& file, const std::string& path) {
  const app::HeaderAuditOutcome outcome = app::RunHeaderAudit(file.store(), ctx.clock, ctx.ui);
  if (outcome.passed()) {
    ctx.out << path << ": Header audit: passed\n";
    return true;
  }
  ctx.out << path << ": Header audit: " << Plural(outcome.audit.problems, "problem") << '\n';
  WriteIndented(ctx.out, outcome.audit.text);
  return false;
}

// The load audit of one load. True unless it found errors.
bool AuditOneLoad(Context& ctx, OpenFile& file, const std::string& path,
                  const sampling::LoadKey& key) {
  std::string errors;
  const int rc = sampling::AuditLoad(file.store(), key, ctx.ui, errors);
  ctx.out << path << ": Load audit of SALE " << key.sale << " LLR " << key.llr << ": ";
  if (rc > 0) {
    ctx.out << Plural(rc, "error") << '\n';
    WriteIndented(ctx.out, errors);
    return false;
  }
  if (rc == sampling::kAuditPassed) {
    ctx.out << "passed\n";
  } else {
    ctx.out << "passed with warnings ("
            << (rc == sampling::kAuditWarningsAccepted ? "accepted" : "not accepted") << ")\n";
  }
  return true;
}

}  // namespace

Outcome Create(Context& ctx, const std::string& setupPath, const std::string& scalePath) {
  const std::string setup =
      setupPath.empty() ? ctx.programFolder + app::kDefaultSetupFileName : setupPath;
  const std::string notSetup = tablestore::NotAStorageFile(ctx.fs, setup);
  if (!notSetup.empty()) return Outcome::Fail("the setup file " + setup + ": " + notSetup);
  app::ScaleFiles files(ctx.ui, ctx.fs, ctx.clock, ctx.programFolder);
  if (!files.CheckNotInUse(setup))
    return Outcome::Fail("the setup file " + setup + " cannot be used");
  // A file at the new file's path is moved to its backup name: never a
  // folder, and not while another program holds it (the handheld could not
  // move a file that was open).
  std::optional<std::string> backup;
  if (ctx.fs.Exists(scalePath)) {
    if (!IsReadableFile(ctx.fs, scalePath)) {
      return Outcome::Fail(
          "a folder (or a file that cannot be read) is in the way; nothing "
          "was created");
    }
    if (!files.CheckNotInUse(scalePath)) {
      return Outcome::Fail("the file in the way is in use; nothing was created");
    }
    backup = app::BackupName(ctx.fs, scalePath);
  }
  if (files.CreateFromSetup(setup, scalePath) != app::FileOutcome::kCreated) {
    return Outcome::Fail("the scale file could not be created");
  }
  ctx.out << "Created " << files.state().path;
  if (backup) ctx.out << " (the file that was there is now " << *backup << ")";
  ctx.out << '\n';
  if (!app::CloseFile(files, ctx.ui)) {
    return Outcome::Fail("the new file could not be closed (see the message above)");
  }
  return Outcome::Ok();
}

namespace {

// Reads the import text; a failure names the text file.
Outcome ReadImportText(Context& ctx, const std::string& textPath, std::string* bytes) {
  switch (ctx.fs.ReadFile(textPath, kMaxImportBytes, bytes)) {
    case platform::FileResult::kOk:
      return Outcome::Ok();
    case platform::FileResult::kNotFound:
      return Outcome::Fail("the import file " + textPath + " does not exist");
    case platform::FileResult::kTooLarge:
      return Outcome::Fail("the import file " + textPath + " is too large");
    default:
      return Outcome::Fail("the import file " + textPath + " cannot be read");
  }
}

// Writes the findings of an import's checks to the error stream, one line
// each, naming the text file (they carry their line numbers).
void WriteImportFindings(Context& ctx, const std::string& textPath,
                         const app::ImportSummary& summary) {
  for (const std::string& line : summary.errors) {
    ctx.ui.err() << "varnolde-cli: " << textPath << ": " << line << '\n';
  }
  for (const std::string& line : summary.warnings) {
    ctx.ui.err() << "varnolde-cli: " << textPath << ": warning: " << line << '\n';
  }
}

// Writes what a committed import did.
void WriteImported(Context& ctx, const std::string& scalePath, const std::string& textPath,
                   const app::ImportSummary& summary) {
  for (const std::string& load : summary.replaced) ctx.out << "Replaced the load " << load << '\n';
  ctx.out << "Imported " << textPath << " into " << scalePath;
  if (!summary.encoding.empty()) ctx.out << " (read as " << summary.encoding << ")";
  ctx.out << ":";
  const char* sep = " ";
  for (const auto& [table, rows] : summary.rows) {
    ctx.out << sep << table << " " << Plural(rows, "row");
    sep = ", ";
  }
  ctx.out << '\n';
}

}  // namespace

Outcome Import(Context& ctx, const std::string& scalePath, const std::string& textPath,
               bool replace) {
  std::string bytes;
  const Outcome read = ReadImportText(ctx, textPath, &bytes);
  if (!read.ok) return read;
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  // A refused import leaves the file as it was: closed without a commit.
  if (file.state().finalized == tablestore::kYes) {
    return file.Refuse(
        Outcome::Fail("the load is finalized: its log data can no longer be changed"));
  }
  app::ImportSummary summary;
  const app::ImportOptions options{replace, file.state().isSetupFile};
  const int rc = app::ImportLoadText(file.store(), bytes, options, &summary);
  WriteImportFindings(ctx, textPath, summary);
  if (rc != 0) return file.Refuse(Outcome::Fail(textPath + ": " + summary.error));
  // The journal entry's commit is the import's: a kill leaves both or
  // neither.
  if (!app::Journal(file.store(), ctx.ui,
                    "Imported " + Plural(summary.logs, "log") + " from " + textPath)) {
    return file.Refuse(Outcome::Fail(
        "the import could not be written (see the message above); nothing "
        "was imported"));
  }
  WriteImported(ctx, scalePath, textPath, summary);
  return file.Close(Outcome::Ok());
}

std::string ImportUsageProblem(const std::string& scalePath, const std::string& textPath) {
  std::error_code unknown;
  if (scalePath == textPath || std::filesystem::equivalent(scalePath, textPath, unknown)) {
    return "import: the scale file and the text file are the same file";
  }
  const std::string name = std::filesystem::path(textPath).filename().string();
  for (const std::string_view extension : {".scl", ".setupscl"}) {
    if (name.size() > extension.size() &&
        platform::EqualsIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension)) {
      return "import: " + textPath +
             " is a scale or setup file, not a load text (the scale file comes first: import "
             "FILE.scl TEXTFILE)";
    }
  }
  return "";
}

Outcome Audit(Context& ctx, const std::string& scalePath) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  bool passed = AuditHeader(ctx, file, scalePath);
  for (const sampling::LoadKey& key : app::ListLoads(file.store())) {
    passed = AuditOneLoad(ctx, file, scalePath, key) && passed;
  }
  return file.Close(passed ? Outcome::Ok() : Outcome::Fail("the audit found errors"));
}

// With `pdf`, says that the PDF copy of the report file `path` was written,
// or fails when it is not there. Without, or without a report: Ok.
Outcome WrotePdf(Context& ctx, bool pdf, const std::string& path) {
  if (!pdf || path.empty()) return Outcome::Ok();
  const std::string copy = reports::PdfPath(path);
  if (!ctx.fs.Exists(copy))
    return Outcome::Fail("the PDF copy of " + path + " could not be written");
  ctx.out << "Wrote " << copy << '\n';
  return Outcome::Ok();
}

namespace {

Outcome FinalizeOpenFile(Context& ctx, OpenFile& file, const std::string& scalePath, bool pdf) {
  // The command itself is the scaler's answer to the confirmation.
  ctx.ui.Accept("Confirm Finalize");
  reports::ReportContext report = file.ReportContext(ctx);
  report.pdfCopies = pdf;
  const app::FinalizeOutcome outcome = app::FinalizeLoads(report);
  const std::string& auditReport = outcome.auditReportPath;
  switch (outcome.status) {
    case app::FinalizeStatus::kFinalized:
      if (auditReport.empty()) {
        // Finalized, and the next finalize writes the missing report.
        return file.Close(Outcome::Fail(
            "finalized, but the audit report could not be written (see the message above)"));
      }
      ctx.out << "Finalized " << scalePath << "; audit report " << auditReport << '\n';
      return file.Close(WrotePdf(ctx, pdf, auditReport));
    case app::FinalizeStatus::kAlreadyFinalized:
      if (auditReport.empty() && ctx.fs.Exists(reports::AuditReportPath(report))) {
        ctx.out << scalePath << ": the load is already finalized; nothing done\n";
        return file.Refuse(Outcome::Ok());
      }
      if (auditReport.empty()) {
        return file.Refuse(Outcome::Fail(
            "the load is already finalized; its missing audit report could not be written"));
      }
      ctx.out << scalePath << ": the load is already finalized; its missing audit report "
              << auditReport << " is written now\n";
      return file.Close(WrotePdf(ctx, pdf, auditReport));
    case app::FinalizeStatus::kNoLoad:
      return file.Refuse(Outcome::Fail("the file has no load"));
    case app::FinalizeStatus::kReportFolderNotWritable:
      return file.Refuse(Outcome::Fail("the audit report cannot be written beside the file (" +
                                       outcome.reason + "); the load was not finalized"));
    case app::FinalizeStatus::kAuditErrors:
      return file.Close(
          Outcome::Fail("the load audit found " + Plural(outcome.auditErrors, "error")));
    case app::FinalizeStatus::kCancelled:
      return file.Close(
          Outcome::Fail("the audit's warnings were not accepted (pass --yes to accept them)"));
    case app::FinalizeStatus::kNotStored:
      break;
  }
  return file.Refuse(Outcome::Fail("the Finalized setting could not be stored"));
}

}  // namespace

Outcome Finalize(Context& ctx, const std::string& scalePath, bool pdf) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  return FinalizeOpenFile(ctx, file, scalePath, pdf);
}

namespace {

Outcome ReportOpenFile(Context& ctx, OpenFile& file, const std::string& scalePath,
                       const ReportChoice& choice) {
  reports::ReportContext report = file.ReportContext(ctx);
  report.pdfCopies = choice.pdf;
  const reports::ReportChoice wanted{choice.comprehensive, choice.log, choice.brevanta};
  const reports::ReportRunResult result = reports::GenerateReports(report, wanted, " " + scalePath);
  if (!result.refusal.empty()) return file.Refuse(Outcome::Fail("no reports were written"));
  if (!result.ran) return file.Close(Outcome::Fail("no reports were written (see the messages above)"));
  for (const std::string& path : result.written) ctx.out << "Wrote " << path << '\n';
  if (!result.volumesNotStored.empty()) {
    return file.Refuse(
        Outcome::Fail("the recomputed volumes could not be stored (see the messages above)"));
  }
  if (!result.failed.empty()) {
    return file.Close(
        Outcome::Fail("some report files could not be written (see the messages above)"));
  }
  return file.Close(Outcome::Ok());
}

// A volume as the totals show it: rounded to one decimal.
double Tenths(float value) { return std::round(static_cast<double>(value) * 10.0) / 10.0; }

// The CSV header of the totals, written once per run.
constexpr char kTotalsCsvHeader[] =
    "file,sale,llr,design,gross_saw,gross_nonsaw,gross_total,net_saw,net_nonsaw,net_total,"
    "defect_saw,defect_nonsaw,defect_total,measured_saw,measured_nonsaw,measured_total,"
    "counted_saw,counted_nonsaw,counted_total,total_saw,total_nonsaw,total_total,"
    "nonchargeable,board_gross_saw,board_gross_nonsaw,board_gross_total,board_net_saw,"
    "board_net_nonsaw,board_net_total,board_defect_saw,board_defect_nonsaw,board_defect_total\n";

void WriteTotalsCsv(Context& ctx, const std::string& scalePath, const sampling::LoadKey& key,
                    const scaling::LoadTotalsWindow& window) {
  if (!ctx.csvHeaderWritten) ctx.out << kTotalsCsvHeader;
  ctx.csvHeaderWritten = true;
  const scaling::LoadTotals& t = window.totals;
  ctx.out << CsvField(scalePath) << ',' << CsvField(key.sale) << ',' << CsvField(key.llr) << ','
          << (t.threeP ? "3P" : "100");
  char number[32];
  for (const float* row : {t.gross, t.net, t.defect}) {
    for (int c = 0; c < 3; ++c) {
      std::snprintf(number, sizeof number, ",%.1f", Tenths(row[c]));
      ctx.out << number;
    }
  }
  for (const int* row : {t.measured, t.counted, t.total}) {
    for (int c = 0; c < 3; ++c) ctx.out << ',' << row[c];
  }
  ctx.out << ',' << t.nonChargeable;
  // Board feet only for a board load; the columns stay empty otherwise.
  for (const float* row : {t.boardGross, t.boardNet, t.boardDefect}) {
    for (int c = 0; c < 3; ++c) {
      ctx.out << ',';
      if (t.board) ctx.out << std::llround(row[c]);
    }
  }
  ctx.out << '\n';
}

nlohmann::ordered_json TotalsJson(const sampling::LoadKey& key,
                                  const scaling::LoadTotalsWindow& window) {
  const scaling::LoadTotals& t = window.totals;
  nlohmann::ordered_json load = {
      {"sale", key.sale}, {"llr", key.llr}, {"design", t.threeP ? "3P" : "100"}};
  const char* columns[] = {"saw", "nonsaw", "total"};
  for (int c = 0; c < 3; ++c) {
    load[columns[c]] = {{"gross", Tenths(t.gross[c])},   {"net", Tenths(t.net[c])},
                        {"defect", Tenths(t.defect[c])}, {"measured", t.measured[c]},
                        {"counted", t.counted[c]},       {"logs", t.total[c]}};
    if (t.board) {
      load[columns[c]]["board_gross"] = std::llround(t.boardGross[c]);
      load[columns[c]]["board_net"] = std::llround(t.boardNet[c]);
      load[columns[c]]["board_defect"] = std::llround(t.boardDefect[c]);
    }
  }
  load["nonchargeable"] = t.nonChargeable;
  return load;
}

}  // namespace

Outcome Report(Context& ctx, const std::string& scalePath, const ReportChoice& choice) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  return ReportOpenFile(ctx, file, scalePath, choice);
}

Outcome Totals(Context& ctx, const std::string& scalePath, Format format) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  nlohmann::ordered_json json = {{"file", scalePath}, {"loads", nlohmann::ordered_json::array()}};
  for (const sampling::LoadKey& key : app::ListLoads(file.store())) {
    scaling::LoadTotalsWindow window;
    const int rc = scaling::RefreshLoadTotals(file.store(), key.sale, key.llr, &window);
    if (rc != 0) {
      return file.Close(Outcome::Fail("the totals of SALE " + key.sale + " LLR " + key.llr +
                                      " could not be computed or stored (" + std::to_string(rc) +
                                      ")"));
    }
    switch (format) {
      case Format::kText:
        ctx.out << scalePath << ": " << window.caption << '\n' << window.text;
        break;
      case Format::kCsv:
        WriteTotalsCsv(ctx, scalePath, key, window);
        break;
      case Format::kJson:
        json["loads"].push_back(TotalsJson(key, window));
        break;
    }
  }
  if (format == Format::kJson) ctx.out << json.dump() << '\n';
  return file.Close(Outcome::Ok());
}

namespace {

// A scale file opened for reading only: no open sequence, no journal entry,
// and closed without a commit, so nothing is written. Refused while another
// program holds the file.
class ReadOnlyFile {
 public:
  ReadOnlyFile(Context& ctx, const std::string& path) {
    failure_ = tablestore::NotAStorageFile(ctx.fs, path);
    if (!failure_.empty()) return;
    const int rc = store_.Open(path, false);
    if (rc == tablestore::kInUse) failure_ = "the file is in use by another program";
    if (rc != tablestore::kOk && failure_.empty()) {
      failure_ = "the file could not be opened: " + store_.LastError();
    }
  }
  ~ReadOnlyFile() {
    if (store_.IsOpen()) (void)store_.Close();  // nothing was changed: nothing to commit
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  bool ok() const { return failure_.empty(); }
  Outcome Failed() const { return Outcome::Fail(failure_); }
  tablestore::TableStore& store() { return store_; }
  std::string Setting(const char* key) {
    std::string value;
    // A setting that cannot be read is empty, as an unset one.
    (void)tablestore::ReadSetting(store_, tablestore::kBlockSystem, key, value);
    return value;
  }

 private:
  tablestore::TableStore store_;
  std::string failure_;
};

// How the list of loads names the state of a load's reports ("" for none).
const char* ReportsStateText(reports::ReportsState state) {
  switch (state) {
    case reports::ReportsState::kCurrent:
      return "up to date";
    case reports::ReportsState::kOutOfDate:
      return "out of date";
    case reports::ReportsState::kNone:
      break;
  }
  return "";
}

}  // namespace

Outcome List(Context& ctx, const std::string& scalePath, Format format) {
  ReadOnlyFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  const std::string finalized = file.Setting(tablestore::kKeyFinalized);
  std::string fileType = file.Setting(tablestore::kKeyFileType);
  if (fileType.empty()) fileType = reports::kFileTypeProduction;
  nlohmann::ordered_json json = {{"file", scalePath},
                                 {"finalized", finalized == tablestore::kYes},
                                 {"file_type", fileType},
                                 {"loads", nlohmann::ordered_json::array()}};
  const std::vector<app::LoadSummary> loads = app::SummarizeLoads(file.store());
  std::vector<reports::LoadName> names;
  for (const app::LoadSummary& load : loads) names.emplace_back(load.key.sale, load.key.llr);
  for (size_t i = 0; i < loads.size(); ++i) {
    const app::LoadSummary& load = loads[i];
    const char* reportsState = ReportsStateText(
        reports::ReportsStateOf(file.store(), ctx.fs, scalePath, fileType, names, i));
    if (format == Format::kJson) {
      json["loads"].push_back({{"sale", load.key.sale},
                               {"llr", load.key.llr},
                               {"design", load.design},
                               {"units", load.units},
                               {"logs", load.logs},
                               {"measured", load.measured},
                               {"counted", load.counted},
                               {"reports", reportsState}});
      continue;
    }
    ctx.out << scalePath << ": SALE " << load.key.sale << "  LLR " << load.key.llr << "  "
            << (load.design.empty() ? "-" : load.design) << " "
            << (load.units.empty() ? "-" : load.units) << "  " << Plural(load.logs, "log") << " ("
            << load.measured << " measured, " << load.counted << " counted)  "
            << (finalized == tablestore::kYes ? "finalized" : "not finalized") << "  " << fileType;
    if (*reportsState != '\0') ctx.out << "  reports " << reportsState;
    ctx.out << '\n';
  }
  if (format == Format::kJson) ctx.out << json.dump() << '\n';
  return Outcome::Ok();
}

Outcome Unfinalize(Context& ctx, const std::string& scalePath) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  switch (app::Unfinalize(file.store(), ctx.ui)) {
    case app::UnfinalizeStatus::kUnfinalized:
      ctx.out << "Un-finalized " << scalePath << '\n';
      return file.Close(Outcome::Ok());
    case app::UnfinalizeStatus::kNotFinalized:
      return file.Refuse(Outcome::Fail("the load is not finalized; nothing done"));
    case app::UnfinalizeStatus::kNotStored:
      break;
  }
  return file.Refuse(Outcome::Fail("the Finalized setting could not be stored"));
}

Outcome AuditReport(Context& ctx, const std::string& scalePath, bool pdf) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  reports::ReportContext report = file.ReportContext(ctx);
  report.pdfCopies = pdf;
  const std::string path = app::WriteAuditReportFile(report);
  if (path.empty()) return file.Close(Outcome::Fail("the audit report could not be written"));
  ctx.out << "Wrote " << path << '\n';
  return file.Close(WrotePdf(ctx, pdf, path));
}

Outcome SetFileType(Context& ctx, const std::string& scalePath, const std::string& fileType) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  const std::optional<app::FileType> type = app::ParseFileType(fileType);
  if (!type) {
    return file.Refuse(Outcome::Fail("unknown file type '" + fileType +
                                     "' (production, check scale or non-scale loads)"));
  }
  switch (app::SetFileType(file.store(), ctx.ui, *type)) {
    case app::FileTypeStatus::kStored:
      ctx.out << scalePath << ": file type " << fileType << '\n';
      return file.Close(Outcome::Ok());
    case app::FileTypeStatus::kLocked:
      return file.Refuse(Outcome::Fail(
          "the file type can only change while the file has no logs and at most one load"));
    case app::FileTypeStatus::kNotStored:
      break;
  }
  return file.Refuse(Outcome::Fail("the file type could not be stored"));
}

Outcome Rename(Context& ctx, const std::string& scalePath, const std::string& oldSale,
               const std::string& newSale, const std::string& oldLlr, const std::string& newLlr) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  const app::RenameOutcome outcome =
      app::RenameSaleOrLlr(file.store(), ctx.ui, {oldSale, newSale}, {oldLlr, newLlr});
  switch (outcome.status) {
    case app::RenameStatus::kRenamed:
      ctx.out << scalePath << ": " << Plural(outcome.rows, "value") << " changed\n";
      return file.Close(Outcome::Ok());
    case app::RenameStatus::kNothing:
      return file.Refuse(Outcome::Fail("nothing to rename"));
    case app::RenameStatus::kRefused:
      return file.Refuse(Outcome::Fail(outcome.reason + "; nothing changed"));
    case app::RenameStatus::kNotWritten:
      break;
  }
  return file.Refuse(Outcome::Fail("the new values could not be written"));
}

Outcome Dump(Context& ctx, const std::string& scalePath, const std::string& table) {
  std::string json, error;
  if (!DumpFile(scalePath, table, &json, &error)) return Outcome::Fail(error);
  ctx.out << json;
  return Outcome::Ok();
}

}  // namespace cli
