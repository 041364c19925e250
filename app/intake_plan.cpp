#include "app/intake_plan.h"

#include "app/file_names.h"
#include "platform/text.h"
#include "tablestore/import_reader.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The index of the LLR column in a description line "Load[SALE:S,LLR:S,...]";
// -1 when it has none.
int LlrColumn(const std::string& description) {
  const size_t open = description.find('[');
  if (open == std::string::npos) return -1;
  const std::string columns = description.substr(open + 1);
  const std::vector<std::string> names =
      tablestore::SplitDataLine(columns, 1 + static_cast<int>(columns.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i].substr(0, names[i].find_first_of(":]"));
    if (platform::EqualsIgnoringAsciiCase(name, "LLR")) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::vector<std::string> LoadReceiptsOfText(std::string_view bytes) {
  const std::string text =
      platform::IsValidUtf8(bytes) ? std::string(bytes) : platform::Cp1252ToUtf8(bytes);
  tablestore::ImportLines lines(text);
  std::vector<std::string> receipts;
  std::string line;
  bool more = lines.Next(line);
  while (more) {
    if (!StartsWithIgnoringCase(line, "[Load]")) {
      more = lines.Next(line);
      continue;
    }
    std::string description, title;
    if (!lines.Next(description) || !lines.Next(title)) break;
    const int llr = LlrColumn(tablestore::CutDescription(description));
    while ((more = lines.Next(line)) && (line.empty() || line[0] != '[')) {
      if (llr < 0 || line.empty()) continue;
      receipts.push_back(tablestore::SplitDataLine(line, llr + 1)[llr]);
    }
  }
  return receipts;
}

std::string LlrFileNameProblem(std::string_view llr) {
  if (llr.empty()) return "the load has no LLR";
  if (llr[0] == '.' || llr[0] == '-') return "an LLR beginning with \".\" or \"-\"";
  for (const char c : llr) {
    if (c == '/' || c == '\\') return "an LLR with \"/\" or \"\\\"";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return "an LLR with a control character";
  }
  return "";
}

std::string IntakePath(std::string_view folder, std::string_view llr, bool dated,
                       const platform::LocalDateTime& now) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += std::string(llr) + ".scl";
  return dated ? WithFileNamePrefix(path, DatePrefix(now)) : path;
}

bool SetupDatesFileNames(const platform::FileSystem& fs, const std::string& setupPath) {
  // The store would make a missing file.
  if (!fs.Exists(setupPath)) return false;
  tablestore::TableStore store;
  if (store.Open(setupPath, false) != tablestore::kOk) return false;
  std::string value;
  const int rc = tablestore::ReadSetting(store, tablestore::kBlockOption,
                                         tablestore::kKeyAppendDateToFileName, value);
  (void)store.Close();  // only read: nothing to commit
  return rc == 0 && value == tablestore::kYes;
}

}  // namespace app
