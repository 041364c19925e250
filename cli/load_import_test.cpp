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
    return ImportLoadText(store, text, &summary);
  }

  TableStore store;
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
            "section [Tapers] names none of the tables Load, Log, Seg, DefC, DefB, KZ");
}

TEST_F(LoadImportTest, DescriptionOfAnotherTableIsRefused) {
  EXPECT_EQ(Import("[Log]\nSeg[LOG:I]\nt\n1\n"), -1);
  EXPECT_EQ(summary.error,
            "section [Log]: the line after it must describe Log as Log[COLUMN:TYPE,...]");
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

TEST_F(LoadImportTest, NoFileOpen) {
  TableStore closed;
  ImportSummary s;
  EXPECT_EQ(ImportLoadText(closed, "[Log]\nLog[LOG:I]\nt\n1\n", &s), -2);
}

}  // namespace
}  // namespace cli
