#include "app/load_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace app {
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
    path_ = ::testing::TempDir() + "/app_load_import_" +
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
    Append("KZ", {"", "0", "60"});
    ASSERT_EQ(store.Commit(), 0);
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

  // The file's bytes as committed.
  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // Refuses `text` with `error`; the store, closed without a commit as the
  // command closes it, leaves the file byte for byte as it was. Reopens it.
  void ExpectRefused(const std::string& text, const std::string& error) {
    const std::string before = FileBytes();
    EXPECT_EQ(Import(text), -1) << text;
    EXPECT_EQ(summary.error, error) << text;
    ASSERT_EQ(store.Close(), 0);
    EXPECT_EQ(FileBytes(), before) << text;
    ASSERT_EQ(store.Open(path_, false), 0);
  }

  TableStore store;
  ImportOptions options;
  ImportSummary summary;
  std::string path_;
};

// The load Alpha 1234.
constexpr char kAlpha[] = "[Load]\nLoad[SALE:S,LLR:S]\nt\nAlpha,1234\n";

TEST_F(LoadImportTest, RowsTakeDefaultsForColumnsLeftOutOrEmpty) {
  ASSERT_EQ(Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,LOG:I,SP:S,LN:I,HIT:I]\ntitles\n"
                                         "Alpha,1234,1,DF,32,1\n"
                                         ",1234,,WH,16,\n"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("Log"),
            (std::vector<std::string>{"Alpha|1234|1|1|DF|32|1|0|", "Alpha|1234|2|1|WH|16|-1|0|"}));
  EXPECT_EQ(summary.rows, (std::vector<std::pair<std::string, int>>{{"Load", 1}, {"Log", 2}}));
}

TEST_F(LoadImportTest, ColumnsMayComeInAnyOrderAndLetterCase) {
  ASSERT_EQ(Import(std::string(kAlpha) +
                   "[Log]\nlog[rem:S,Log:I,sp:S,llr:S,Sale:S]\nx\nsplit^ long,7,RC,1234,Alpha\n"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"Alpha|1234|7|1|RC|0|-1|0|split, long"}));
}

TEST_F(LoadImportTest, FirstLoadRowFillsTheRowWithoutKey) {
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S,ST:S]\nt\nAlpha,1234,3P\nAlpha,1235,\n"), 0)
      << summary.error;
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"Alpha|1234|3P|66", "Alpha|1235|100|0"}));
}

TEST_F(LoadImportTest, SeveralSectionsAndTextBeforeThem) {
  ASSERT_EQ(Import("A demo load.\r\n\r\n[KZ]\r\nKZ[SP:S,P:I,KZ:I],,,\r\nSP,P,KZ\r\nDF,1,60\r\n"
                   "[Log]\r\nLog[SALE:S,LLR:S,LOG:I]\r\nLOG\r\nA,1,5\r\n\r\nA,1,6\r\n"
                   "[Load]\r\nLoad[SALE:S,LLR:S]\r\nt\r\nA,1"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("KZ"), (std::vector<std::string>{"|0|60", "DF|1|60"}));
  EXPECT_EQ(Rows("Log"), (std::vector<std::string>{"A|1|5|1||0|-1|0|", "A|1|6|1||0|-1|0|"}));
  EXPECT_EQ(summary.rows,
            (std::vector<std::pair<std::string, int>>{{"Load", 1}, {"Log", 2}, {"KZ", 1}}));
}

TEST_F(LoadImportTest, EightBitTextIsConvertedOnce) {
  ASSERT_EQ(
      Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,REM:S]\nt\nAlpha,1234,Bl\xe9 \x80\n"),
      0)
      << summary.error;
  EXPECT_EQ(Rows("Log"),
            (std::vector<std::string>{"Alpha|1234|0|1||0|-1|0|Bl\xc3\xa9 \xe2\x82\xac"}));
}

TEST_F(LoadImportTest, UnknownColumnRefusesWholeFile) {
  EXPECT_EQ(Import("[Load]\nLoad[SALE:S]\nt\nAlpha\n[Log]\nLog[LOG:I,GRADE:I]\nt\n1,2\n"), -1);
  EXPECT_EQ(summary.error, "line 6: Log: the file's column GRADE is not in the scale file's table");
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{"||100|66"}));
  EXPECT_TRUE(Rows("Log").empty());
}

TEST_F(LoadImportTest, MissingTableRefusesWholeFile) {
  EXPECT_EQ(Import("[Log]\nLog[LOG:I]\nt\n1\n[DefC]\nDefC[LOG:I]\nt\n1\n"), -1);
  EXPECT_EQ(summary.error, "line 5: the scale file has no table DefC");
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
  ASSERT_EQ(Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,LOG:I,SP:S]\nt\n"
                                         "Alpha,1234,3,DF,x,y\nAlpha,1234,4\n"),
            0)
      << summary.error;
  EXPECT_EQ(Rows("Log"),
            (std::vector<std::string>{"Alpha|1234|3|1|DF|0|-1|0|", "Alpha|1234|4|1||0|-1|0|"}));
}

// The caller commits the rows with its journal entry, in one commit.
TEST_F(LoadImportTest, RowsAreLeftForTheCallersCommit) {
  const std::string before = FileBytes();
  ASSERT_EQ(Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,LOG:I]\nt\nAlpha,1234,9\n"), 0);
  EXPECT_EQ(FileBytes(), before);
  ASSERT_EQ(store.LogProgramMessage("Imported 1 log from t.txt"), 0);
  ASSERT_EQ(store.Close(), 0);
  ASSERT_EQ(store.Open(path_, false), 0);
  EXPECT_EQ(Rows("Log").size(), 1u);
  EXPECT_EQ(Rows("MessageLog").size(), 1u);
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
  EXPECT_EQ(Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,LOG:I]\nt\nAlpha,1234,1\n"
                                         "[Seg]\nSeg[SALE:S,LLR:S,LOG:I,S:S,LN:I,GCV:F,V:D]\nt\n"
                                         "Alpha,1234,1,1,-3,-2.5,1e300\nAlpha,1234,2,1,5,0,0\n"),
            -1);
  EXPECT_EQ(summary.error, "the log and defect checks found 2 errors; nothing was imported");
  EXPECT_EQ(summary.errors,
            (std::vector<std::string>{
                "line 12: Seg row of Log 1: LN of -3 is negative",
                "line 13: Seg row of Log 2: no such log (SALE Alpha LLR 1234 split 1)"}));
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
  ExpectRefused("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nDF,1,60\n[Log]\nLog[LOG:I]\nt\n1\n",
                "line 5: a setup file takes no load data (every scale file made from it would "
                "inherit it); only KZ sections can be imported into it");
  EXPECT_EQ(Import("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nDF,1,60\n"), 0);
  EXPECT_EQ(Rows("KZ"), (std::vector<std::string>{"|0|60", "DF|1|60"}));
}

TEST_F(LoadImportTest, Utf8AndWindows1252TextsStoreTheSameNames) {
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nJos\xc3\xa9 \xc3\x91\xc3\xba\xc3\xb1"
                   "ez,1\n"),
            0);
  EXPECT_EQ(summary.encoding, "UTF-8");
  ASSERT_EQ(Import("[Load]\nLoad[SALE:S,LLR:S]\nt\nJos\xe9 \xd1\xfa\xf1"
                   "ez,2\n"),
            0);
  EXPECT_EQ(summary.encoding, "Windows-1252");
  const std::string sale =
      "Jos\xc3\xa9 \xc3\x91\xc3\xba\xc3\xb1"
      "ez";
  EXPECT_EQ(Rows("Load"), (std::vector<std::string>{sale + "|1|100|66", sale + "|2|100|0"}));
}

// Rows that would belong to no load of the text, or pile onto another load
// of the file, are refused with the line and the load they name; so are the
// texts whose titles line is missing (its first row would be lost), and a
// text with nothing to import.
TEST_F(LoadImportTest, RowsOutsideTheTextsLoadsAreRefused) {
  ASSERT_EQ(Import(std::string(kAlpha) + "[Log]\nLog[SALE:S,LLR:S,LOG:I]\nt\nAlpha,1234,1\n"), 0);
  ASSERT_EQ(store.LogProgramMessage("Imported"), 0);
  const std::string log = "[Log]\nLog[SALE:S,LLR:S,LOG:I,LN:I]\nt\n";
  const struct {
    std::string text;
    std::string error;
    std::vector<std::string> errors;
  } cases[] = {
      // A one-letter typo in the Load row's SALE.
      {"[Load]\nLoad[SALE:S,LLR:S]\nt\nAlpah,77\n" + log + "Alpha,77,1,16\nAlpha,77,2,16\n",
       "1 error: every Log, Seg, DefC and DefB row must belong to a Load row of the text; "
       "nothing was imported",
       {"line 8: Log 1 belongs to the load SALE Alpha LLR 77, which has no Load row in the text "
        "(nor do the 1 other Log rows of that load after it)"}},
      // No Load section: the logs would join the file's load Alpha 1234.
      {log + "Alpha,1234,2,16\n",
       "1 error: every Log, Seg, DefC and DefB row must belong to a Load row of the text; "
       "nothing was imported",
       {"line 4: Log 2 belongs to the load SALE Alpha LLR 1234, which has no Load row in the "
        "text"}},
      // SALE left out: copied from the file's last log, of another load.
      {"[Load]\nLoad[SALE:S,LLR:S]\nt\nBeta,9\n[Log]\nLog[LLR:S,LOG:I]\nt\n9,1\n",
       "1 error: every Log, Seg, DefC and DefB row must belong to a Load row of the text; "
       "nothing was imported",
       {"line 8: Log 1 belongs to the load SALE Alpha LLR 9, which has no Load row in the "
        "text"}},
      // The Load section's titles line is missing: its only row is read as titles.
      {"[Load]\nLoad[SALE:S,LLR:S]\nBeta,9\n" + log + "Beta,9,1,16\n",
       "line 1: section [Load] has no Load row (the line after its description is read as the "
       "column titles: is the titles line missing?)",
       {}},
      // The Log section's titles line is missing: its first log would be lost.
      {"[Load]\nLoad[SALE:S,LLR:S]\nt\nBeta,9\n[Log]\nLog[SALE:S,LLR:S,LOG:I,LN:I]\n"
       "Beta,9,1,16\nBeta,9,2,16\n",
       "line 7: this line of section [Log] is read as its column titles, but it holds a row "
       "(LOG \"1\"): the titles line is missing",
       {}},
      {"[Load]\nLoad[SALE:S,LLR:S]\n[Log]\n",
       "line 3: section [Load] has no column titles "
       "line: a new section begins where its titles belong",
       {}},
      {"[Load]\nLoad[SALE:S,LLR:S]\nt\n,\n", "line 4: the Load row has neither SALE nor LLR", {}},
      {"[Log]\nLog[LOG:I]\nt\n\n[KZ]\nKZ[KZ:I]\nt\n",
       "the text has no row to import: its sections are empty",
       {}},
  };
  for (const auto& c : cases) {
    ExpectRefused(c.text, c.error);
    EXPECT_EQ(summary.errors, c.errors) << c.text;
  }
  EXPECT_EQ(Rows("Log"), std::vector<std::string>{"Alpha|1234|1|1||0|-1|0|"});
}

TEST_F(LoadImportTest, ByteOrderMarkIsDropped) {
  ASSERT_EQ(Import("\xEF\xBB\xBF" + std::string(kAlpha)), 0) << summary.error;
  EXPECT_EQ(Rows("Load"), std::vector<std::string>{"Alpha|1234|100|66"});
  EXPECT_EQ(summary.encoding, "");
}

// One SP and P has one sampling frequency: the text's replaces the file's.
TEST_F(LoadImportTest, KzRowReplacesTheRowWithTheSameSpAndP) {
  ASSERT_EQ(Import("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nDF,1,55\n"), 0) << summary.error;
  ASSERT_EQ(Import("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\n,0,45\ndf,1,50\nWH,1,40\n"), 0) << summary.error;
  EXPECT_EQ(Rows("KZ"), (std::vector<std::string>{"|0|45", "df|1|50", "WH|1|40"}));
  ExpectRefused("[KZ]\nKZ[SP:S,P:I,KZ:I]\nt\nRC,1,45\nrc,01,50\n",
                "line 5: the text gives the KZ row of SP rc and P 1 twice");
}

TEST_F(LoadImportTest, NoFileOpen) {
  TableStore closed;
  ImportSummary s;
  EXPECT_EQ(ImportLoadText(closed, "[Log]\nLog[LOG:I]\nt\n1\n", {}, &s), -2);
}

}  // namespace
}  // namespace app
