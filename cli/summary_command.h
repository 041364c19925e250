// varnolde-cli summary: the load totals of many scale files put together by
// sale, species, product, scaler or day (reports::SummarizeScaleFiles),
// printed as the report's page text, as CSV or JSON, or written as a PDF.
// The files are only read.
//
// Thread safety: none; one command at a time.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"
#include "reports/season_summary.h"

namespace cli {

// How the summary is written: kText prints the printed form; `pdfPath`
// (not empty) writes that form as a PDF instead and says where.
struct SummaryOutput {
  Format format = Format::kText;
  std::string pdfPath;
};

// Summarizes the loads of `files` and writes the result to ctx.out. Each
// file (or load) left out is named on the error stream with its reason.
// Returns 0 when every file was read, 1 when one was left out or the PDF
// could not be written.
[[nodiscard]] int Summary(Context& ctx, const std::vector<std::string>& files,
                          const reports::SummaryOptions& options, const SummaryOutput& output);

}  // namespace cli
