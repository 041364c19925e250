#include "loadinfo/sales_import.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/application.h"
#include "app/test_files.h"
#include "loadinfo/load_info_screen.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace loadinfo {
namespace {

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";
constexpr const char* kDescription =
    "[SaleData]\nSaleData[SALE:S,CONTRACT:S,ST:S,CFSAWCU:F,CFNONSAWCU:F,MINLEN:I,MAXLEN:I]\n"
    "SALE,CONTRACT,ST,CFSAWCU,CFNONSAWCU,MINLEN,MAXLEN\n";
// Elk Meadow occurs twice: its first row counts.
const std::string kSales = std::string(kDescription) +
                           "Cedar Ridge,CR-7,3P,10.67,8,8,70\n"
                           "Elk Meadow,EM-11,3P,0.8,0.5,8,40\n"
                           ",no name,100,1,1,1,1\n"
                           "Elk Meadow,second,100,9,9,9,9\n";

class SalesImportTest : public ::testing::Test {
 protected:
  void Create(app::FileType type = app::FileType::kProduction,
              const std::string& name = "load.scl") {
    const std::string setup = folder_ / "Default.SetupScl";
    if (!fs_.Exists(setup)) {
      ASSERT_EQ(fs_.Copy(kDefaultSetup, setup), platform::FileResult::kOk);
    }
    ASSERT_EQ(app_.files.CreateFromSetup(setup, folder_ / name), app::FileOutcome::kCreated);
    app_.SetFileType(type);
  }
  void WriteSales(const std::string& text) {
    ASSERT_TRUE(app::testing::WriteText(folder_ / kSalesFileName, text));
  }
  tablestore::TableStore& store() { return *app_.store(); }

  // The SALE values of SaleData in table order; nullopt without the table.
  std::optional<std::vector<std::string>> SaleData() {
    const int slot = store().OpenAView(kSaleTable, false);
    if (slot < 0) return std::nullopt;
    std::vector<std::string> sales;
    for (int r = 0; r < store().RowCount(slot); ++r) {
      std::string sale;
      store().GetText(slot, r, store().ColumnIndex(slot, "SALE"), sale);
      sales.push_back(sale);
    }
    EXPECT_EQ(store().ReleaseView(slot), 0);
    return sales;
  }
  // Every stored value of Load row 0.
  std::vector<std::string> Header() {
    std::vector<std::string> values;
    const int load = app_.slots().load;
    for (int c = 0; c < store().ColumnCount(load); ++c) {
      values.emplace_back();
      store().GetText(load, 0, c, values.back());
    }
    return values;
  }
  static const std::string& Value(const LoadInfoScreen& s, const std::string& field) {
    return s.grid().Text(s.FieldRow(field), kValueColumn);
  }
  static void Choose(LoadInfoScreen& s, const std::string& sale) {
    ASSERT_TRUE(s.grid().SetCurrentCell(s.FieldRow("SALE"), kValueColumn));
    ASSERT_TRUE(s.grid().BeginEdit());
    ASSERT_TRUE(s.grid().CommitEdit(sale));
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_;
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
};

TEST_F(SalesImportTest, AttachesTheNonEmptySaleNamesInTableOrder) {
  Create();
  WriteSales(kSales);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_TRUE(screen.view().saleListAttached);
  const std::vector<std::string> names = {"Cedar Ridge", "Elk Meadow", "Elk Meadow"};
  EXPECT_EQ(screen.grid().Choices(screen.FieldRow("SALE"), kValueColumn), names);
}

TEST_F(SalesImportTest, EveryProblemGivesItsMessageAndLeavesSaleDataAndTheHeaderAlone) {
  Create();
  const std::string tenMegabytes = std::string(kDescription) + [] {
    std::string rows;
    while (rows.size() < (10u << 20)) rows += "A,B,3P,1,1,1,1\n";
    return rows;
  }();
  std::string wide = "[SaleData]\nSaleData[SALE:S";
  for (int c = 1; c < 2000; ++c) wide += ",C" + std::to_string(c) + ":S";
  wide += "]\ntitles\nA\n";
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7);
  const std::string importProblem = "There was a problem importing sales.csv";
  struct Case {
    const char* name;
    std::optional<std::string> file;
    std::string text;
    bool error;
    bool replacesRows;  // an import that worked empties SaleData's old rows
  };
  const Case cases[] = {
      {"missing", std::nullopt, "sales.csv not found in " + folder_.path(), false, false},
      {"empty", "", importProblem, true, false},
      {"binary", binary, importProblem, true, false},
      {"10 MB", tenMegabytes, importProblem, true, false},
      {"2000 columns", wide, importProblem, true, false},
      {"other structure", "[SaleData]\nSaleData[SALE:S,X:I]\nt\nA,1\n", importProblem, true, false},
      {"no SALE column", "[SaleData]\nSaleData[NAME:S,CFSAWCU:F]\nt\nA,1\n",
       "There was a problem with the format of sales.csv", true, false},
      {"no records", std::string(kDescription), "Your sales.csv file has no records", true, true},
      {"no sale names", std::string(kDescription) + ",x,3P,1,1,1,1\n",
       "Your sales.csv file contains no sale names", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSales(kSales);
    { EXPECT_EQ(LoadInfoScreen(app_, ui_).Open(), LoadInfoOpen::kOpened); }
    const std::vector<std::string> header = Header();
    const size_t before = ui_.messages().size();
    if (c.file) {
      WriteSales(*c.file);
    } else {
      ASSERT_EQ(fs_.Delete(folder_ / kSalesFileName), platform::FileResult::kOk);
    }
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    EXPECT_FALSE(screen.view().saleListAttached);
    EXPECT_FALSE(screen.grid().IsDropDown(screen.FieldRow("SALE"), kValueColumn));
    ASSERT_EQ(ui_.messages().size(), before + 1);
    const platform::Message& shown = ui_.messages().back();
    EXPECT_EQ(shown.text, c.text);
    EXPECT_EQ(shown.caption, c.error ? "Error" : "Warning");
    EXPECT_EQ(shown.icon, c.error ? platform::Icon::kStop : platform::Icon::kExclamation);
    screen.OnClose();
    EXPECT_EQ(Header(), header);
    const std::vector<std::string> kept = {"Cedar Ridge", "Elk Meadow", "", "Elk Meadow"};
    if (!c.replacesRows) {
      EXPECT_EQ(SaleData(), kept);
    }
  }
}

TEST_F(SalesImportTest, WithoutASaleRowTheListIsNotImported) {
  Create();
  WriteSales(kSales);
  grid::CellGrid grid;
  EXPECT_EQ(SalesImport(app_, ui_).Import(grid, -1, "", ""), kNoSaleList);
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "There is a sales.csv in Varnolde's directory, but SALE is not turned on");
  EXPECT_EQ(ui_.messages()[0].caption, "Warning");
  EXPECT_EQ(SaleData(), std::nullopt);
}

TEST_F(SalesImportTest, RecordedLogsSkipTheImportWithoutReadingOrShowingAnything) {
  for (app::FileType type : {app::FileType::kProduction, app::FileType::kNonScale}) {
    SCOPED_TRACE(app::FileTypeText(type));
    Create(type, std::string(app::FileTypeText(type)) + ".scl");
    WriteSales(kSales);
    const int log = app_.slots().log;
    ASSERT_GE(store().AddRow(log, -1), 0);  // a log of the empty sale and LLR
    const size_t before = ui_.messages().size();
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    const bool skipped = type != app::FileType::kNonScale;
    EXPECT_EQ(screen.view().logsRecorded, skipped);
    EXPECT_EQ(screen.view().saleListAttached, !skipped);
    EXPECT_EQ(ui_.messages().size(), before);
    EXPECT_EQ(SaleData().has_value(), !skipped);
  }
}

TEST_F(SalesImportTest, ChoosingASaleFillsTheHeaderFromItsFirstRow) {
  Create();
  WriteSales(kSales);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  screen.grid().SetText(screen.FieldRow("PURCH"), kValueColumn, "kept");
  Choose(screen, "elk meadow ");
  EXPECT_EQ(Value(screen, "CONTRACT"), "EM-11");
  EXPECT_EQ(Value(screen, "ST"), "3P");
  EXPECT_EQ(Value(screen, "CFSAWCU"), " 0.80");
  EXPECT_EQ(Value(screen, "CFNONSAWCU"), " 0.50");
  EXPECT_EQ(Value(screen, "MINLEN"), " 8.0");
  EXPECT_EQ(Value(screen, "MAXLEN"), "40.0");
  EXPECT_EQ(Value(screen, "PURCH"), "kept");  // not a column of this list
  EXPECT_EQ(Value(screen, "LLR"), "");        // "load" is no six-digit name
  Choose(screen, "No Such Sale");
  EXPECT_EQ(Value(screen, "CONTRACT"), "EM-11");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(SalesImportTest, ACheckScaleTakesSampleTypeOneHundred) {
  Create(app::FileType::kCheckScale);
  WriteSales(kSales);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  Choose(screen, "Cedar Ridge");
  EXPECT_EQ(Value(screen, "ST"), "100");
  EXPECT_EQ(Value(screen, "CFSAWCU"), "10.67");
}

TEST_F(SalesImportTest, AnEmptyLlrTakesASixDigitFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"123456.scl", "123456"}, {"12345.scl", ""}, {"1234567.scl", ""}, {"12345a.scl", ""}};
  WriteSales(kSales);
  for (const auto& [file, llr] : cases) {
    SCOPED_TRACE(file);
    Create(app::FileType::kProduction, file);
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    Choose(screen, "Cedar Ridge");
    EXPECT_EQ(Value(screen, "LLR"), llr);
  }
  Create(app::FileType::kProduction, "654321.scl");
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  screen.grid().SetText(screen.FieldRow("LLR"), kValueColumn, "77");
  Choose(screen, "Cedar Ridge");
  EXPECT_EQ(Value(screen, "LLR"), "77");
}

}  // namespace
}  // namespace loadinfo
