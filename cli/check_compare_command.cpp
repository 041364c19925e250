#include "cli/check_compare_command.h"

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/check_compare.h"
#include "app/scale_files.h"
#include "reports/report_pdf.h"
#include "reports/report_text.h"

namespace cli {
namespace {

using nlohmann::ordered_json;
using reports::ComparedLog;
using reports::ComparisonTotals;
using reports::LoadComparison;
using reports::ScaledLog;
using reports::UnmatchedLog;

// A volume in its unit (cubic feet to one decimal, board feet whole).
double Volume(long tenths) { return static_cast<double>(tenths) / 10.0; }

ordered_json Percent(const std::optional<double>& percent) {
  if (!percent) return nullptr;
  return std::round(*percent * 10.0) / 10.0;
}

// The codes of the measurements that differ, in the order of the columns.
std::string DifferenceCodes(unsigned bits) {
  std::string codes;
  const std::pair<unsigned, const char*> names[] = {{reports::kSpeciesDiffers, "SP"},
                                                    {reports::kProductDiffers, "P"},
                                                    {reports::kLengthDiffers, "LN"},
                                                    {reports::kSmallEndDiffers, "SD"},
                                                    {reports::kLargeEndDiffers, "LD"}};
  for (const auto& [bit, name] : names) {
    if ((bits & bit) != 0) codes += (codes.empty() ? "" : " ") + std::string(name);
  }
  return codes;
}

// One scaler's measurements, and the volumes when `volumes`.
ordered_json SideJson(const ScaledLog& s, bool volumes = true) {
  ordered_json side = {{"species", s.species},
                       {"product", s.product},
                       {"length", s.length},
                       {"small_end", s.smallEnd},
                       {"large_end", s.largeEnd}};
  if (!volumes) return side;
  side["defect"] = Volume(s.defect);
  side["gross"] = Volume(s.gross);
  side["net"] = Volume(s.net);
  return side;
}

ordered_json UnmatchedJson(const UnmatchedLog& u) {
  ordered_json log = {{"log", u.log}, {"split", u.split}};
  log.update(SideJson(u.measured, false));
  if (!u.reason.empty()) log["reason"] = u.reason;
  return log;
}

ordered_json TotalsJson(const ComparisonTotals& t) {
  return {{"loads", t.loads},
          {"logs", t.logs},
          {"logs_differing", t.logsDiffering},
          {"production_gross", Volume(t.productionGross)},
          {"check_gross", Volume(t.checkGross)},
          {"gross_percent", Percent(t.GrossPercent())},
          {"production_net", Volume(t.productionNet)},
          {"check_net", Volume(t.checkNet)},
          {"net_percent", Percent(t.NetPercent())},
          {"outside_tolerance", t.outsideTolerance}};
}

ordered_json LoadJson(const LoadComparison& load) {
  ordered_json json = {
      {"sale", load.sale},
      {"llr", load.llr},
      {"production_file",
       load.productionFile.empty() ? ordered_json(nullptr) : ordered_json(load.productionFile)},
      {"unit", load.board ? "board feet" : "cubic feet"},
      {"scaler", load.scaler},
      {"check_scaler", load.checkScaler},
      {"scale_date", load.scaleDate},
      {"check_date", load.checkDate},
      {"logs", ordered_json::array()},
      {"check_only", ordered_json::array()},
      {"not_remeasured", ordered_json::array()},
      {"totals", TotalsJson(load.totals)},
      {"outside_tolerance", load.outsideTolerance}};
  for (const ComparedLog& log : load.logs) {
    json["logs"].push_back({{"log", log.log},
                            {"split", log.split},
                            {"production", SideJson(log.production)},
                            {"check", SideJson(log.check)},
                            {"gross_difference", Volume(log.grossDifference())},
                            {"net_difference", Volume(log.netDifference())},
                            {"differs", DifferenceCodes(log.differences)}});
  }
  for (const UnmatchedLog& u : load.checkOnly) json["check_only"].push_back(UnmatchedJson(u));
  for (const UnmatchedLog& u : load.notRemeasured)
    json["not_remeasured"].push_back(UnmatchedJson(u));
  return json;
}

ordered_json ComparisonJson(const reports::CheckComparison& c) {
  ordered_json json = {{"check_file", c.checkFile},
                       {"production_files", c.productionFiles},
                       {"tolerance", c.tolerance ? ordered_json(*c.tolerance) : nullptr},
                       {"outside_tolerance", c.anyOutsideTolerance()},
                       {"loads", ordered_json::array()},
                       {"overall", ordered_json::object()}};
  for (const LoadComparison& load : c.loads) json["loads"].push_back(LoadJson(load));
  if (c.cubic.loads > 0) json["overall"]["cubic_feet"] = TotalsJson(c.cubic);
  if (c.board.loads > 0) json["overall"]["board_feet"] = TotalsJson(c.board);
  return json;
}

constexpr char kCsvHeader[] =
    "sale,llr,unit,log,split,status,production_sp,production_p,production_ln,production_sd,"
    "production_ld,production_defect,production_gross,production_net,check_sp,check_p,"
    "check_ln,check_sd,check_ld,check_defect,check_gross,check_net,gross_difference,"
    "net_difference,differs,reason\n";

// The measurement fields of one side; volumes when `volumes`.
std::string CsvSide(const ScaledLog& s, bool board, bool volumes) {
  std::string fields = s.species + "," + std::to_string(s.product) + "," +
                       std::to_string(s.length) + "," + std::to_string(s.smallEnd) + "," +
                       std::to_string(s.largeEnd) + ",";
  if (!volumes) return fields + ",,,";
  return fields + reports::VolumeFigure(s.defect, board) + "," +
         reports::VolumeFigure(s.gross, board) + "," + reports::VolumeFigure(s.net, board) + ",";
}

// The fields of a side the log does not have.
constexpr char kNoSide[] = ",,,,,,,,";

void WriteCsv(std::ostream& out, const reports::CheckComparison& c) {
  out << kCsvHeader;
  for (const LoadComparison& load : c.loads) {
    const std::string lead =
        load.sale + "," + load.llr + "," + (load.board ? "board feet" : "cubic feet") + ",";
    for (const ComparedLog& log : load.logs) {
      out << lead << log.log << ',' << log.split << ",compared,"
          << CsvSide(log.production, load.board, true) << CsvSide(log.check, load.board, true)
          << reports::VolumeFigure(log.grossDifference(), load.board) << ','
          << reports::VolumeFigure(log.netDifference(), load.board) << ','
          << DifferenceCodes(log.differences) << ",\n";
    }
    for (const UnmatchedLog& u : load.checkOnly) {
      out << lead << u.log << ',' << u.split << ",check only," << kNoSide
          << CsvSide(u.measured, load.board, false) << ",,," << u.reason << '\n';
    }
    for (const UnmatchedLog& u : load.notRemeasured) {
      out << lead << u.log << ',' << u.split << ",not re-measured,"
          << CsvSide(u.measured, load.board, false) << kNoSide << ",,,\n";
    }
  }
}

}  // namespace

CLI::App* DeclareCheckCompare(CLI::App& app, CheckCompareOptions& o) {
  CLI::App* command = app.add_subcommand(
      "check-compare",
      "compare a check scaler's file with the production files, log by log and load by load "
      "(reads only); exit 3 when a load is outside --tolerance");
  command->add_option("CHECK", o.checkFile, "the check scale file")->required();
  command->add_option("PRODUCTION", o.productionFiles, "the production scale files")->required();
  command
      ->add_option_function<double>(
          "--tolerance", [&o](const double& pct) { o.tolerance = pct; },
          "PCT: flag a load whose net volume differs from production by more than PCT per cent "
          "(none by default)")
      ->check(CLI::NonNegativeNumber);
  CLI::Option* csv = command->add_flag("--csv", o.csv, "one CSV line per log");
  CLI::Option* json = command->add_flag("--json", o.json, "one JSON object")->excludes(csv);
  command->add_option("--pdf", o.pdfPath, "OUT.pdf: write the printed comparison as a PDF")
      ->excludes(csv)
      ->excludes(json);
  return command;
}

int CheckCompare(Context& ctx, const CheckCompareOptions& o) {
  const app::CheckCompareOutcome outcome =
      app::CompareCheckScaleFiles(ctx.fs, o.checkFile, o.productionFiles, o.tolerance);
  if (!outcome.ok()) {
    std::cerr << "varnolde-cli: " << outcome.error << '\n';
    return 1;
  }
  const reports::CheckComparison& comparison = outcome.comparison;
  if (o.json) {
    ctx.out << ComparisonJson(comparison).dump() << '\n';
  } else if (o.csv) {
    WriteCsv(ctx.out, comparison);
  } else {
    const std::string text =
        reports::CheckComparisonText(comparison, app::kProgramVersion, ctx.clock);
    if (o.pdfPath.empty()) {
      ctx.out << text;
    } else if (reports::WritePdfOfReport(ctx.fs, reports::kPortraitLayout, o.pdfPath, text,
                                         &ctx.ui)) {
      ctx.out << "Wrote " << o.pdfPath << '\n';
    } else {
      return 1;
    }
  }
  return comparison.anyOutsideTolerance() ? kExitOutsideTolerance : 0;
}

}  // namespace cli
