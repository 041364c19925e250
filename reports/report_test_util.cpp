#include "reports/report_test_util.h"

#include <gtest/gtest.h>

namespace reports::testing {

ScaleFile::ScaleFile(const std::string& name)
    : clock_(platform::LocalDateTime{2010, 11, 5, 14, 7, 0}),
      ui_(std::make_unique<platform::ScriptedUi>(
          [](const std::string& failure) { ADD_FAILURE() << failure; })) {
  path_ = folder_ / (name + ".scl");
  store_.SetJournalSource(&clock_, "Scaler 7 PegID:4711");
  EXPECT_EQ(store_.Open(path_, false), 0);
  for (const char* desc : {kGlobalsDesc, kLoadDesc, kLogDesc, kSegDesc, kDefCDesc, kKZDesc}) {
    EXPECT_EQ(store_.DefineTable(desc), 0) << desc;
  }
  AddRow("Globals", {{"Block", "System"}, {"Key", "ProgramVersion"}, {"Value", "1.0.0"}});
}

ScaleFile::~ScaleFile() {
  store_.Close();
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

std::string B(int n) { return std::string(static_cast<size_t>(n), ' '); }

Values LoadValues(const std::string& st) {
  return {{"SALE", "S1"},        {"LLR", "1001"},      {"ST", st},        {"SCALESYS", "Cubic"},
          {"REGION", "06"},      {"FOREST", "12"},     {"DISTRICT", "3"}, {"LOCATION", "Mill A"},
          {"PURCH", "Acme"},     {"CONTRACT", "C7"},   {"SG", "2"},       {"HDATE", "20101104"},
          {"SDATE", "20101105"}, {"STIME", "08:30"},   {"SCALER", "Ann"}, {"NWT", "1000"},
          {"GWT", "1500"},       {"TRK", "T9"},        {"DEST", "Yard"},  {"MEASSYS", "E"},
          {"CFSAWCU", "2.0"},    {"CFNONSAWCU", "0.5"}};
}

Values LogValues(int log, const std::string& s, const std::string& sp, int p, int ln, int sd,
                 int ld) {
  return {{"SALE", "S1"},
          {"LLR", "1001"},
          {"LOG", std::to_string(log)},
          {"S", s},
          {"SP", sp},
          {"P", std::to_string(p)},
          {"LN", std::to_string(ln)},
          {"SD", std::to_string(sd)},
          {"LD", std::to_string(ld)},
          {"HIT", "-1"}};
}

Values SegValues(int log, int seg, int ln, int sd, int ld) {
  return {{"SALE", "S1"},
          {"LLR", "1001"},
          {"LOG", std::to_string(log)},
          {"S", "1"},
          {"Seg", std::to_string(seg)},
          {"LN", std::to_string(ln)},
          {"SD", std::to_string(sd)},
          {"LD", std::to_string(ld)}};
}

void Build100Load(ScaleFile& file) {
  file.AddRow("Load", LoadValues("100"));
  Values log1 = LogValues(1, "1", "DF", 1, 16, 10, 12);
  log1.insert_or_assign("G", std::string("2"));
  file.AddRow("Log", log1);
  Values log2 = LogValues(2, "1", "WH", 2, 32, 12, 16);
  log2.insert_or_assign("REM", std::string("Midpoint diameter: 14"));
  file.AddRow("Log", log2);
  Values log3 = LogValues(3, "1", "DF", 1, 12, 9, 10);
  log3.insert_or_assign("VOID", std::string("1"));
  log3.insert_or_assign("REM", std::string("broken"));
  file.AddRow("Log", log3);
  Values log4 = LogValues(4, "1", "DF", 1, 16, 10, 12);
  log4.insert_or_assign("OverrideVolume", std::string("1"));
  file.AddRow("Log", log4);
  file.AddRow("Seg", SegValues(1, 1, 16, 10, 12));
  file.AddRow("Seg", SegValues(2, 1, 16, 14, 16));
  file.AddRow("Seg", SegValues(2, 2, 16, 12, 14));
  file.AddRow("Seg", SegValues(4, 1, 16, 10, 12));
  file.AddRow("DefC", {{"SALE", "S1"},
                       {"LLR", "1001"},
                       {"LOG", "2"},
                       {"S", "1"},
                       {"Seg", "2"},
                       {"M", "4"},
                       {"PCT", "10"}});
}

namespace {

Values With(Values values, const std::map<std::string, std::string>& more) {
  for (const auto& [key, value] : more) values.insert_or_assign(key, value);
  return values;
}

}  // namespace

void Build3PLoad(ScaleFile& file) {
  file.AddRow("Load", LoadValues("3P"));
  file.AddRow("Log", With(LogValues(1, "1", "DF", 1, 16, 10, 12),
                          {{"KPI", "40"}, {"RND", "30"}, {"HIT", "1"}}));
  file.AddRow("Log", With(LogValues(2, "1", "DF", 1, 0, 0, 0),
                          {{"KPI", "30"}, {"RND", "50"}, {"HIT", "0"}}));
  file.AddRow("Log", With(LogValues(3, "1", "WH", 2, 16, 8, 10),
                          {{"KPI", "30"}, {"RND", "10"}, {"HIT", "1"}}));
  file.AddRow("Log", LogValues(3, "2", "WH", 2, 10, 6, 8));
  file.AddRow("Log", With(LogValues(4, "1", "DF", 1, 12, 9, 10),
                          {{"KPI", "25"}, {"RND", "5"}, {"HIT", "1"}, {"VOID", "1"}}));
  file.AddRow("Log",
              With(LogValues(5, "1", "DF", 1, 32, 12, 16),
                   {{"KPI", "50"}, {"RND", "20"}, {"HIT", "1"}, {"REM", "Midpoint diameter: 14"}}));
  file.AddRow("Log", With(LogValues(6, "1", "DF", 1, 16, 10, 12),
                          {{"KPI", "40"}, {"RND", "40"}, {"HIT", "1"}, {"OverrideVolume", "1"}}));
  file.AddRow("Seg", SegValues(1, 1, 16, 10, 12));
  file.AddRow("Seg", SegValues(3, 1, 16, 8, 10));
  file.AddRow("Seg", With(SegValues(3, 1, 10, 6, 8), {{"S", "2"}}));
  file.AddRow("Seg", SegValues(5, 1, 16, 14, 16));
  file.AddRow("Seg", SegValues(5, 2, 16, 12, 14));
  file.AddRow("Seg", SegValues(6, 1, 16, 10, 12));
  file.AddRow("DefC", {{"SALE", "S1"},
                       {"LLR", "1001"},
                       {"LOG", "5"},
                       {"S", "1"},
                       {"Seg", "2"},
                       {"M", "4"},
                       {"PCT", "10"}});
  file.AddRow("KZ", {{"P", "1"}, {"SP", "DF"}, {"KZ", "100"}});
  file.AddRow("KZ", {{"P", "2"}, {"SP", "WH"}, {"KZ", "80"}});
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
