#include "cli/commands.h"

#include "app/load_actions.h"
#include "app/scale_files.h"
#include "cli/load_import.h"
#include "cli/table_dump.h"
#include "reports/report_pdf.h"
#include "reports/report_run.h"
#include "sampling/load_checks.h"
#include "scaling/load_volumes.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace cli {
namespace {

// Import files larger than this are refused rather than read: a load of
// 100,000 logs stays far below it.
constexpr size_t kMaxImportBytes = 64u << 20;

// Why `path` cannot be a scale or setup file, or "" when it may be one.
// Asked before the in-use check, whose message would blame another
// application for a missing file or a folder, and before the open sequence,
// which takes an empty file (an empty storage) for one of an old structure.
std::string NotAStorageFile(const platform::FileSystem& fs, const std::string& path) {
  std::string none;
  switch (fs.ReadFile(path, 0, &none)) {
    case platform::FileResult::kTooLarge:
      return "";  // it holds bytes: the open tells whether they are a scale file
    case platform::FileResult::kNotFound:
      return "no such file";
    case platform::FileResult::kOk:
      return "the file is empty: it holds no scale data";
    default:
      return "not a file that can be read (a folder, or a file without read permission)";
  }
}

// True when `path` is a regular file this process can read (a folder is not).
bool IsReadableFile(const platform::FileSystem& fs, const std::string& path) {
  std::string none;
  const platform::FileResult read = fs.ReadFile(path, 0, &none);
  return read == platform::FileResult::kOk || read == platform::FileResult::kTooLarge;
}

// A scale file opened as the main screen opens it, and closed as the main
// screen closes it (app::CloseFile) when the object goes.
class OpenFile {
 public:
  OpenFile(Context& ctx, const std::string& path)
      : ui_(ctx.ui), files_(ctx.ui, ctx.fs, ctx.clock, ctx.programFolder) {
    failure_ = NotAStorageFile(ctx.fs, path);
    if (!failure_.empty()) return;
    if (files_.OpenScaleFile(path) != app::FileOutcome::kOpened) {
      failure_ = "the file could not be opened";
      return;
    }
  }
  // A close that could not be written has shown why on the error stream.
  ~OpenFile() { (void)app::CloseFile(files_, ui_); }
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
bool AuditHeader(Context& ctx, OpenFile& file) {
  const app::HeaderAuditOutcome outcome = app::RunHeaderAudit(file.store(), ctx.clock, ctx.ui);
  if (outcome.passed()) {
    ctx.out << "Header audit: passed\n";
    return true;
  }
  ctx.out << "Header audit: " << Plural(outcome.audit.problems, "problem") << '\n';
  WriteIndented(ctx.out, outcome.audit.text);
  return false;
}

// The load audit of one load. True unless it found errors.
bool AuditOneLoad(Context& ctx, OpenFile& file, const sampling::LoadKey& key) {
  std::string errors;
  const int rc = sampling::AuditLoad(file.store(), key, ctx.ui, errors);
  ctx.out << "Load audit of SALE " << key.sale << " LLR " << key.llr << ": ";
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
  const std::string notSetup = NotAStorageFile(ctx.fs, setup);
  if (!notSetup.empty()) return Outcome::Fail("the setup file " + setup + ": " + notSetup);
  app::ScaleFiles files(ctx.ui, ctx.fs, ctx.clock, ctx.programFolder);
  if (!files.CheckNotInUse(setup))
    return Outcome::Fail("the setup file " + setup + " cannot be used");
  // A file at the new file's path is moved to its backup name: never a
  // folder, and not while another program holds it (the handheld could not
  // move a file that was open).
  if (ctx.fs.Exists(scalePath)) {
    if (!IsReadableFile(ctx.fs, scalePath)) {
      return Outcome::Fail(
          "a folder (or a file that cannot be read) is in the way; nothing "
          "was created");
    }
    if (!files.CheckNotInUse(scalePath)) {
      return Outcome::Fail("the file in the way is in use; nothing was created");
    }
  }
  if (files.CreateFromSetup(setup, scalePath) != app::FileOutcome::kCreated) {
    return Outcome::Fail("the scale file could not be created");
  }
  ctx.out << "Created " << files.state().path << '\n';
  if (!app::CloseFile(files, ctx.ui)) {
    return Outcome::Fail("the new file could not be closed (see the message above)");
  }
  return Outcome::Ok();
}

Outcome Import(Context& ctx, const std::string& scalePath, const std::string& textPath) {
  std::string bytes;
  switch (ctx.fs.ReadFile(textPath, kMaxImportBytes, &bytes)) {
    case platform::FileResult::kOk:
      break;
    case platform::FileResult::kNotFound:
      return Outcome::Fail("the import file " + textPath + " does not exist");
    case platform::FileResult::kTooLarge:
      return Outcome::Fail("the import file " + textPath + " is too large");
    default:
      return Outcome::Fail("the import file " + textPath + " cannot be read");
  }
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  if (file.state().finalized == tablestore::kYes) {
    return Outcome::Fail("the load is finalized: its log data can no longer be changed");
  }
  ImportSummary summary;
  if (ImportLoadText(file.store(), bytes, &summary) != 0) {
    return Outcome::Fail(textPath + ": " + summary.error);
  }
  ctx.out << "Imported " << textPath << " into " << scalePath << ":";
  const char* sep = " ";
  for (const auto& [table, rows] : summary.rows) {
    ctx.out << sep << table << " " << Plural(rows, "row");
    sep = ", ";
  }
  ctx.out << '\n';
  return Outcome::Ok();
}

Outcome Audit(Context& ctx, const std::string& scalePath) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  bool passed = AuditHeader(ctx, file);
  for (const sampling::LoadKey& key : app::ListLoads(file.store())) {
    passed = AuditOneLoad(ctx, file, key) && passed;
  }
  return passed ? Outcome::Ok() : Outcome::Fail("the audit found errors");
}

// With `pdf`, says that the PDF copy of the report file `path` was written,
// or fails when it is not there. Without, or without a report: Ok.
Outcome WrotePdf(Context& ctx, bool pdf, const std::string& path) {
  if (!pdf || path.empty()) return Outcome::Ok();
  const std::string copy = reports::PdfPath(path);
  if (!ctx.fs.Exists(copy)) return Outcome::Fail("the PDF copy of " + path + " could not be written");
  ctx.out << "Wrote " << copy << '\n';
  return Outcome::Ok();
}

Outcome Finalize(Context& ctx, const std::string& scalePath, bool pdf) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  // The command itself is the scaler's answer to the confirmation.
  ctx.ui.Accept("Confirm Finalize");
  reports::ReportContext report = file.ReportContext(ctx);
  report.pdfCopies = pdf;
  const app::FinalizeOutcome outcome = app::FinalizeFirstLoad(report);
  switch (outcome.status) {
    case app::FinalizeStatus::kFinalized:
      ctx.out << "Finalized " << scalePath;
      if (!outcome.auditReportPath.empty()) ctx.out << "; audit report " << outcome.auditReportPath;
      ctx.out << '\n';
      return WrotePdf(ctx, pdf, outcome.auditReportPath);
    case app::FinalizeStatus::kAlreadyFinalized:
      ctx.out << scalePath << ": the load is already finalized; nothing done\n";
      return Outcome::Ok();
    case app::FinalizeStatus::kNoLoad:
      return Outcome::Fail("the file has no load");
    case app::FinalizeStatus::kAuditErrors:
      return Outcome::Fail("the load audit found " + Plural(outcome.auditErrors, "error"));
    case app::FinalizeStatus::kCancelled:
      return Outcome::Fail("the audit's warnings were not accepted (pass --yes to accept them)");
    case app::FinalizeStatus::kNotStored:
      break;
  }
  return Outcome::Fail("the Finalized setting could not be stored");
}

Outcome Report(Context& ctx, const std::string& scalePath, const ReportChoice& choice) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  reports::ReportContext report = file.ReportContext(ctx);
  report.pdfCopies = choice.pdf;
  const reports::ReportChoice wanted{choice.comprehensive, choice.log, choice.brevanta};
  const reports::ReportRunResult result =
      reports::GenerateReports(report, wanted, " " + scalePath);
  if (!result.ran) return Outcome::Fail("no reports were written (see the messages above)");
  for (const std::string& path : result.written) ctx.out << "Wrote " << path << '\n';
  if (!result.failed.empty()) {
    return Outcome::Fail("some report files could not be written (see the messages above)");
  }
  if (!result.volumesNotStored.empty()) {
    return Outcome::Fail("the recomputed volumes could not be stored (see the messages above)");
  }
  for (const std::string& path : result.written) {
    if (reports::LayoutForReportFile(path) == nullptr) continue;
    const Outcome pdf = WrotePdf(ctx, choice.pdf, path);
    if (!pdf.ok) return pdf;
  }
  return Outcome::Ok();
}

Outcome Totals(Context& ctx, const std::string& scalePath) {
  OpenFile file(ctx, scalePath);
  if (!file.ok()) return file.Failed();
  for (const sampling::LoadKey& key : app::ListLoads(file.store())) {
    scaling::LoadTotalsWindow window;
    const int rc = scaling::RefreshLoadTotals(file.store(), key.sale, key.llr, &window);
    if (rc != 0) {
      return Outcome::Fail("the totals of SALE " + key.sale + " LLR " + key.llr +
                           " could not be computed (" + std::to_string(rc) + ")");
    }
    ctx.out << window.caption << '\n' << window.text;
  }
  return Outcome::Ok();
}

Outcome Dump(Context& ctx, const std::string& scalePath, const std::string& table) {
  std::string json, error;
  if (!DumpFile(scalePath, table, &json, &error)) return Outcome::Fail(error);
  ctx.out << json;
  return Outcome::Ok();
}

}  // namespace cli
