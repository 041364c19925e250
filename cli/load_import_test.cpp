#include "cli/load_import.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace cli {
namespace {

using tablestore::TableStore;

constexpr char kDictionary[] =
    "DataDictionary[TableName:S,ColumnName:S,IsUsed:S,Length:I,DefaultValue:S,Order1:I]";

// A scale file with Load, Log and KZ tables (no Seg, DefC or DefB), Log
// defaults from its DataDictionary, and one Load row without SALE and LLR as
// a newly created file has.
class LoadImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "/cli_load_import_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".scl";
    std::remove(path_.c_str());
    ASSERT_EQ(store.Open(path_, false), 0);
    ASSERT_EQ(store.DefineTable(kDictionary), 0);
    ASSERT_EQ(store.DefineTable("Load[SALE:S,LLR:S,ST:S,MAXLEN:I]"), 0);
    ASSERT_EQ(store.DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,LN:I,HIT:I,VOID:I,REM:S]"), 0);
    ASSERT_EQ(store.DefineTable("KZ[SP:S,P:I,KZ:I]"), 0);
    Append("DataDictionary", {"Log", "SALE", "Y", "20", "C", "1"});
    Append("DataDictionary", {"Log", "LOG", "Y", "4", "I1", "3"});
    Append("DataDictionary", {"Log", "S", "Y", "1", "V1", "4"});
    Append("DataDictionary", {"Log", "HIT", "Y", "2", "V-1", "7"});
    Append("DataDictionary", {"Log", "VOID", "Y", "1", "V0", "8"});
    Append("DataDictionary", {"Load", "ST", "Y", "3", "V100", "3"});
    Append("Load", {"", "", "100", "66"});
  }
  void TearDown() override {
    store.Close();
    std::remove(path_.c_str());
  }

  void Append(const std::string& table, const std::vector<std::string>& values) {
    const int slot = store.OpenAView(table, false);
    ASSERT_GE(slot, 0) << table;
    const int row = store.AddRow(slot, -1);
    for (size_t c = 0; c < values.size(); ++c) {
      store.SetText(slot, row, static_cast<int>(c), values[c]);
    }
    store.ReleaseView(slot);
  }

  // Every row of `table`, values joined by "|".
  std::vector<std::string> Rows(const std::string& table) {
    std::vector<std::string> rows;
    const int slot = store.OpenAView(table, false);
    for (int r = 0; r < store.RowCount(slot); ++r) {
      std::string row, value;
      for (int c = 0; c < store.ColumnCount(slot); ++c) {
        store.GetText(slot, r, c, value);
        row += (c ? "|" : "") + value;
      }
      rows.push_back(row);
    }
    store.ReleaseView(slot);
    return rows;
  }

  int Import(const std::string& text) {
    summary = ImportSummary();
    return ImportLoadText(store, text, options, &summary);
  }

  TableStore store;
  ImportOptions options;
  ImportSummary summary;
  std::string path_;
};

TEST_F(LoadImportTest, RowsTakeDefaultsForColumnsLeftOutOrEmpty) {
  ASSERT_EQ(Import("[Log]\nLog[SALE:S,LLR:S,LOG:I,SP:S,LN:I,HIT:I]\ntitles\n"
                   "Alpha,1234,1,DF,32,1\n"
                   ",,,WH,16,\n"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("Log"),
            (std::vector<std::string>{"Alpha|1234|1|1|DF|32|1|0|", "Alpha||2|1|WH|16|-1|0|"}));
  ASSERT_EQ(summary.rows.size(), 1u);
  EXPECT_EQ(summary.rows[0], (std::pair<std::string, int>("Log", 2)));
}

TEST_F(LoadImportTest, ColumnsMayComeInAnyOrderAndLetterCase) {
  ASSERT_EQ(Import("[Log]\nlog[rem:S,Log:I,sp:S]\nx\nsplit^ long,7,RC\n"), 0) << summary.error;
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"||7|1|RC|0|-1|0|split, long"}));
}

TEST_F(LoadImportTest, FirstLoadRowFillsTheRowWithoutKey) {
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S,ST:S]\nt\nAlpha,1234,3P\nAlpha,1235,\n"), 0)
      << summary.error;
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"Alpha|1234|3P|66", "Alpha|1235|100|0"}));
}

TEST_F(LoadImportTest, SeveralSectionsAndTextBeforeThem) {
  ASSERT_EQ(Import("A demo load.\r\n\r\n[KZ]\r\nKZ[SP:S,P:I,KZ:I],,,\r\nSP,P,KZ\r\nDF,1,60\r\n"
                   "[Log]\r\nLog[LOG:I]\r\nLOG\r\n5\r\n\r\n6"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("KZ"), (std::vector<std::string>{"DF|1|60"}));
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"||5|1||0|-1|0|", "||6|1||0|-1|0|"}));
  EXPECT_EQ(summary.rows, (std::vector<std::pair<std::string, int>>{{"Log", 2}, {"KZ", 1}}));
}

TEST_F(LoadImportTest, EightBitTextIsConvertedOnce) {
  ASSERT_EQ(Import("[Log]\nLog[REM:S]\nt\nBl\xe9 \x80\n"), 0) << summary.error;
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"||0|1||0|-1|0|Bl\xc3\xa9 \xe2\x82\xac"}));
}

TEST_F(LoadImportTest, UnknownColumnRefusesWholeFile) {
  EXPECT_EQ(Import("[Load]\nLoad[SALE:S]\nt\nAlpha\n[Log]\nLog[LOG:I,GRADE:I]\nt\n1,2\n"), -1);
  EXPECT_EQ(summary.error, "Log: the file's column GRADE is not in the scale file's table");
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"||100|66"}));
  EXPECT_TRUE(Rows("Log").empty());
}

TEST_F(LoadImportTest, MissingTableRefusesWholeFile) {
  EXPECT_EQ(Import("[Log]\nLog[LOG:I]\nt\n1\n[DefC]\nDefC[LOG:I]\nt\n1\n"), -1);
  EXPECT_EQ(summary.error, "the scale file has no table DefC");
  EXPECT_TRUE(Rows("Log").empty());
}

TEST_F(LoadImportTest, SectionOfAnotherTableIsRefused) {
  EXPECT_EQ(Import("[Tapers]\nTapers[SP:S]\nt\nDF\n"), -1);
  EXPECT_EQ(summary.error,
            "line 1: section [Tapers] names none of the tables Load, Log, Seg, DefC, DefB, KZ");
}

TEST_F(LoadImportTest, DescriptionOfAnotherTableIsRefused) {
  EXPECT_EQ(Import("[Log]\nSeg[LOG:I]\nt\n1\n"), -1);
  EXPECT_EQ(summary.error,
            "line 2: section [Log]: the line after it must describe Log as Log[COLUMN:TYPE,...]");
  EXPECT_EQ(Import("[Log]"), -1);
}

TEST_F(LoadImportTest, FileWithoutSectionsIsRefused) {
  EXPECT_EQ(Import("LOG\n1\n2\n"), -1);
  EXPECT_EQ(summary.error, "no section of the tables Load, Log, Seg, DefC, DefB, KZ in the file");
  EXPECT_EQ(Import(""), -1);
}

TEST_F(LoadImportTest, ExtraValuesAreIgnoredAndMissingOnesKeepDefaults) {
  ASSERT_EQ(Import("[Log]\nLog[LOG:I,SP:S]\nt\n3,DF,x,y\n4\n"), 0) << summary.error;
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"||3|1|DF|0|-1|0|", "||4|1||0|-1|0|"}));
}

TEST_F(LoadImportTest, RowsAreCommitted) {
  ASSERT_EQ(Import("[Log]\nLog[LOG:I]\nt\n9\n"), 0);
  store.Close();
  ASSERT_EQ(store.Open(path_, false), 0);
  EXPECT_EQ(Rows("Log").size(), 1u);
}

TEST_F(LoadImportTest, ValueAColumnCannotHoldRefusesWithItsLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"[Log]\nLog[LOG:I,LN:I]\nt\n1,16\n2,4x4\n",
       "line 5: Log column LN: \"4x4\" is not a whole number"},
      {"[Log]\nLog[LN:I]\nt\nthirty\n", "line 4: Log column LN: \"thirty\" is not a whole number"},
      {"[Log]\nLog[LN:I]\nt\n4294967328\n",
       "line 4: Log column LN: \"4294967328\" is out of range"},
      {"\n[KZ]\nKZ[KZ:I]\nt\n\n12.5\n", "line 6: KZ column KZ: \"12.5\" is not a whole number"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Import(c.text), -1) << c.text;
    EXPECT_EQ(summary.error, c.error);
  }
  EXPECT_TRUE(Rows("Log").empty());
  ASSERT_EQ(store.DefineTable("Seg[SALE:S,LLR:S,LOG:I,S:S,LN:I,GCV:F,V:D]"), 0);
  EXPECT_EQ(Import("[Seg]\nSeg[LOG:I,GCV:F]\nt\n1,1e39\n"), -1);
  EXPECT_EQ(summary.error, "line 4: Seg column GCV: \"1e39\" is out of range");
}

// The caller drops what a refused import wrote (the store is not committed).
TEST_F(LoadImportTest, SegmentsOfNoLogOrOfNegativeLengthAreErrors) {
  ASSERT_EQ(store.DefineTable("Seg[SALE:S,LLR:S,LOG:I,S:S,LN:I,GCV:F,V:D]"), 0);
  EXPECT_EQ(Import("[Log]\nLog[LOG:I]\nt\n1\n[Seg]\nSeg[LOG:I,S:S,LN:I,GCV:F,V:D]\nt\n"
                   "1,1,-3,-2.5,1e300\n2,1,5,0,0\n"),
            -1);
  EXPECT_EQ(summary.error, "the log and defect checks found 2 errors; nothing was imported");
  EXPECT_EQ(summary.errors, (std::vector<std::string>{
                                "line 8: Seg row of Log 1: LN of -3 is negative",
                                "line 9: Seg row of Log 2: no such log (SALE  LLR  split 1)"}));
}

TEST_F(LoadImportTest, LoadTheFileHoldsIsRefusedOrReplaced) {
  const std::string load = "[Load]\nLoad[SALE:S,LLR:S,ST:S]\nt\nAlpha,1234,3P\n";
  ASSERT_EQ(Import(load + "[Log]\nLog[SALE:S,LLR:S,LOG:I]\nt\nAlpha,1234,1\nAlpha,1234,2\n"), 0);
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nBeta,9\n[Log]\nLog[SALE:S,LLR:S,LOG:I]\nt\n"
                   "Beta,9,1\n"),
            0);
  const std::vector<std::string> before = Rows("Log");
  EXPECT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nALPHA,1234\n"), -1);
  EXPECT_EQ(summary.error,
            "line 4: the file already holds the load SALE ALPHA LLR 1234; nothing was imported "
            "(--replace replaces it)");
  EXPECT_EQ(Rows("Log"), before);

  options.replace = true;
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S,ST:S]\nt\nAlpha,1234,100\n[Log]\n"
                   "Log[SALE:S,LLR:S,LOG:I]\nt\nAlpha,1234,7\n"),
            0)
      << summary.error;
  EXPECT_EQ(summary.replaced, std::vector<std::string>{"SALE Alpha LLR 1234"});
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"Alpha|1234|100|66", "Beta|9|100|0"}));
  EXPECT_EQ(Rows("Log"),
            (std::vector<std::string>{"Beta|9|1|1||0|-1|0|", "Alpha|1234|7|1||0|-1|0|"}));
}

TEST_F(LoadImportTest, SaleOrLlrWithACommaAndLoadTwiceInTheTextAreRefused) {
  EXPECT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nCreek^North,1\n"), -1);
  EXPECT_EQ(summary.error,
            "line 4: SALE \"Creek,North\" has a comma (\"^\" in the text): SALE can't have commas");
  EXPECT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nA,1\na,1\n"), -1);
  EXPECT_EQ(summary.error, "line 5: the text holds the load SALE a LLR 1 twice");
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"||100|66"}));
}

TEST_F(LoadImportTest, SetupFileTakesOnlyKz) {
  options.setupFile = true;
  EXPECT_EQ(Import("[Log]\nLog[LOG:I]\nt\n1\n"), -1);
  EXPECT_NE(summary.error.find("a setup file takes no load data"), std::string::npos);
  EXPECT_TRUE(Rows("Log").empty());
  EXPECT_EQ(Import("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nDF,1,60\n"), 0);
  EXPECT_EQ(Rows("KZ"), (std::vector<std::string>{"DF|1|60"}));
}

TEST_F(LoadImportTest, Utf8AndWindows1252TextsStoreTheSameNames) {
  ASSERT_EQ(Import("[Log]\nLog[REM:S]\nt\nJos\xc3\xa9 \xc3\x91\xc3\xba\xc3\xb1"
                   "ez\n"),
            0);
  EXPECT_EQ(summary.encoding, "UTF-8");
  ASSERT_EQ(Import("[Log]\nLog[REM:S]\nt\nJos\xe9 \xd1\xfa\xf1"
                   "ez\n"),
            0);
  EXPECT_EQ(summary.encoding, "Windows-1252");
  const std::vector<std::string> rows = Rows("Log");
  ASSERT_EQ(rows.size(), 2u);
  const std::string rem =
      "|Jos\xc3\xa9 \xc3\x91\xc3\xba\xc3\xb1"
      "ez";
  for (const std::string& row : rows) EXPECT_EQ(row.substr(row.rfind('|')), rem);
}

TEST_F(LoadImportTest, NoFileOpen) {
  TableStore closed;
  ImportSummary s;
  EXPECT_EQ(ImportLoadText(closed, "[Log]\nLog[LOG:I]\nt\n1\n", {}, &s), -2);
}

}  // namespace
}  // namespace cli
