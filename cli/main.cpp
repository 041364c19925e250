// varnolde-cli: the headless commands for field offices and testers. See
// usage() below and cli/commands.h.
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

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "varnolde-cli: Varnolde's scale files without a screen. Creates scale files from a setup\n"
      "file, imports loads, audits, finalizes, writes the reports and exports beside the scale\n"
      "file, prints load totals and dumps tables as JSON. Exit code 0 on success, 1 when a\n"
      "command failed (one line on stderr says why), 2 for a wrong command line.",
      "varnolde-cli"};
  app.require_subcommand(1);
  bool yes = false;
  app.add_flag("-y,--yes", yes,
               "answer OK to the questions a message box would ask (a load audit with warnings)");

  std::string setup, scale, text, table;
  std::vector<std::string> files;
  bool comprehensive = false, log = false, brevanta = false;

  CLI::App* create = app.add_subcommand(
      "create", "make a new scale file from a setup file (backups and date prefix as the setup's "
                "options say)");
  create->add_option("--setup", setup, "the setup file (default: DefaultScaler.SetupScl beside "
                                       "the program)");
  create->add_option("OUT", scale, "the new scale file (.scl)")->required();

  CLI::App* import = app.add_subcommand(
      "import", "append the rows of a load text file (sections Load, Log, Seg, DefC, DefB, KZ)");
  import->add_option("FILE", scale, "the scale file")->required();
  import->add_option("TEXTFILE", text, "the import text file")->required();

  CLI::App* audit =
      app.add_subcommand("audit", "header audit and load audit; exit 1 when there are errors");
  audit->add_option("FILES", files, "scale files")->required();

  CLI::App* finalize = app.add_subcommand(
      "finalize", "audit and finalize the load, and write its audit report");
  finalize->add_option("FILES", files, "scale files")->required();

  CLI::App* report = app.add_subcommand(
      "report", "the report run: reports and exports beside each scale file (default: all three)");
  report->add_option("FILES", files, "scale files")->required();
  report->add_flag("--comprehensive", comprehensive, "the comprehensive report (.cmp)");
  report->add_flag("--log", log, "the log report (.clg)");
  report->add_flag("--brevanta", brevanta, "the Brevanta file (.bva)");

  CLI::App* totals = app.add_subcommand(
      "totals", "the load totals (recomputes and stores the logs' volumes)");
  totals->add_option("FILES", files, "scale files")->required();

  CLI::App* dump = app.add_subcommand("dump", "every table (or one) as JSON, values as stored");
  dump->add_option("FILE", scale, "the scale or setup file")->required();
  dump->add_option("--table", table, "only this table");

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
  cli::StderrUi ui(std::cout, std::cerr, yes);
  cli::Context ctx{std::cout, ui, fs, clock, platform::ProgramFolder()};
  using cli::Outcome;
  if (create->parsed()) {
    return ForEachFile({scale}, [&](const std::string& f) { return cli::Create(ctx, setup, f); });
  }
  if (import->parsed()) {
    return ForEachFile({scale}, [&](const std::string& f) { return cli::Import(ctx, f, text); });
  }
  if (audit->parsed()) {
    return ForEachFile(files, [&](const std::string& f) { return cli::Audit(ctx, f); });
  }
  if (finalize->parsed()) {
    return ForEachFile(files, [&](const std::string& f) { return cli::Finalize(ctx, f); });
  }
  if (report->parsed()) {
    cli::ReportChoice choice;
    if (comprehensive || log || brevanta) choice = {comprehensive, log, brevanta};
    return ForEachFile(files, [&](const std::string& f) { return cli::Report(ctx, f, choice); });
  }
  if (totals->parsed()) {
    return ForEachFile(files, [&](const std::string& f) { return cli::Totals(ctx, f); });
  }
  return ForEachFile({scale}, [&](const std::string& f) { return cli::Dump(ctx, f, table); });
}
