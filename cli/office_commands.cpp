#include "cli/office_commands.h"

#include <iostream>

#include "cli/intake_command.h"
#include "cli/print_command.h"
#include "cli/summary_command.h"

namespace cli {
namespace {

void DeclareSummary(CLI::App& app, OfficeOptions& o) {
  o.summary = app.add_subcommand(
      "summary", "the load totals of many scale files, by sale, species, product, scaler or day "
                 "(reads only)");
  o.summary->add_option("FILES", o.files, "scale files")->required();
  o.summary->add_option("--by", o.by, "sale (default), species, product, scaler or day");
  o.summary->add_option("--from", o.from, "only loads scaled on or after DATE (YYYYMMDD)");
  o.summary->add_option("--to", o.to, "only loads scaled on or before DATE (YYYYMMDD)");
  auto* csv = o.summary->add_flag("--csv", o.csv, "as CSV: a header, one line per group, TOTAL");
  auto* json =
      o.summary->add_flag("--json", o.json, "as one JSON object")->excludes(csv);
  o.summary->add_option("--pdf", o.pdf, "write the printed form as a PDF to OUT.pdf")
      ->excludes(csv)
      ->excludes(json);
}

void DeclareIntake(CLI::App& app, OfficeOptions& o) {
  o.intake = app.add_subcommand(
      "intake", "one new scale file per load text in DIR, named after the load's LLR "
                "(create and import in one step)");
  o.intake->add_option("--setup", o.setup,
                       "the setup file (default: DefaultScaler.SetupScl beside the program)");
  o.intake->add_option("DIR", o.folder, "the folder of the new scale files")->required();
  o.intake->add_option("TEXTS", o.files, "load texts")->required();
}

void DeclarePrint(CLI::App& app, OfficeOptions& o) {
  o.print = app.add_subcommand(
      "print", "print the reports' PDF copies through lp (CUPS), writing them first where "
               "missing or older than the load (default: comprehensive and log report)");
  o.print->add_option("FILES", o.files, "scale files")->required();
  o.print->add_flag("--comprehensive", o.comprehensive, "the comprehensive report");
  o.print->add_flag("--log", o.log, "the log report");
  o.print->add_flag("--audit", o.audit, "the audit report");
  o.print->add_option("--printer", o.printer, "the printer (default: the system's default)");
}

// The summary's options checked; nullopt (and a line on stderr) when wrong.
std::optional<reports::SummaryOptions> SummaryOptionsOf(const OfficeOptions& o) {
  const std::optional<reports::SummaryGrouping> grouping = reports::ParseSummaryGrouping(o.by);
  if (!grouping) {
    std::cerr << "varnolde-cli: --by " << o.by
              << ": not one of sale, species, product, scaler, day\n";
    return std::nullopt;
  }
  reports::SummaryOptions options;
  options.grouping = *grouping;
  for (const auto& [text, bound] : {std::pair{o.from, &options.from}, {o.to, &options.to}}) {
    if (text.empty()) continue;
    const std::optional<std::string> date = reports::ParseSummaryDate(text);
    if (!date) {
      std::cerr << "varnolde-cli: " << text << ": not a date (YYYYMMDD or YYYY-MM-DD)\n";
      return std::nullopt;
    }
    *bound = *date;
  }
  return options;
}

}  // namespace

void DeclareOfficeCommands(CLI::App& app, OfficeOptions& o) {
  DeclareSummary(app, o);
  DeclareIntake(app, o);
  DeclarePrint(app, o);
}

std::optional<int> RunOfficeCommand(const OfficeOptions& o, Context& ctx) {
  if (o.summary->parsed()) {
    const std::optional<reports::SummaryOptions> options = SummaryOptionsOf(o);
    if (!options) return 2;
    const Format format = o.json ? Format::kJson : o.csv ? Format::kCsv : Format::kText;
    return Summary(ctx, o.files, *options, {format, o.pdf});
  }
  if (o.intake->parsed()) return Intake(ctx, o.setup, o.folder, o.files);
  if (!o.print->parsed()) return std::nullopt;
  const PrintChoice choice{o.comprehensive, o.log, o.audit, o.printer};
  int failures = 0;
  for (const std::string& file : o.files) {
    const Outcome outcome = Print(ctx, file, choice);
    if (outcome.ok) continue;
    std::cerr << "varnolde-cli: " << file << ": " << outcome.reason << '\n';
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace cli
