#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "tablestore/import_reader.h"
#include "tablestore/table_store.h"
#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::OpenCopyOf;
using testing::Rows;
using testing::TempPath;

constexpr char kSales[] = "/prog/sales.csv";

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("import.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    store_.SetJournalSource(&clock_, "Scaler 7");
    store_.SetFileSystem(&files_);
  }

  int Import(const std::string& text, int replace = 2, int mode = 1) {
    files_.SetFile(kSales, text);
    return store_.ImportView(mode, kSales, "SaleData", replace);
  }

  std::vector<std::string> Table(const std::string& name = "SaleData") {
    const int s = store_.OpenAView(name, false);
    std::vector<std::string> rows = Rows(store_, s);
    store_.ReleaseView(s);
    return rows;
  }

  // The Msg and Level of every journal entry.
  std::vector<std::string> Problems() {
    const int s = store_.Select("MessageLog", "Msg,Level", "", "", "", "");
    std::vector<std::string> rows = s >= 0 ? Rows(store_, s) : std::vector<std::string>{};
    store_.ReleaseView(s);
    store_.ReleaseViewByName("MessageLog");
    return rows;
  }

  std::string path_;
  platform::FixedClock clock_;
  platform::MemFileSystem files_;
  TableStore store_;
};

constexpr char kSaleFile[] =
    "Sale list exported 2010-11-05,,,\n"
    "[SaleData],,,\n"
    "SaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I],,,\n"
    "Sale,LLR,Factor,Min length\n"
    "Ridge 7,123456,0.8,8\n"
    "Creek^North,000001,1.25,10\n";

// ---- Reading the file --------------------------------------------------------------------

TEST_F(ImportTest, ImportsIntoAMissingTableCreatedFromTheDescription) {
  EXPECT_EQ(Import(kSaleFile), 0);
  const int s = store_.OpenAView("SaleData", false);
  EXPECT_EQ(store_.SlotDescription(s), "SaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I]");
  EXPECT_EQ(Rows(store_, s),
            (std::vector<std::string>{"Ridge 7|123456|0.8|8", "Creek,North|000001|1.25|10"}));
  EXPECT_EQ(Problems(), std::vector<std::string>{});
}

TEST_F(ImportTest, StopsAtTheNextSectionAndSkipsEmptyLines) {
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S]\ntitle\n\nA\n\r\nB\n[Other]\nC\n"), 0);
  EXPECT_EQ(Table(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(ImportTest, TheSectionLineMayNameTheTableAnywhere) {
  EXPECT_EQ(Import("[x]\nignored\n[Table SaleData, 2010]\nSaleData[SALE:S]\nt\nA\n"), 0);
  EXPECT_EQ(Table(), std::vector<std::string>{"A"});
}

TEST_F(ImportTest, ShortLinesLeaveEmptyValuesAndExtraValuesAreIgnored) {
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:S,MINLEN:I]\nt\nA\nB,2,3,4,5\n , x ,\n"), 0);
  EXPECT_EQ(Table(), (std::vector<std::string>{"A||0", "B|2|3", "|x|0"}));
}

TEST_F(ImportTest, ASpreadsheetsByteOrderMarkHidesNoSection) {
  EXPECT_EQ(Import("\xEF\xBB\xBF[SaleData]\r\nSaleData[SALE:S]\r\nt\r\nA\r\n"), 0);
  EXPECT_EQ(Table(), std::vector<std::string>{"A"});
}

TEST_F(ImportTest, LineEndsWithCarriageReturnsAndNoFinalLineBreak) {
  EXPECT_EQ(Import("[SaleData]\r\nSaleData[SALE:S,LLR:S]\r\nt\r\nA,1\r\nB,2"), 0);
  EXPECT_EQ(Table(), (std::vector<std::string>{"A|1", "B|2"}));
}

TEST_F(ImportTest, EightBitTextIsKept) {
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S]\nt\nM\xfchle \x80 \x81\n"), 0);
  EXPECT_EQ(Table(), std::vector<std::string>{"Mühle € \u0081"});
}

TEST_F(ImportTest, ModeTwoTakesEveryLineAfterTheFirst) {
  ASSERT_EQ(store_.DefineTable("SaleData[SALE:S,LLR:S]"), 0);
  EXPECT_EQ(Import("SALE,LLR\nA,1\n[B],2\n", 2, 2), 0);
  EXPECT_EQ(Table(), (std::vector<std::string>{"A|1", "[B]|2"}));
}

// ---- Replacing and appending -------------------------------------------------------------

TEST_F(ImportTest, ReplaceTwoLeavesOnlyTheImportedRows) {
  ASSERT_EQ(Import(kSaleFile), 0);
  ASSERT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I]\nt\nNew,1,2,3\n"), 0);
  EXPECT_EQ(Table(), std::vector<std::string>{"New|1|2|3"});
}

TEST_F(ImportTest, OtherReplaceValuesAppend) {
  ASSERT_EQ(Import(kSaleFile), 0);
  ASSERT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I]\nt\nNew,1,2,3\n", 1), 0);
  EXPECT_EQ(Table().size(), 3u);
}

// ---- Structure ---------------------------------------------------------------------------

TEST_F(ImportTest, AnotherLetterCaseOfTheDescriptionIsAccepted) {
  ASSERT_EQ(store_.DefineTable("SaleData[SALE:S,LLR:S]"), 0);
  EXPECT_EQ(Import("[SaleData]\nsaledata[sale:s,Llr:S],,\nt\nA,1\n"), 0);
  EXPECT_EQ(Table(), std::vector<std::string>{"A|1"});
}

TEST_F(ImportTest, AnotherColumnSetIsRefusedAndLogged) {
  ASSERT_EQ(store_.DefineTable("SaleData[SALE:S,LLR:S]"), 0);
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:S,MINLEN:I]\nt\nA,1,2\n"), -1);
  EXPECT_EQ(Table(), std::vector<std::string>{});
  EXPECT_EQ(Problems(), std::vector<std::string>{"Different structure for import|W"});
  EXPECT_EQ(Import("[SaleData]\nSaleData[LLR:S,SALE:S]\nt\nA,1\n"), -1);
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:I]\nt\nA,1\n"), -1);
}

TEST_F(ImportTest, ABadDescriptionForAMissingTableIsRefused) {
  for (const char* desc : {"garbage", "SaleData", "Other[SALE:S]", "SaleData[SALE:S", "SaleData[]",
                           "SaleData[a:S,sub[x:I]]", "SaleData[SALE:Q]", ""}) {
    EXPECT_EQ(Import(std::string("[SaleData]\n") + desc + "\nt\nA\n"), -1) << desc;
    EXPECT_EQ(store_.TableExists("SaleData"), -1) << desc;
    EXPECT_EQ(store_.TableExists("Other"), -1) << desc;
  }
}

TEST_F(ImportTest, ADerivedViewOfTheTableNameIsNotImportedInto) {
  ASSERT_EQ(Import(kSaleFile), 0);
  const int sel = store_.Select("SaleData", "SALE", "", "", "SaleData", "");
  ASSERT_GE(sel, 0);
  EXPECT_EQ(Import(kSaleFile, 1), -1);
  store_.ReleaseView(sel);
  EXPECT_EQ(Table().size(), 2u);
}

// ---- Problems ----------------------------------------------------------------------------

TEST_F(ImportTest, MissingFile) {
  EXPECT_EQ(store_.ImportView(1, "/prog/none.csv", "SaleData", 2), -1);
  EXPECT_EQ(Problems(), std::vector<std::string>{"Can not open import file /prog/none.csv|W"});
}

TEST_F(ImportTest, AFileTooLargeToReadIsRefused) {
  std::string huge = "[SaleData]\nSaleData[SALE:S]\nt\n";
  huge.resize((32u << 20) + 1, 'x');
  EXPECT_EQ(Import(huge), -1);
  EXPECT_EQ(Problems(), std::vector<std::string>{"Can not open import file /prog/sales.csv|W"});
  EXPECT_EQ(store_.TableExists("SaleData"), -1);
}

// A small file of short lines must not grow into millions of stored values:
// 1025 lines into 1024 columns, or 2^18 + 1 lines into four columns, is more
// than the 2^20 values an import may write. Nothing is created or replaced.
TEST_F(ImportTest, AFileThatWouldWriteTooManyValuesIsRefused) {
  std::string desc = "SaleData[";
  for (int c = 0; c < 1024; ++c) desc += (c > 0 ? ",C" : "C") + std::to_string(c) + ":S";
  std::string wide = "[SaleData]\n" + desc + "]\nt\n";
  for (int r = 0; r < 1025; ++r) wide += "a\n";
  EXPECT_EQ(Import(wide), -1);
  EXPECT_EQ(store_.TableExists("SaleData"), -1);

  ASSERT_EQ(Import(kSaleFile), 0);
  std::string tall = "[SaleData]\nSaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I]\nt\n";
  for (int r = 0; r < (1 << 18) + 1; ++r) tall += "a\n";
  EXPECT_EQ(Import(tall), -1);
  EXPECT_EQ(Table(), (std::vector<std::string>{"Ridge 7|123456|0.8|8",
                                               "Creek,North|000001|1.25|10"}));
  EXPECT_EQ(Problems(), (std::vector<std::string>{"Can not open import file /prog/sales.csv|W",
                                                  "Can not open import file /prog/sales.csv|W"}));
}

TEST_F(ImportTest, NulBytesAndControlCharactersAreJustBytes) {
  EXPECT_EQ(Import(std::string("[SaleData]\nSaleData[SALE:S,N:I]\nt\na\0b,\x01\x7f"
                               "9\n",
                               42)),
            0);
  EXPECT_EQ(Table().size(), 1u);
}

TEST_F(ImportTest, EmptyFileAndFileWithoutTheSection) {
  EXPECT_EQ(Import(""), -1);
  EXPECT_EQ(Import("[Other]\nOther[a:S]\nt\nx\n"), -1);
  EXPECT_EQ(Problems(), (std::vector<std::string>{"Can not find table SaleData|W",
                                                  "Can not find table SaleData|W"}));
}

TEST_F(ImportTest, ModeTwoNeedsAnExistingTable) {
  EXPECT_EQ(Import("SALE\nA\n", 2, 2), -1);
  EXPECT_EQ(Problems(), std::vector<std::string>{"Can not find table SaleData|W"});
}

TEST_F(ImportTest, ProblemEntriesCarryTheDeviceAndProgram) {
  Import("");
  const int s = store_.OpenAView("MessageLog", false);
  EXPECT_EQ(Rows(store_, s),
            std::vector<std::string>{
                "|Can not find table SaleData|11/05/2010|00:00|W|Scaler 7|Varnolde"});
}

TEST_F(ImportTest, NoFileOpen) {
  TableStore closed;
  closed.SetFileSystem(&files_);
  files_.SetFile(kSales, kSaleFile);
  EXPECT_EQ(closed.ImportView(1, kSales, "SaleData", 2), -2);
}

TEST_F(ImportTest, AVeryLongLine) {
  std::string big(1 << 20, 'x');
  big[1000] = ',';
  EXPECT_EQ(Import("[SaleData]\nSaleData[SALE:S,LLR:S]\nt\n" + big + "\n"), 0);
  const int s = store_.OpenAView("SaleData", false);
  std::string v;
  store_.GetText(s, 0, 1, v);
  EXPECT_EQ(v.size(), (1u << 20) - 1001);
}

TEST_F(ImportTest, ReadsARealFileThroughTheDefaultFileSystem) {
  TableStore store;
  ASSERT_EQ(store.Open(TempPath("real.scl"), false), 0);
  const std::string csv = TempPath("sales.csv");
  testing::WriteFile(csv, "[SaleData]\nSaleData[SALE:S]\nt\nA");
  EXPECT_EQ(store.ImportView(1, csv, "SaleData", 2), 0);
  EXPECT_EQ(store.RowCount(store.OpenAView("SaleData", false)), 1);
}

TEST_F(ImportTest, TheImportIsOnDiskAfterReopening) {
  TableStore store;
  ASSERT_EQ(store.Open(path_, true), 0);
  store.SetFileSystem(&files_);
  files_.SetFile(kSales, kSaleFile);
  ASSERT_EQ(store.ImportView(1, kSales, "SaleData", 2), 0);
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path_), 0);
  EXPECT_EQ(reader.RowCount(reader.OpenAView("SaleData", false)), 2);
}

// ---- The line reader ----------------------------------------------------------------------

TEST(ImportLinesTest, SplitsAtLineFeedsAndDropsCarriageReturns) {
  ImportLines lines("a\r\n\nb\rc\nlast");
  std::string line;
  std::vector<std::string> got;
  while (lines.Next(line)) got.push_back(line);
  EXPECT_EQ(got, (std::vector<std::string>{"a", "", "bc", "last"}));
  EXPECT_FALSE(lines.Next(line));
  EXPECT_EQ(line, "");
}

TEST(ImportLinesTest, ALeadingByteOrderMarkIsDropped) {
  std::string line;
  ImportLines marked("\xEF\xBB\xBF[SaleData]\nx");
  EXPECT_TRUE(marked.Next(line));
  EXPECT_EQ(line, "[SaleData]");
  // Only at the start, and only the whole mark.
  ImportLines inner(
      "a\n\xEF\xBB\xBF"
      "b");
  EXPECT_TRUE(inner.Next(line));
  EXPECT_TRUE(inner.Next(line));
  EXPECT_EQ(line,
            "\xEF\xBB\xBF"
            "b");
  ImportLines partial("\xEF\xBB[");
  EXPECT_TRUE(partial.Next(line));
  EXPECT_EQ(line, "\xEF\xBB[");
}

TEST(ImportLinesTest, AFinalLineBreakStartsNoLine) {
  ImportLines lines("a\n");
  std::string line;
  EXPECT_TRUE(lines.Next(line));
  EXPECT_FALSE(lines.Next(line));
  ImportLines empty("");
  EXPECT_FALSE(empty.Next(line));
}

TEST(ImportLinesTest, DescriptionIsCutAfterItsFirstBracket) {
  EXPECT_EQ(CutDescription("SaleData[SALE:S],,,"), "SaleData[SALE:S]");
  EXPECT_EQ(CutDescription("a[b[c]]"), "a[b[c]");
  EXPECT_EQ(CutDescription("none"), "none");
}

TEST(ImportLinesTest, DataLineValues) {
  EXPECT_EQ(SplitDataLine(" a ,b^c,,d", 5), (std::vector<std::string>{"a", "b,c", "", "d", ""}));
  EXPECT_EQ(SplitDataLine("a,b,c", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitDataLine("a", 0), std::vector<std::string>{});
  EXPECT_EQ(SplitDataLine("^^", 1), std::vector<std::string>{",,"});
}

TEST(ImportLinesTest, DataLineValuesAtTheEdges) {
  EXPECT_EQ(SplitDataLine("a,", 3), (std::vector<std::string>{"a", "", ""}));
  EXPECT_EQ(SplitDataLine("", 2), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitDataLine(",,", 2), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitDataLine(" , x ", 2), (std::vector<std::string>{"", "x"}));
  // The last of many columns, after a long run of empty values.
  const std::string line = std::string(1023, ',') + " " + std::string(1 << 16, 'x');
  const std::vector<std::string> values = SplitDataLine(line, 1024);
  EXPECT_EQ(values[1022], "");
  EXPECT_EQ(values[1023], std::string(1 << 16, 'x'));
}

}  // namespace
}  // namespace tablestore
