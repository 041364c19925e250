// The office's summary across loads: the load totals of many scale files put
// together by sale, species, product, scaler or scale day, with a total
// line, as a printed report (the log report's portrait page, with its PDF
// copy) or as values for CSV and JSON.
//
// Every figure comes from the load totals (scaling::PeekLoadTotals, the same
// numbers the totals window and `totals` show, computed afresh and never
// stored): a load's cubic figures as shown there (tenths of a cubic foot) and
// its board figures (whole tens of board feet, board loads only), so that
// grouped by sale, scaler or day the rows add up, exactly, to the sums of the
// loads' totals. By product a load is split into its saw and non-saw columns.
// By species each live log carries its share of its product's figures
// (scaling::TotalsWeights: the 3P expansion of its product); a species row
// is the sum of its logs' shares, rounded as the totals round, so species
// rows may differ from the total line by the rounding of each row.
//
// The files are only read: no journal entry, no volume stored, nothing
// written to them. A file another program holds, a file that is no scale
// file, or a load whose totals cannot be computed is left out and named in
// `skipped` with the reason.
//
// Thread safety: none; one summary at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace reports {

// What the rows of a summary stand for.
enum class SummaryGrouping { kSale, kSpecies, kProduct, kScaler, kDay };

// The grouping named "sale", "species", "product", "scaler" or "day";
// nullopt for any other word.
std::optional<SummaryGrouping> ParseSummaryGrouping(std::string_view word);
// The word of a grouping ("sale", ...).
std::string_view SummaryGroupingWord(SummaryGrouping grouping);

// A date of the command line, "YYYYMMDD" or "YYYY-MM-DD", as the scale date
// SDATE is stored ("YYYYMMDD"); nullopt when it is no calendar date.
std::optional<std::string> ParseSummaryDate(std::string_view text);

// Which loads, and how to group them. A load whose SDATE lies outside
// [from, to] (each bound optional, "YYYYMMDD") is left out; with either bound
// a load without a scale date is left out too.
struct SummaryOptions {
  SummaryGrouping grouping = SummaryGrouping::kSale;
  std::string from;
  std::string to;
};

// The figures of one row: loads, live logs and volumes. Cubic volumes in
// tenths of a cubic foot, board volumes in board feet (whole tens), kept as
// integers so that sums are exact.
struct SummaryFigures {
  int loads = 0;
  int measured = 0;
  int counted = 0;
  int logs = 0;  // measured + counted
  int64_t grossTenths = 0;
  int64_t netTenths = 0;
  int64_t defectTenths = 0;
  bool board = false;  // a board load is among the row's loads
  int64_t boardGross = 0;
  int64_t boardNet = 0;
  int64_t boardDefect = 0;
  SummaryFigures& operator+=(const SummaryFigures& other);
};

struct SummaryRow {
  std::string group;  // the sale, species, "Saw"/"Non-saw", scaler or SDATE
  SummaryFigures figures;
};

// A file or load left out, and why.
struct SkippedFile {
  std::string path;
  std::string reason;
};

struct SeasonSummary {
  SummaryOptions options;
  std::vector<SummaryRow> rows;  // sorted by group (text order)
  SummaryFigures total;          // the sum of the loads' totals
  std::vector<SkippedFile> skipped;
};

// The summary of every load of the files `paths`, read through `fs` (for the
// checks before a file is opened) and the table store.
SeasonSummary SummarizeScaleFiles(const std::vector<std::string>& paths,
                                  const SummaryOptions& options, platform::FileSystem& fs);

// The printed form: the portrait page of the log report (70 lines of 91
// characters, page number in the footer), a heading with the program
// version, the date and the grouping, one line per row and the total line.
// UTF-8 text, pages separated by form feeds.
std::string SummaryReportText(const SeasonSummary& summary, std::string_view programVersion,
                              const platform::Clock& clock);

// Writes the printed form `text` as a PDF at `path`, drawn as the report
// PDFs are (RenderReportPdf on the portrait sheet). Returns true when
// written; otherwise false with `error` saying why, and no file changed.
[[nodiscard]] bool WriteSummaryPdf(platform::FileSystem& fs, const std::string& path,
                                   std::string_view text, std::string* error);

}  // namespace reports
