// The names of a scale file's reports, and whether the reports of a load
// still tell its data.
//
// Every load of a file gets its reports under one base name: the scale
// file's path without ".scl", followed, when the file holds two or more loads
// (and is not of type "non-scale loads"), by its load receipt made fit for a
// file name (FileNamePart). Two loads whose names come out the same (one LLR
// under two sales; "10/42" and "10-42") would write over each other's
// reports: a run that would do so is refused (ReportNameClash) before any
// file is written.
//
// A report run stores, for each load whose reports it wrote, a stamp of the
// load's data (LoadDataStamp) in the Globals row Block=Reports,Key=SALE|LLR,
// in the run's one commit. A load whose data no longer gives that stamp has
// reports that tell an older state of it (ReportsState).
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "tablestore/table_store.h"

namespace reports {

// SALE and LLR of a load.
using LoadName = std::pair<std::string, std::string>;

// The base name of the reports of the load with receipt `llr` in a file of
// `loadCount` loads (see the top of this file).
std::string ReportBaseName(std::string_view scaleFilePath, std::string_view fileType,
                           int loadCount, std::string_view llr);

// The file endings of a load's report and export files.
inline constexpr const char* kLoadReportEndings[] = {".cmp", ".clg", ".bva"};

// Caption of the message that refuses a run whose reports would overwrite
// each other.
inline constexpr char kReportNameClashCaption[] = "Reports Cancelled";

// "" when every load of `loads` gets its own base name; otherwise the
// refusal naming the first two loads that share one: "The loads SALE a LLR
// x and SALE b LLR y would write their reports to the same files (NAME.cmp,
// ...).\nChange the SALE or LLR of one of them and try again."
std::string ReportNameClash(std::string_view scaleFilePath, std::string_view fileType,
                            const std::vector<LoadName>& loads);

// Removes the leftovers of report writes cut short by a crash
// (FileSystem::RemoveStaleTemporaries) of every report and export name of
// the file: each load's reports and their PDF copies, the audit report and
// its PDF copy, and the load summary.
void RemoveStaleReportTemporaries(platform::FileSystem& files, std::string_view scaleFilePath,
                                  std::string_view fileType, const std::vector<LoadName>& loads);

// A stamp of the data of load (sale, llr): a hash of every value of its rows
// in Load, Log, Seg, DefC and DefB (the rows whose SALE and LLR are the
// load's), in table and column order, but for the stored volumes (GCV, NCV,
// GBV, NBV), which follow from the rest. Equal data gives the same stamp.
std::string LoadDataStamp(tablestore::TableStore& store, const std::string& sale,
                          const std::string& llr);

// Stores LoadDataStamp of the load as its reports' stamp, without
// committing. Returns 0, or the negative result of StoreSetting.
[[nodiscard]] int StoreReportStamp(tablestore::TableStore& store, const std::string& sale,
                                   const std::string& llr);

enum class ReportsState {
  kNone,       // none of the load's report files is there
  kCurrent,    // they are, and the load's data is what they were written from
  kOutOfDate,  // they are, but the load changed after they were written (or
               // they were not written by a run that stamps them)
};

// The state of the reports of load `index` of `loads` (the file's loads in
// row order) beside the scale file.
ReportsState ReportsStateOf(tablestore::TableStore& store, const platform::FileSystem& files,
                            std::string_view scaleFilePath, std::string_view fileType,
                            const std::vector<LoadName>& loads, size_t index);

}  // namespace reports
