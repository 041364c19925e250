#include "app/check_compare.h"

#include <cstdio>
#include <utility>

#include "app/file_names.h"
#include "app/scale_files.h"
#include "reports/report_pdf.h"
#include "tablestore/settings.h"

namespace app {
namespace {

// A scale file opened for reading only and closed without a commit.
class ReadOnlyStore {
 public:
  // Opens `path`; error() tells why it could not be.
  ReadOnlyStore(const platform::FileSystem& fs, const std::string& path) {
    if (!fs.Exists(path)) {
      error_ = "no such file";
      return;
    }
    const int rc = store_.Open(path, false);
    if (rc == tablestore::kInUse) {
      error_ = "the file is in use by another program";
    } else if (rc != tablestore::kOk) {
      error_ = "the file could not be opened: " + store_.LastError();
    }
  }
  ~ReadOnlyStore() {
    if (store_.IsOpen()) (void)store_.Close();  // nothing changed: nothing to commit
  }
  ReadOnlyStore(const ReadOnlyStore&) = delete;
  ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;

  const std::string& error() const { return error_; }
  tablestore::TableStore& store() { return store_; }

 private:
  tablestore::TableStore store_;
  std::string error_;
};

// The file type of the open file (Globals System/FileType); none stored
// counts as production, as the main screen takes it.
std::string FileType(tablestore::TableStore& store) {
  std::string type = reports::kFileTypeProduction;
  (void)tablestore::ReadSetting(store, tablestore::kBlockSystem, tablestore::kKeyFileType, type);
  return type.empty() ? std::string(reports::kFileTypeProduction) : type;
}

// Reads the loads of the open check file into `check`; "" or why not.
std::string ReadCheckFile(tablestore::TableStore& store, const std::string& path,
                          reports::ReadFile* check) {
  const std::string type = FileType(store);
  if (type != reports::kFileTypeCheckScale) {
    return "not a check scale file (its file type is \"" + type + "\")";
  }
  check->path = path;
  if (reports::ReadComparedLoads(store, nullptr, &check->loads) != 0) {
    return "its loads could not be read";
  }
  return "";
}

CheckCompareOutcome Fail(const std::string& path, const std::string& reason) {
  CheckCompareOutcome outcome;
  outcome.error = path + ": " + reason;
  return outcome;
}

// The comparison of `check` with the production files read so far.
CheckCompareOutcome Compare(const reports::ReadFile& check,
                            const std::vector<reports::ReadFile>& production,
                            std::optional<double> tolerance) {
  CheckCompareOutcome outcome;
  outcome.error = reports::AmbiguousProduction(production);
  if (outcome.ok()) outcome.comparison = reports::CompareCheckScale(check, production, tolerance);
  return outcome;
}

// The first checked load that no file of `production` holds, or null.
const reports::ReadLoad* LoadWithoutProduction(const reports::ReadFile& check,
                                               const std::vector<reports::ReadFile>& production) {
  const reports::CheckComparison held = reports::CompareCheckScale(check, production, std::nullopt);
  for (size_t i = 0; i < held.loads.size(); ++i) {
    if (held.loads[i].productionFile.empty()) return &check.loads[i];
  }
  return nullptr;
}

// Asks for production files until every checked load has one or the user
// cancels; the files chosen, read.
std::vector<reports::ReadFile> AskProductionFiles(const reports::ReportContext& context,
                                                  const reports::ReadFile& check) {
  std::vector<reports::ReadFile> production;
  while (const reports::ReadLoad* load = LoadWithoutProduction(check, production)) {
    char title[256];
    std::snprintf(title, sizeof title, kProductionFileTitle, load->sale.c_str(), load->llr.c_str());
    platform::FileDialog dialog;
    dialog.title = title;
    dialog.default_extension = ".scl";
    dialog.filter = "Scale Files (*.scl)|*.scl|All Files (*.*)|*.*||";
    dialog.initial_folder = FolderOf(context.scaleFilePath);
    dialog.must_exist = true;
    const std::optional<std::string> path = context.ui->OpenFile(dialog);
    if (!path) break;
    ProductionRead read = ReadProductionFile(*context.files, *path, check.loads);
    if (read.error.empty() && read.file.loads.empty()) {
      read.error = *path + ": holds none of the checked loads";
    }
    if (!read.error.empty()) {
      context.ui->ShowMessage({read.error, kProductionFileCaption, platform::Icon::kStop});
      continue;
    }
    production.push_back(std::move(read.file));
    if (!reports::AmbiguousProduction(production).empty())
      production.pop_back();  // a file chosen twice
  }
  return production;
}

}  // namespace

ProductionRead ReadProductionFile(const platform::FileSystem& fs, const std::string& path,
                                  const std::vector<reports::ReadLoad>& checked) {
  ProductionRead read;
  ReadOnlyStore file(fs, path);
  if (!file.error().empty()) {
    read.error = path + ": " + file.error();
    return read;
  }
  const std::string type = FileType(file.store());
  if (type != reports::kFileTypeProduction) {
    read.error = path + ": not a production file (its file type is \"" + type + "\")";
    return read;
  }
  read.file.path = path;
  if (reports::ReadComparedLoads(file.store(), &checked, &read.file.loads) != 0) {
    read.error = path + ": its loads could not be read";
  }
  return read;
}

CheckCompareOutcome CompareCheckScaleFiles(const platform::FileSystem& fs,
                                           const std::string& checkPath,
                                           const std::vector<std::string>& productionPaths,
                                           std::optional<double> tolerance) {
  reports::ReadFile check;
  {
    ReadOnlyStore file(fs, checkPath);
    if (!file.error().empty()) return Fail(checkPath, file.error());
    const std::string error = ReadCheckFile(file.store(), checkPath, &check);
    if (!error.empty()) return Fail(checkPath, error);
  }  // closed before the production files open: the check file may be among them
  std::vector<reports::ReadFile> production;
  for (const std::string& path : productionPaths) {
    ProductionRead read = ReadProductionFile(fs, path, check.loads);
    if (!read.error.empty()) {
      CheckCompareOutcome outcome;
      outcome.error = read.error;
      return outcome;
    }
    production.push_back(std::move(read.file));
  }
  return Compare(check, production, tolerance);
}

std::vector<std::string> WriteCheckComparison(const reports::ReportContext& context) {
  reports::ReadFile check;
  const std::string error = ReadCheckFile(*context.store, context.scaleFilePath, &check);
  if (!error.empty()) {
    context.ui->ShowMessage(
        {context.scaleFilePath + ": " + error, kProductionFileCaption, platform::Icon::kStop});
    return {};
  }
  const std::vector<reports::ReadFile> production = AskProductionFiles(context, check);
  if (production.empty()) return {};
  const CheckCompareOutcome outcome = Compare(check, production, std::nullopt);
  const std::string text =
      reports::CheckComparisonText(outcome.comparison, kProgramVersion, *context.clock);
  const std::string path = reports::ScaleFileBase(context.scaleFilePath) + ".chk";
  reports::ReportRunResult result;
  if (!reports::WriteReportAndPdf(context, path, text, context.ui, &result)) return {};
  char done[1024];
  std::snprintf(done, sizeof done, kCheckComparisonCreated, path.c_str());
  context.ui->ShowMessage({done, "Done", platform::Icon::kInformation});
  return result.written;
}

}  // namespace app
