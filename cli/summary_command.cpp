#include "cli/summary_command.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/scale_files.h"
#include "cli/csv_field.h"

namespace cli {
namespace {

using reports::SummaryFigures;

constexpr char kCsvHeader[] =
    "group,loads,measured,counted,logs,gross,net,defect,board_gross,board_net,board_defect\n";

double CubicFeet(int64_t tenths) { return static_cast<double>(tenths) / 10.0; }

std::string CsvLine(const std::string& group, const SummaryFigures& f) {
  char numbers[160];
  std::snprintf(numbers, sizeof numbers, ",%d,%d,%d,%d,%.1f,%.1f,%.1f", f.loads, f.measured,
                f.counted, f.logs, CubicFeet(f.grossTenths), CubicFeet(f.netTenths),
                CubicFeet(f.defectTenths));
  std::string line = CsvField(group) + numbers;
  if (f.board) {
    line += "," + std::to_string(f.boardGross) + "," + std::to_string(f.boardNet) + "," +
            std::to_string(f.boardDefect);
  } else {
    line += ",,,";
  }
  return line + "\n";
}

nlohmann::ordered_json FiguresJson(const SummaryFigures& f) {
  nlohmann::ordered_json json = {{"loads", f.loads},
                                 {"measured", f.measured},
                                 {"counted", f.counted},
                                 {"logs", f.logs},
                                 {"gross", CubicFeet(f.grossTenths)},
                                 {"net", CubicFeet(f.netTenths)},
                                 {"defect", CubicFeet(f.defectTenths)}};
  if (f.board) {
    json["board_gross"] = f.boardGross;
    json["board_net"] = f.boardNet;
    json["board_defect"] = f.boardDefect;
  }
  return json;
}

void WriteJson(std::ostream& out, const reports::SeasonSummary& summary) {
  nlohmann::ordered_json json = {
      {"by", reports::SummaryGroupingWord(summary.options.grouping)},
      {"from", summary.options.from},
      {"to", summary.options.to},
      {"groups", nlohmann::ordered_json::array()},
  };
  for (const reports::SummaryRow& row : summary.rows) {
    nlohmann::ordered_json group = {{"group", row.group}};
    group.update(FiguresJson(row.figures));
    json["groups"].push_back(group);
  }
  json["total"] = FiguresJson(summary.total);
  json["skipped"] = nlohmann::ordered_json::array();
  for (const reports::SkippedFile& skipped : summary.skipped) {
    json["skipped"].push_back({{"file", skipped.path}, {"reason", skipped.reason}});
  }
  out << json.dump() << '\n';
}

}  // namespace

int Summary(Context& ctx, const std::vector<std::string>& files,
            const reports::SummaryOptions& options, const SummaryOutput& output) {
  const reports::SeasonSummary summary = reports::SummarizeScaleFiles(files, options, ctx.fs);
  int exitCode = 0;
  for (const reports::SkippedFile& skipped : summary.skipped) {
    std::cerr << "varnolde-cli: " << skipped.path << ": " << skipped.reason << "; left out\n";
    exitCode = 1;
  }
  if (!output.pdfPath.empty()) {
    const std::string text = reports::SummaryReportText(summary, app::kProgramVersion, ctx.clock);
    std::string error;
    if (!reports::WriteSummaryPdf(ctx.fs, output.pdfPath, text, &error)) {
      std::cerr << "varnolde-cli: " << output.pdfPath << ": " << error << '\n';
      return 1;
    }
    ctx.out << "Wrote " << output.pdfPath << '\n';
    return exitCode;
  }
  switch (output.format) {
    case Format::kCsv:
      ctx.out << kCsvHeader;
      for (const reports::SummaryRow& row : summary.rows) ctx.out << CsvLine(row.group, row.figures);
      ctx.out << CsvLine("TOTAL", summary.total);
      break;
    case Format::kJson:
      WriteJson(ctx.out, summary);
      break;
    case Format::kText: {
      const std::string text = reports::SummaryReportText(summary, app::kProgramVersion, ctx.clock);
      // The page's last line has no line break of its own; a terminal wants one.
      ctx.out << text << (text.ends_with('\n') ? "" : "\n");
      break;
    }
  }
  return exitCode;
}

}  // namespace cli
