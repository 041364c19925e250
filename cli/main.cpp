// varnolde-cli: the headless commands for field offices and testers. The
// commands themselves are in cli/commands.h; this file parses the command line
// (CLI11) and runs the chosen command once per file named.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <iostream>

#include "app/load_actions.h"
#include "app/scale_files.h"
#include "cli/check_compare_command.h"
#include "cli/commands.h"
#include "cli/set_password.h"
#include "cli/office_commands.h"
#include "platform/folders.h"

namespace {

// Runs `command` on every file, each failure reported on its own line
// without stopping the others, with a progress line per file when there are
// several. Returns the exit code: 0 when all succeeded, else 1.
int ForEachFile(const std::vector<std::string>& files,
                const std::function<cli::Outcome(const std::string&)>& command) {
  int failures = 0;
  const size_t n = files.size();
  for (size_t i = 0; i < n; ++i) {
    if (n > 1) std::cerr << "varnolde-cli: [" << i + 1 << "/" << n << "] " << files[i] << '\n';
    const cli::Outcome outcome = command(files[i]);
    std::cout.flush();
    if (!outcome.ok) {
      std::cerr << "varnolde-cli: " << files[i] << ": " << outcome.reason << '\n';
      ++failures;
    }
  }
  if (n > 1 && failures > 0) {
    std::cerr << "varnolde-cli: " << failures << " of " << n << " files failed\n";
  }
  return failures == 0 ? 0 : 1;
}

// The command line as parsed.
struct Options {
  bool yes = false;
  std::string setup, scale, text, table, fileType, user;
  std::vector<std::string> files, sale, llr;
  bool comprehensive = false, log = false, brevanta = false, pdf = false;
  bool replace = false, csv = false, json = false;
  CLI::App* create = nullptr;
  CLI::App* import = nullptr;
  CLI::App* list = nullptr;
  CLI::App* audit = nullptr;
  CLI::App* finalize = nullptr;
  CLI::App* report = nullptr;
  CLI::App* totals = nullptr;
  CLI::App* unfinalize = nullptr;
  CLI::App* auditReport = nullptr;
  CLI::App* setFileType = nullptr;
  CLI::App* rename = nullptr;
  CLI::App* dump = nullptr;
  CLI::App* setPassword = nullptr;
};

// Declares the commands that create and fill files, bound to `o`.
void DeclareFileCommands(CLI::App& app, Options& o) {
  o.create = app.add_subcommand(
      "create",
      "make a new scale file from a setup file (backups and date prefix as the setup's "
      "options say)");
  o.create->add_option("--setup", o.setup,
                       "the setup file (default: DefaultScaler.SetupScl beside the program)");
  o.create->add_option("OUT", o.scale, "the new scale file (.scl)")->required();
  o.import = app.add_subcommand(
      "import",
      "append a load text (sections Load, Log, Seg, DefC, DefB, KZ); refused with nothing "
      "written on a bad value, a load the file holds, or errors of the log checks");
  o.import->add_option("FILE", o.scale, "the scale file")->required();
  o.import->add_option("TEXTFILE", o.text, "the import text file")->required();
  o.import->add_flag("--replace", o.replace,
                     "replace a load the file already holds (same SALE and LLR)");
  o.list = app.add_subcommand("list", "one line per load of each file (reads only)");
  o.list->add_option("FILES", o.files, "scale files")->required();
  o.list->add_flag("--json", o.json, "one JSON object per file, one per line");
  o.dump = app.add_subcommand("dump", "every table (or one) as JSON, values as stored");
  o.dump->add_option("FILE", o.scale, "the scale or setup file")->required();
  o.dump->add_option("--table", o.table, "only this table");
}

// Declares the commands of the scaler's day: audit, finalize, report, totals.
void DeclareLoadCommands(CLI::App& app, Options& o) {
  o.audit =
      app.add_subcommand("audit", "header audit and load audit; exit 1 when there are errors");
  o.audit->add_option("FILES", o.files, "scale files")->required();
  o.finalize = app.add_subcommand(
      "finalize", "audit every load, finalize, and write the audit report (also when missing)");
  o.finalize->add_option("FILES", o.files, "scale files")->required();
  o.finalize->add_flag("--pdf", o.pdf, "also the audit report's PDF copy (.audit.pdf)");
  o.report = app.add_subcommand(
      "report", "the report run: reports and exports beside each scale file (default: all three)");
  o.report->add_option("FILES", o.files, "scale files")->required();
  o.report->add_flag("--comprehensive", o.comprehensive, "the comprehensive report (.cmp)");
  o.report->add_flag("--log", o.log, "the log report (.clg)");
  o.report->add_flag("--brevanta", o.brevanta, "the Brevanta file (.bva)");
  o.report->add_flag("--pdf", o.pdf, "also a PDF copy of each report (.cmp.pdf, .clg.pdf)");
  o.totals =
      app.add_subcommand("totals", "the load totals (recomputes and stores the logs' volumes)");
  o.totals->add_option("FILES", o.files, "scale files")->required();
  auto* csv = o.totals->add_flag("--csv", o.csv, "as CSV: a header line, then one line per load");
  o.totals->add_flag("--json", o.json, "one JSON object per file, one per line")->excludes(csv);
}

// Declares the supervisor's commands.
void DeclareSupervisorCommands(CLI::App& app, Options& o) {
  o.unfinalize = app.add_subcommand("unfinalize", "un-finalize the load (supervisor)");
  o.unfinalize->add_option("FILES", o.files, "scale files")->required();
  o.auditReport =
      app.add_subcommand("audit-report", "write the audit report FILE.audit (supervisor)");
  o.auditReport->add_option("FILES", o.files, "scale files")->required();
  o.auditReport->add_flag("--pdf", o.pdf, "also its PDF copy (.audit.pdf)");
  o.setFileType = app.add_subcommand(
      "set-file-type", "production, check scale or non-scale loads (no logs, one load at most)");
  o.setFileType->add_option("FILE", o.scale, "the scale file")->required();
  o.setFileType->add_option("TYPE", o.fileType, "the file type")->required();
  o.rename = app.add_subcommand(
      "rename", "change SALE or LLR throughout the file (supervisor); never merges two loads");
  o.rename->add_option("FILE", o.scale, "the scale file")->required();
  o.rename->add_option("--sale", o.sale, "OLD NEW: the sale to rename")->expected(2);
  o.rename->add_option("--llr", o.llr, "OLD NEW: the load receipt to rename")->expected(2);
  o.setPassword = app.add_subcommand(
      "set-password", "set (or add) a supervisor's password, read without echo (administrator)");
  o.setPassword->add_option("FILE", o.scale, "the password file (Varnolde.upw)")->required();
  o.setPassword->add_option("USER", o.user, "the user name")->required();
}

// Declares the options and commands of the tool, bound to `o`.
void DeclareCommands(CLI::App& app, Options& o) {
  app.require_subcommand(1);
  app.fallthrough();  // --yes may also follow the command
  app.set_version_flag("--version", std::string("varnolde-cli ") + app::kProgramVersion);
  app.add_flag("-y,--yes", o.yes,
               "answer OK to the questions a message box would ask (a load audit with warnings)");
  DeclareFileCommands(app, o);
  DeclareLoadCommands(app, o);
  DeclareSupervisorCommands(app, o);
}

// The output format asked for.
cli::Format FormatOf(const Options& o) {
  if (o.json) return cli::Format::kJson;
  return o.csv ? cli::Format::kCsv : cli::Format::kText;
}

using Command = std::function<cli::Outcome(const std::string&)>;

// The supervisor's command the user chose, or an empty one.
Command SupervisorCommand(const Options& o, cli::Context& ctx) {
  if (o.unfinalize->parsed()) {
    return [&](const std::string& f) { return cli::Unfinalize(ctx, f); };
  }
  if (o.auditReport->parsed()) {
    return [&](const std::string& f) { return cli::AuditReport(ctx, f, o.pdf); };
  }
  if (o.setFileType->parsed()) {
    return [&](const std::string& f) { return cli::SetFileType(ctx, f, o.fileType); };
  }
  if (o.setPassword->parsed()) {
    return [&](const std::string& f) { return cli::SetPassword(ctx, f, o.user); };
  }
  if (o.rename->parsed()) {
    const std::vector<std::string> sale = o.sale.empty() ? std::vector<std::string>(2) : o.sale;
    const std::vector<std::string> llr = o.llr.empty() ? std::vector<std::string>(2) : o.llr;
    return [&ctx, sale, llr](const std::string& f) {
      return cli::Rename(ctx, f, sale[0], sale[1], llr[0], llr[1]);
    };
  }
  return {};
}

// The command the user chose.
Command ChosenCommand(const Options& o, cli::Context& ctx) {
  if (o.create->parsed()) {
    return [&](const std::string& f) { return cli::Create(ctx, o.setup, f); };
  }
  if (o.import->parsed()) {
    return [&](const std::string& f) { return cli::Import(ctx, f, o.text, o.replace); };
  }
  if (o.list->parsed()) return [&](const std::string& f) { return cli::List(ctx, f, FormatOf(o)); };
  if (o.audit->parsed()) return [&](const std::string& f) { return cli::Audit(ctx, f); };
  if (o.finalize->parsed()) {
    return [&](const std::string& f) { return cli::Finalize(ctx, f, o.pdf); };
  }
  if (o.report->parsed()) {
    cli::ReportChoice choice;
    if (o.comprehensive || o.log || o.brevanta) choice = {o.comprehensive, o.log, o.brevanta};
    choice.pdf = o.pdf;
    return [&ctx, choice](const std::string& f) { return cli::Report(ctx, f, choice); };
  }
  if (o.totals->parsed()) {
    return [&](const std::string& f) { return cli::Totals(ctx, f, FormatOf(o)); };
  }
  if (Command supervisor = SupervisorCommand(o, ctx)) return supervisor;
  return [&](const std::string& f) { return cli::Dump(ctx, f, o.table); };
}

// A usage error the parser cannot see (one line for stderr), or "".
std::string UsageError(const Options& o) {
  if (o.rename->parsed() && o.sale.empty() && o.llr.empty()) {
    return "rename: nothing to rename (give --sale OLD NEW, --llr OLD NEW or both)";
  }
  if (o.setFileType->parsed() && !app::ParseFileType(o.fileType)) {
    return "set-file-type: unknown file type '" + o.fileType +
           "' (production, check scale or non-scale loads)";
  }
  return "";
}

// Runs the command the user chose; returns the exit code.
int RunCommand(const Options& o, cli::Context& ctx) {
  std::vector<std::string> files = o.files;
  if (files.empty()) files = {o.scale};
  return ForEachFile(files, ChosenCommand(o, ctx));
}

// The first word of the command line that is not an option, when it names
// no command; "" otherwise.
std::string UnknownCommand(const CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.empty() || word[0] == '-') continue;
    for (const CLI::App* sub : app.get_subcommands({})) {
      if (sub->get_name() == word) return "";
    }
    return word;
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "varnolde-cli: Varnolde's scale files without a screen, the field office's tool. Creates\n"
      "scale files from a setup file, imports and lists loads, audits, finalizes, writes the\n"
      "reports and exports beside the scale file, prints load totals, does the supervisor's\n"
      "actions and dumps tables as JSON. Exit code 0 on success, 1 when a command failed (one\n"
      "line on stderr says why), 2 for a wrong command line.",
      "varnolde-cli"};
  Options options;
  DeclareCommands(app, options);
  cli::OfficeOptions office;
  cli::DeclareOfficeCommands(app, office);
  cli::CheckCompareOptions checkCompare;
  CLI::App* checkCompareCommand = cli::DeclareCheckCompare(app, checkCompare);
  const std::string unknown = UnknownCommand(app, argc, argv);
  if (!unknown.empty()) {
    std::cerr << "varnolde-cli: unknown command '" << unknown
              << "' (varnolde-cli --help lists the commands)\n";
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "varnolde-cli: " << e.what() << " (varnolde-cli --help explains the commands)\n";
    return 2;
  }
  const std::string usage = UsageError(options);
  if (!usage.empty()) {
    std::cerr << "varnolde-cli: " << usage << " (varnolde-cli --help explains the commands)\n";
    return 2;
  }
  if (options.import->parsed()) {
    const std::string misuse = cli::ImportUsageProblem(options.scale, options.text);
    if (!misuse.empty()) {
      std::cerr << "varnolde-cli: " << misuse << '\n';
      return 2;
    }
  }
  platform::PosixFileSystem fs;
  platform::SystemClock clock;
  cli::StderrUi ui(std::cout, std::cerr, options.yes);
  cli::Context ctx{std::cout, ui, fs, clock, platform::ProgramFolder()};
  if (const std::optional<int> code = cli::RunOfficeCommand(office, ctx)) return *code;
  if (checkCompareCommand->parsed()) return cli::CheckCompare(ctx, checkCompare);
  return RunCommand(options, ctx);
}
