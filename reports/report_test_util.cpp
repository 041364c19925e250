#include "reports/report_test_util.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace reports::testing {

ScaleFile::ScaleFile(const std::string& name)
    : clock_(platform::LocalDateTime{2010, 11, 5, 14, 7, 0}),
      ui_(std::make_unique<platform::ScriptedUi>(
          [](const std::string& failure) { ADD_FAILURE() << failure; })) {
  std::string pattern = (std::filesystem::temp_directory_path() / "reports-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  path_ = folder_ + "/" + name + ".scl";
  store_.SetJournalSource(&clock_, "Scaler 7 PegID:4711");
  EXPECT_EQ(store_.Open(path_, false), 0);
  for (const char* desc : {kGlobalsDesc, kLoadDesc, kLogDesc, kSegDesc, kDefCDesc, kKZDesc}) {
    EXPECT_EQ(store_.DefineTable(desc), 0) << desc;
  }
  AddRow("Globals", {{"Block", "System"}, {"Key", "ProgramVersion"}, {"Value", "1.0.0"}});
}

ScaleFile::~ScaleFile() {
  store_.Close();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string ScaleFile::base() const { return path_.substr(0, path_.size() - 4); }

ReportContext ScaleFile::Context(const std::string& fileType) {
  ReportContext context;
  context.store = &store_;
  context.ui = ui_.get();
  context.files = &files_;
  context.clock = &clock_;
  context.scaleFilePath = path_;
  context.fileType = fileType;
  return context;
}

void ScaleFile::AddRow(const std::string& table, const Values& values) {
  const int slot = store_.OpenAView(table, false);
  ASSERT_GE(slot, 0) << table;
  const int row = store_.AddRow(slot, -1);
  for (const auto& [name, value] : values) {
    const int col = store_.ColumnIndex(slot, name);
    ASSERT_GE(col, 0) << name;
    store_.SetText(slot, row, col, value);
  }
  store_.ReleaseView(slot);
}

std::string ScaleFile::File(const std::string& path) const {
  const std::string* text = files_.File(path);
  return text == nullptr ? std::string() : *text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace reports::testing
