#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tablestore/table_store.h"
#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::AppendRow;
using testing::Rows;
using testing::TempPath;
using testing::Text;

constexpr char kDictionaryDesc[] =
    "DataDictionary[TableName:S,FieldType:S,Description:S,ColumnName:S,IsUsed:S,Length:I,Min:S,"
    "Max:S,Validate:S,Callbacks:S,DefaultValue:S,FieldEdit:S,CompoundSelection:S,Order1:I,"
    "Order2:I,Order3:I,Order4:I,Order5:I,Order6:I,Order7:I,Order8:I,Order9:I,Order10:I,"
    "Order11:I,Order12:I]";

// One DataDictionary row, with the columns the table store reads.
struct Entry {
  std::string table = "", column = "", type = "S", used = "Y", defaultValue = "";
  int order1 = 0, order2 = 0;
  int length = 0;
  std::string min = "", max = "", validate = "";
};

class DataDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("dict.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    ASSERT_EQ(store_.DefineTable(kDictionaryDesc), 0);
  }

  void Add(const Entry& e) {
    const int dd = store_.OpenAView("DataDictionary", false);
    const int r = store_.AddRow(dd, -1);
    auto set = [&](const char* col, const std::string& v) {
      store_.SetText(dd, r, store_.ColumnIndex(dd, col), v);
    };
    set("TableName", e.table);
    set("ColumnName", e.column);
    set("FieldType", e.type);
    set("IsUsed", e.used);
    set("DefaultValue", e.defaultValue);
    set("Min", e.min);
    set("Max", e.max);
    set("Validate", e.validate);
    store_.SetInt(dd, r, store_.ColumnIndex(dd, "Length"), e.length);
    store_.SetInt(dd, r, store_.ColumnIndex(dd, "Order1"), e.order1);
    store_.SetInt(dd, r, store_.ColumnIndex(dd, "Order2"), e.order2);
    store_.ReleaseView(dd);
  }

  ColumnInfo Info(int slot, const std::string& column) {
    ColumnInfo info;
    info.defaultKind = '?';
    store_.GetColumnInfo(slot, store_.ColumnIndex(slot, column), info);
    return info;
  }

  std::string Describe(const std::string& table) {
    const int s = store_.OpenAView(table, false);
    std::string text;
    store_.DescribeView(s, text, false);
    store_.ReleaseView(s);
    return text;
  }

  // Order2 of every DataDictionary row of `table`, as "column=order".
  std::vector<std::string> Order2Of(const std::string& table) {
    const int s =
        store_.Select("DataDictionary", "ColumnName,Order2", "TableName=" + table, "", "", "");
    std::vector<std::string> out;
    for (std::string row : Rows(store_, s)) out.push_back(row.replace(row.find('|'), 1, "="));
    store_.ReleaseView(s);
    return out;
  }

  std::string path_;
  TableStore store_;
};

// ---- Column information --------------------------------------------------------------

TEST_F(DataDictionaryTest, DefaultValueForms) {
  ASSERT_EQ(store_.DefineTable("T[a:I,b:S,c:S,d:S,e:S,f:S,g:S]"), 0);
  Add({.table = "T", .column = "a", .defaultValue = "  I5 "});
  Add({.table = "T", .column = "b", .defaultValue = "V"});
  Add({.table = "T", .column = "c", .defaultValue = ""});
  Add({.table = "T", .column = "d", .defaultValue = "V 1 "});
  Add({.table = "T", .column = "e", .defaultValue = "C"});
  Add({.table = "T", .column = "f", .defaultValue = "Xyz"});
  const int t = store_.OpenAView("T", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(Info(t, "a").defaultKind, 'I');
  EXPECT_EQ(Info(t, "a").defaultText, "5");
  EXPECT_EQ(Info(t, "b").defaultKind, 'V');
  EXPECT_EQ(Info(t, "b").defaultText, "");
  EXPECT_EQ(Info(t, "c").defaultKind, 'N');
  // Only the ends of the whole value are trimmed; the text after the letter
  // is kept as it stands.
  EXPECT_EQ(Info(t, "d").defaultText, " 1");
  EXPECT_EQ(Info(t, "e").defaultKind, 'C');
  EXPECT_EQ(Info(t, "f").defaultKind, 'X');
  // No DataDictionary row at all.
  EXPECT_EQ(Info(t, "g").defaultKind, 'N');
}

TEST_F(DataDictionaryTest, LimitsAreTrimmedOnTheLeftOnly) {
  ASSERT_EQ(store_.DefineTable("Log[LN:I]"), 0);
  Add({.table = "log",
       .column = "ln",
       .length = 3,
       .min = "  1 ",
       .max = " 40",
       .validate = " 8 10 12"});
  const int t = store_.OpenAView("Log", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  const ColumnInfo info = Info(t, "LN");
  EXPECT_EQ(info.minText, "1 ");
  EXPECT_EQ(info.maxText, "40");
  EXPECT_EQ(info.validateText, "8 10 12");
  EXPECT_EQ(info.length, 3);
}

TEST_F(DataDictionaryTest, AColumnWithTwoRowsGetsNoInformation) {
  ASSERT_EQ(store_.DefineTable("T[a:I]"), 0);
  Add({.table = "T", .column = "a", .defaultValue = "V1", .length = 4});
  Add({.table = "T", .column = "A", .defaultValue = "V2", .length = 4});
  const int t = store_.OpenAView("T", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(Info(t, "a").defaultKind, 'N');
  EXPECT_EQ(Info(t, "a").length, 0);
}

TEST_F(DataDictionaryTest, ANameWithBlanksDescribesTheColumnBuiltFromIt) {
  Add({.table = "Log", .column = "Skip Seg", .type = "I", .defaultValue = "V0", .order1 = 1});
  Add({.table = "Log", .column = "L N", .type = "I", .order1 = 2, .length = 2});
  Add({.table = "Log", .column = "LN", .type = "I", .used = "N", .length = 3});
  ASSERT_EQ(store_.RestructureTable("Log", "Order1"), 0);
  const int t = store_.OpenAView("Log", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(Info(t, "SkipSeg").defaultKind, 'V');
  EXPECT_EQ(Info(t, "SkipSeg").defaultText, "0");
  // "L N" and "LN" both describe the stored LN: neither is taken.
  EXPECT_EQ(Info(t, "LN").length, 0);
}

TEST_F(DataDictionaryTest, InformationIsMissingUntilLoadedAndAfterRelease) {
  ASSERT_EQ(store_.DefineTable("T[a:I]"), 0);
  const int t = store_.OpenAView("T", false);
  ColumnInfo info;
  EXPECT_EQ(store_.GetColumnInfo(t, 0, info), -1);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(store_.GetColumnInfo(t, 0, info), 0);
  EXPECT_EQ(store_.GetColumnInfo(t, 1, info), -1);
  store_.ReleaseView(t);
  EXPECT_EQ(store_.GetColumnInfo(store_.OpenAView("T", false), 0, info), -1);
  EXPECT_EQ(store_.LoadColumnInfo(20), -1);
}

TEST_F(DataDictionaryTest, WithoutADictionaryLoadingFails) {
  TableStore other;
  ASSERT_EQ(other.Open(TempPath("nodict.scl"), false), 0);
  ASSERT_EQ(other.DefineTable("T[a:I]"), 0);
  const int t = other.OpenAView("T", false);
  EXPECT_EQ(other.LoadColumnInfo(t), -1);
  std::string list = "x";
  EXPECT_EQ(other.MakeProjection(list, "T", "Order2"), -1);
  EXPECT_EQ(list, "");
  EXPECT_EQ(other.StoreProjection("a", "T", "Order2"), 1);
  EXPECT_EQ(other.RestructureTable("T", "Order1"), -1);
}

TEST_F(DataDictionaryTest, TheDictionaryIsReleasedOnlyWhenOpenedForTheCall) {
  ASSERT_EQ(store_.DefineTable("T[a:I]"), 0);
  const int t = store_.OpenAView("T", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(store_.FindView("DataDictionary"), -1);
  const int dd = store_.OpenAView("DataDictionary", false);
  ASSERT_EQ(store_.LoadColumnInfo(t), 0);
  EXPECT_EQ(store_.FindView("DataDictionary"), dd);
}

// ---- Defaults of new rows ------------------------------------------------------------------

class DefaultsTest : public DataDictionaryTest {
 protected:
  void SetUp() override {
    DataDictionaryTest::SetUp();
    ASSERT_EQ(store_.DefineTable("Log[LOG:I,SALE:S,SP:S,N:I,X:S,LN:F]"), 0);
    Add({.table = "Log", .column = "LOG", .type = "I", .defaultValue = "I"});
    Add({.table = "Log", .column = "SALE", .defaultValue = "C"});
    Add({.table = "Log", .column = "SP", .defaultValue = "VDF"});
    Add({.table = "Log", .column = "N", .type = "I", .defaultValue = "I5"});
    Add({.table = "Log", .column = "X", .defaultValue = "N"});
    Add({.table = "Log", .column = "LN", .type = "F", .defaultValue = "C"});
    log_ = store_.OpenAView("Log", false);
    ASSERT_EQ(store_.LoadColumnInfo(log_), 0);
  }
  int log_ = -1;
};

TEST_F(DefaultsTest, FirstRowKeepsZeroForIncrementsAndGetsFixedValues) {
  EXPECT_EQ(store_.AddRow(log_, -1), 0);
  EXPECT_EQ(Rows(store_, log_), std::vector<std::string>{"0||DF|0||0"});
  store_.SetText(log_, 0, 1, "S1");
  store_.SetText(log_, 0, 4, "x");
  store_.SetText(log_, 0, 5, "16.5");
  EXPECT_EQ(store_.AddRow(log_, -1), 1);
  EXPECT_EQ(Rows(store_, log_)[1], "1|S1|DF|5||16.5");
  EXPECT_EQ(store_.AddRow(log_, -1), 2);
  EXPECT_EQ(Rows(store_, log_)[2], "2|S1|DF|10||16.5");
}

TEST_F(DefaultsTest, InsertingAfterARowCopiesFromThatRow) {
  for (int i = 0; i < 5; ++i) {
    const int r = store_.AddRow(log_, -1);
    store_.SetText(log_, r, 1, "S" + std::to_string(i));
    store_.SetInt(log_, r, 0, 10 * i);
  }
  EXPECT_EQ(store_.AddRow(log_, 3), 4);
  EXPECT_EQ(Rows(store_, log_)[4], "31|S3|DF|20||0");
  EXPECT_EQ(Text(store_, log_, 5, 1), "S4");
}

TEST_F(DefaultsTest, AddRowOnADerivedSlotCopiesFromTheRowItStandsFor) {
  for (int i = 0; i < 6; ++i) {
    const int r = store_.AddRow(log_, -1);
    store_.SetText(log_, r, 1, i % 2 ? "odd" : "even");
    store_.SetInt(log_, r, 0, 100 + i);
  }
  const int odd = store_.Select("Log", "LOG", "SALE=odd", "", "", "");
  ASSERT_EQ(store_.RowCount(odd), 3);
  ASSERT_EQ(store_.LoadColumnInfo(odd), 0);
  // Row 1 of the derived view is Log row 3 (LOG 103).
  EXPECT_EQ(store_.AddRow(odd, 1), 6);
  EXPECT_EQ(Rows(store_, log_)[6], "104|odd|DF|20||0");
  // Appending (afterRow < 0) copies from the derived view's last row.
  EXPECT_EQ(store_.AddRow(odd, -1), 7);
  EXPECT_EQ(Rows(store_, log_)[7], "105|odd|DF|25||0");
  ColumnInfo info;
  EXPECT_EQ(store_.GetColumnInfo(odd, 0, info), 0);
  EXPECT_EQ(info.defaultKind, 'I');
}

TEST_F(DefaultsTest, IncrementWrapsAt32Bits) {
  store_.AddRow(log_, -1);
  store_.SetInt(log_, 0, 0, 2147483647);
  store_.AddRow(log_, -1);
  EXPECT_EQ(Text(store_, log_, 1, 0), "-2147483648");
}

TEST_F(DefaultsTest, ReleasingTheSlotForgetsTheDefaults) {
  store_.ReleaseView(log_);
  log_ = store_.OpenAView("Log", false);
  store_.AddRow(log_, -1);
  EXPECT_EQ(Rows(store_, log_), std::vector<std::string>{"0|||0||0"});
}

// ---- RestructureTable ------------------------------------------------------------------------

TEST_F(DataDictionaryTest, RestructureOrdersNumberedColumnsFirst) {
  Add({.table = "Log", .column = "SkipSeg", .type = "I", .used = "Y", .order1 = 0});
  Add({.table = "Log", .column = "LN", .type = "F", .used = "M", .order1 = 2});
  Add({.table = "Log", .column = "LOG", .type = "I", .used = "Y", .order1 = 1});
  ASSERT_EQ(store_.RestructureTable("Log", "Order1"), 0);
  EXPECT_EQ(Describe("Log"), "Log[LOG:I,LN:F,SkipSeg:I]");
}

TEST_F(DataDictionaryTest, RestructureRules) {
  Add({.table = "LOG", .column = "Skip Seg", .type = "I", .order1 = 1});
  Add({.table = "Log", .column = "Odd", .type = "X", .order1 = 2});
  Add({.table = "log", .column = "Lower", .type = "I", .used = "y", .order1 = 3});
  Add({.table = "Log", .column = "Gone", .type = "I", .order1 = -1});
  Add({.table = "Log", .column = "No", .type = "I", .used = "N", .order1 = 4});
  Add({.table = "Log", .column = "Later", .type = "D", .used = "M", .order1 = 0});
  Add({.table = "Log", .column = "Small", .type = "l", .order1 = 5});
  Add({.table = "Seg", .column = "Other", .type = "I", .order1 = 1});
  ASSERT_EQ(store_.RestructureTable("Log", "Order1"), 0);
  EXPECT_EQ(Describe("Log"), "Log[SkipSeg:I,Odd:S,Small:S,Later:D]");
}

TEST_F(DataDictionaryTest, RestructureKeepsTheDataOfColumnsThatStay) {
  ASSERT_EQ(store_.DefineTable("Log[LOG:I,OLD:S,LN:F]"), 0);
  const int t = store_.OpenAView("Log", false);
  AppendRow(store_, t, {"7", "old", "16.5"});
  Add({.table = "Log", .column = "LN", .type = "F", .order1 = 1});
  Add({.table = "Log", .column = "LOG", .type = "I", .order1 = 2});
  Add({.table = "Log", .column = "NEW", .type = "S", .order1 = 3});
  ASSERT_EQ(store_.RestructureTable("Log", "Order1"), 0);
  // The table's slot was released; reopen it.
  EXPECT_EQ(store_.FindView("Log"), -1);
  const int s = store_.OpenAView("Log", false);
  EXPECT_EQ(Rows(store_, s), std::vector<std::string>{"16.5|7|"});
}

TEST_F(DataDictionaryTest, RestructureWithoutRowsChangesNothing) {
  ASSERT_EQ(store_.DefineTable("Log[LOG:I]"), 0);
  EXPECT_EQ(store_.RestructureTable("Log", "Order1"), -1);
  EXPECT_EQ(Describe("Log"), "Log[LOG:I]");
  TableStore closed;
  EXPECT_EQ(closed.RestructureTable("Log", "Order1"), -2);
}

TEST_F(DataDictionaryTest, RestructureToNoColumnsKeepsTheTableAndItsData) {
  ASSERT_EQ(store_.DefineTable("Log[LOG:I]"), 0);
  AppendRow(store_, store_.OpenAView("Log", false), {"7"});
  Add({.table = "Log", .column = "LOG", .type = "I", .used = "N", .order1 = 1});
  Add({.table = "Log", .column = "Old", .type = "I", .order1 = -1});
  EXPECT_EQ(store_.RestructureTable("Log", "Order1"), -1);
  EXPECT_EQ(Describe("Log"), "Log[LOG:I]");
  EXPECT_EQ(Rows(store_, store_.OpenAView("Log", false)), std::vector<std::string>{"7"});
}

TEST_F(DataDictionaryTest, RestructureCreatesTheTableCommitsAndListsIt) {
  Add({.table = "Tapers", .column = "SP", .order1 = 1});
  Add({.table = "Tapers", .column = "TPF", .type = "F", .order1 = 2});
  EXPECT_EQ(store_.TableExists("Tapers"), -1);
  ASSERT_EQ(store_.RestructureTable("Tapers", "Order1"), 0);
  EXPECT_GE(store_.TableExists("Tapers"), 0);
  // Reopening the file shows the new table: the restructure was committed.
  ASSERT_EQ(store_.Close(), 0);
  TableStore reader;
  ASSERT_EQ(reader.Open(path_, false), 0);
  EXPECT_GE(reader.TableExists("Tapers"), 0);
  const int s = reader.OpenAView("Tapers", false);
  EXPECT_EQ(reader.SlotDescription(s), "Tapers[SP:S,TPF:F]");
  EXPECT_EQ(reader.RowCount(reader.OpenAView("DataDictionary", false)), 2);
}

// ---- Projections ----------------------------------------------------------------------------

TEST_F(DataDictionaryTest, MakeProjectionFollowsTheOrderColumn) {
  Add({.table = "Log", .column = "LOG", .order2 = 2});
  Add({.table = "Log", .column = "LN", .order2 = 1});
  Add({.table = "Log", .column = "Hidden", .order2 = 0});
  Add({.table = "Log", .column = "Skip Seg", .used = "y", .order2 = 3});
  Add({.table = "Log", .column = "Unused", .used = "No", .order2 = 4});
  Add({.table = "Seg", .column = "SEG", .order2 = 1});
  std::string list;
  EXPECT_EQ(store_.MakeProjection(list, "Log", "Order2"), 3);
  EXPECT_EQ(list, "LN,LOG,SkipSeg");
  EXPECT_EQ(store_.FindView("DDDInMakeProjection"), -1);
}

TEST_F(DataDictionaryTest, MakeProjectionWithoutOrderColumnListsEveryUsedColumn) {
  Add({.table = "Log", .column = "LOG", .order2 = 2});
  Add({.table = "Log", .column = "LN", .used = "N", .order2 = 1});
  Add({.table = "Log", .column = "SD", .used = "", .order2 = 0});
  Add({.table = "Log", .column = "LD", .used = "M"});
  std::string list;
  EXPECT_EQ(store_.MakeProjection(list, "Log", ""), 3);
  EXPECT_EQ(list, "LOG,SD,LD");
  EXPECT_EQ(store_.MakeProjection(list, "None", ""), 0);
  EXPECT_EQ(list, "");
}

TEST_F(DataDictionaryTest, StoreProjectionNumbersTheListAndZeroesTheRest) {
  Add({.table = "Log", .column = "LOG", .order2 = 1});
  Add({.table = "Log", .column = "LN", .order2 = 5});
  Add({.table = "Log", .column = "SD", .order2 = 0});
  Add({.table = "Log", .column = "LD", .order2 = 3});
  Add({.table = "Seg", .column = "LN", .order2 = 9});
  EXPECT_EQ(store_.StoreProjection("LN, sd", "Log", "Order2"), 0);
  EXPECT_EQ(Order2Of("Log"), (std::vector<std::string>{"LOG=0", "LN=1", "SD=2", "LD=0"}));
  EXPECT_EQ(Order2Of("Seg"), std::vector<std::string>{"LN=9"});
}

TEST_F(DataDictionaryTest, StoreProjectionRoundTripsMakeProjection) {
  Add({.table = "Log", .column = "Skip Seg", .order2 = 0});
  Add({.table = "Log", .column = "LOG", .order2 = 0});
  Add({.table = "Log", .column = "LN", .order2 = 0});
  ASSERT_EQ(store_.StoreProjection("LN,SkipSeg,Nope", "Log", "Order2"), 0);
  std::string list;
  EXPECT_EQ(store_.MakeProjection(list, "Log", "Order2"), 2);
  EXPECT_EQ(list, "LN,SkipSeg");
  EXPECT_EQ(store_.StoreProjection("LN", "Log", "NoSuchColumn"), 1);
}

}  // namespace
}  // namespace tablestore
