#include "cli/print_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "reports/load_data.h"
#include "reports/report_pdf.h"
#include "reports/report_run.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

extern char** environ;

namespace cli {
namespace {

// The printed reports the choice names, by their file's ending.
struct Wanted {
  bool cmp, clg, audit;
};

Wanted WantedOf(const PrintChoice& choice) {
  if (!choice.comprehensive && !choice.log && !choice.audit) return {true, true, false};
  return {choice.comprehensive, choice.log, choice.audit};
}

// The paths of the chosen report files of the scale file, as the report run
// names them; read only. A failure says why.
Outcome ReportPaths(Context& ctx, const std::string& scalePath, Wanted wanted,
                    std::vector<std::string>* paths) {
  if (!ctx.fs.Exists(scalePath)) return Outcome::Fail("no such file");
  tablestore::TableStore store;
  const int rc = store.Open(scalePath, false);
  if (rc == tablestore::kInUse) return Outcome::Fail("the file is in use by another program");
  if (rc != tablestore::kOk) return Outcome::Fail("the file could not be opened");
  reports::ReportContext context;
  context.store = &store;
  context.ui = &ctx.ui;
  context.files = &ctx.fs;
  context.clock = &ctx.clock;
  context.scaleFilePath = scalePath;
  // An unreadable file type is empty and taken as production, just below.
  (void)tablestore::ReadSetting(store, tablestore::kBlockSystem, tablestore::kKeyFileType,
                                context.fileType);
  if (context.fileType.empty()) context.fileType = reports::kFileTypeProduction;
  {
    reports::ReportRun run(context);
    const bool reported = context.fileType != reports::kFileTypeNonScale;
    for (const auto& [sale, llr] : reports::ReadLoadKeys(store)) {
      if (!reported || run.FetchLoadHeader(sale, llr) != 0) continue;
      if (wanted.cmp) paths->push_back(run.reportBaseName() + ".cmp");
      if (wanted.clg) paths->push_back(run.reportBaseName() + ".clg");
    }
  }
  if (wanted.audit) paths->push_back(reports::AuditReportPath(context));
  (void)store.Close();  // only read: nothing to commit
  if (paths->empty()) return Outcome::Fail("the file has no report of the kinds chosen");
  return Outcome::Ok();
}

// How much older than the scale file a copy may be and still be current:
// the command that writes the copies journals its close into the scale file
// just after.
constexpr auto kCloseAfterCopies = std::chrono::seconds(5);

// True when the PDF copy of `report` is missing or older than the scale file.
bool NeedsCopy(const std::string& scalePath, const std::string& report) {
  std::error_code error;
  const auto copy = std::filesystem::last_write_time(reports::PdfPath(report), error);
  if (error) return true;
  const auto load = std::filesystem::last_write_time(scalePath, error);
  return error || copy + kCloseAfterCopies < load;
}

// Writes the copies that need it, through the report commands.
Outcome WriteCopies(Context& ctx, const std::string& scalePath, Wanted wanted,
                    const std::vector<std::string>& paths) {
  bool reportsStale = false, auditStale = false;
  for (const std::string& path : paths) {
    if (!NeedsCopy(scalePath, path)) continue;
    (path.ends_with(".audit") ? auditStale : reportsStale) = true;
  }
  if (reportsStale) {
    ReportChoice choice{wanted.cmp, wanted.clg, false, true};
    const Outcome written = Report(ctx, scalePath, choice);
    if (!written.ok) return written;
  }
  if (auditStale) return AuditReport(ctx, scalePath, true);
  return Outcome::Ok();
}

// Runs `argv` (no shell), its error stream collected in `errors`. Returns its
// exit status, or -1 when it could not be started.
int RunProgram(const std::vector<std::string>& argv, std::string* errors) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  char buffer[4096];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) errors->append(buffer, n);
  close(pipeEnds[0]);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Why lp refused, in the user's words.
std::string Refusal(const PrintChoice& choice, std::string errors) {
  while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r')) errors.pop_back();
  if (!choice.printer.empty() && errors.find("not exist") != std::string::npos) {
    return "the printer " + choice.printer + " is unknown to the print service (" + errors + ")";
  }
  return "the print service refused the job" + (errors.empty() ? "" : " (" + errors + ")");
}

}  // namespace

std::string FindPrintCommand(const std::string& pathVariable) {
  std::istringstream folders(pathVariable);
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (folder.empty()) continue;
    const std::string candidate = folder + "/lp";
    if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate)) {
      return candidate;
    }
  }
  return "";
}

Outcome Print(Context& ctx, const std::string& scalePath, const PrintChoice& choice) {
  const char* pathVariable = std::getenv("PATH");
  const std::string lp = FindPrintCommand(pathVariable == nullptr ? "" : pathVariable);
  if (lp.empty()) {
    return Outcome::Fail(
        "no print service: the command lp is not installed (Debian package cups-client); "
        "nothing printed");
  }
  const Wanted wanted = WantedOf(choice);
  std::vector<std::string> paths;
  Outcome outcome = ReportPaths(ctx, scalePath, wanted, &paths);
  if (!outcome.ok) return outcome;
  outcome = WriteCopies(ctx, scalePath, wanted, paths);
  if (!outcome.ok) return outcome;
  for (const std::string& path : paths) {
    std::vector<std::string> argv = {lp};
    if (!choice.printer.empty()) argv.insert(argv.end(), {"-d", choice.printer});
    argv.insert(argv.end(), {"-t", reports::PdfPath(path), "--", reports::PdfPath(path)});
    std::string errors;
    const int status = RunProgram(argv, &errors);
    if (status != 0) {
      return Outcome::Fail(status < 0 ? "the print command " + lp + " could not be run"
                                      : Refusal(choice, errors));
    }
    ctx.out << "Printed " << reports::PdfPath(path)
            << (choice.printer.empty() ? "" : " on " + choice.printer) << '\n';
  }
  return Outcome::Ok();
}

}  // namespace cli
