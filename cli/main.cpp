// varnolde-cli: the headless commands for field offices and testers. The
// commands themselves are in cli/commands.h; this file parses the command line
// (CLI11) and runs the chosen command once per file named.
#include <CLI/CLI.hpp>
#include <functional>
#include <iostream>

#include "cli/commands.h"
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
  std::string setup, scale, text, table;
  std::vector<std::string> files;
  bool comprehensive = false, log = false, brevanta = false, pdf = false;
  CLI::App* create = nullptr;
  CLI::App* import = nullptr;
  CLI::App* audit = nullptr;
  CLI::App* finalize = nullptr;
  CLI::App* report = nullptr;
  CLI::App* totals = nullptr;
  CLI::App* dump = nullptr;
};

// Declares the options and commands of the tool, bound to `o`.
void DeclareCommands(CLI::App& app, Options& o) {
  app.require_subcommand(1);
  app.fallthrough();  // --yes may also follow the command
  app.add_flag("-y,--yes", o.yes,
               "answer OK to the questions a message box would ask (a load audit with warnings)");
  o.create = app.add_subcommand(
      "create",
      "make a new scale file from a setup file (backups and date prefix as the setup's "
      "options say)");
  o.create->add_option("--setup", o.setup,
                       "the setup file (default: DefaultScaler.SetupScl beside the program)");
  o.create->add_option("OUT", o.scale, "the new scale file (.scl)")->required();
  o.import = app.add_subcommand(
      "import", "append the rows of a load text file (sections Load, Log, Seg, DefC, DefB, KZ)");
  o.import->add_option("FILE", o.scale, "the scale file")->required();
  o.import->add_option("TEXTFILE", o.text, "the import text file")->required();
  o.audit =
      app.add_subcommand("audit", "header audit and load audit; exit 1 when there are errors");
  o.audit->add_option("FILES", o.files, "scale files")->required();
  o.finalize =
      app.add_subcommand("finalize", "audit and finalize the load, and write its audit report");
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
  o.dump = app.add_subcommand("dump", "every table (or one) as JSON, values as stored");
  o.dump->add_option("FILE", o.scale, "the scale or setup file")->required();
  o.dump->add_option("--table", o.table, "only this table");
}

// Runs the command the user chose; returns the exit code.
int RunCommand(const Options& o, cli::Context& ctx) {
  using Command = std::function<cli::Outcome(const std::string&)>;
  Command command;
  std::vector<std::string> files = o.files;
  if (o.create->parsed()) {
    command = [&](const std::string& f) { return cli::Create(ctx, o.setup, f); };
  } else if (o.import->parsed()) {
    command = [&](const std::string& f) { return cli::Import(ctx, f, o.text); };
  } else if (o.audit->parsed()) {
    command = [&](const std::string& f) { return cli::Audit(ctx, f); };
  } else if (o.finalize->parsed()) {
    command = [&](const std::string& f) { return cli::Finalize(ctx, f, o.pdf); };
  } else if (o.report->parsed()) {
    cli::ReportChoice choice;
    if (o.comprehensive || o.log || o.brevanta) choice = {o.comprehensive, o.log, o.brevanta};
    choice.pdf = o.pdf;
    command = [&ctx, choice](const std::string& f) { return cli::Report(ctx, f, choice); };
  } else if (o.totals->parsed()) {
    command = [&](const std::string& f) { return cli::Totals(ctx, f); };
  } else {
    command = [&](const std::string& f) { return cli::Dump(ctx, f, o.table); };
  }
  if (files.empty()) files = {o.scale};
  return ForEachFile(files, command);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "varnolde-cli: Varnolde's scale files without a screen. Creates scale files from a setup\n"
      "file, imports loads, audits, finalizes, writes the reports and exports beside the scale\n"
      "file, prints load totals and dumps tables as JSON. Exit code 0 on success, 1 when a\n"
      "command failed (one line on stderr says why), 2 for a wrong command line.",
      "varnolde-cli"};
  Options options;
  DeclareCommands(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }
  platform::PosixFileSystem fs;
  platform::SystemClock clock;
  cli::StderrUi ui(std::cout, std::cerr, options.yes);
  cli::Context ctx{std::cout, ui, fs, clock, platform::ProgramFolder()};
  return RunCommand(options, ctx);
}
