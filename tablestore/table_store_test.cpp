#include "tablestore/table_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "mkstore/fault_file_system.h"
#include "mkstore/storage.h"
#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::AppendRow;
using testing::OpenCopyOf;
using testing::Rows;
using testing::TempPath;
using testing::Text;

constexpr char kLogDesc[] = "Log[SALE:S,LLR:S,LOG:I,LN:F,VOID:I,GCV:D,CODE:L]";
enum LogCol { kSale, kLlr, kLog, kLn, kVoid, kGcv, kCode };

class TableStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("store.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    ASSERT_EQ(store_.DefineTable(kLogDesc), 0);
    ASSERT_EQ(store_.DefineTable("Globals[Block:S,Key:S,Value:S]"), 0);
  }

  // Opens Log and appends `n` rows: LOG = 1..n, SALE = "S<i>".
  int OpenLogWithRows(int n, bool inMemory = false) {
    const int slot = store_.OpenAView("Log", inMemory);
    for (int i = 1; i <= n; ++i) {
      AppendRow(store_, slot, {"S" + std::to_string(i), "L", std::to_string(i)});
    }
    return slot;
  }

  // Takes every free slot with GetViewIndex; returns how many were taken.
  int FillSlots() {
    int taken = 0;
    while (store_.GetViewIndex("filler") >= 0) ++taken;
    return taken;
  }

  std::string path_;
  TableStore store_;
};

// ---- Storage ----------------------------------------------------------------

TEST_F(TableStoreTest, ClosedStoreRefusesWithMinusTwo) {
  TableStore closed;
  EXPECT_FALSE(closed.IsOpen());
  EXPECT_EQ(closed.Close(), -2);
  EXPECT_EQ(closed.Commit(), -2);
  EXPECT_EQ(closed.OpenAView("Log", false), -2);
  EXPECT_EQ(closed.GetViewIndex("x"), -2);
  EXPECT_EQ(closed.ReleaseView(0), -2);
  EXPECT_EQ(closed.ReleaseViewByName("x"), -1);
  EXPECT_EQ(closed.TableExists("Log"), -1);
  EXPECT_EQ(closed.DefineTable("Log[a:I]"), -2);
  EXPECT_EQ(closed.Select("Log", "", "", "", "", ""), -2);
}

TEST_F(TableStoreTest, TableExistsIgnoresLetterCase) {
  EXPECT_GE(store_.TableExists("Log"), 0);
  EXPECT_GE(store_.TableExists("gLOBALS"), 0);
  EXPECT_EQ(store_.TableExists("Seg"), -1);
  EXPECT_EQ(store_.TableExists(""), -1);
  EXPECT_EQ(store_.TableExists("Lo"), -1);
  EXPECT_EQ(store_.TableList(), "Log,Globals");
}

TEST_F(TableStoreTest, CloseEmptiesEverything) {
  OpenLogWithRows(1);
  EXPECT_EQ(store_.Close(), 0);
  EXPECT_FALSE(store_.IsOpen());
  EXPECT_EQ(store_.FileName(), "");
  EXPECT_EQ(store_.TableList(), "");
  EXPECT_EQ(store_.FindView("Log"), -1);
  EXPECT_EQ(store_.RowCount(0), -1);
}

TEST_F(TableStoreTest, DamagedFileIsRefusedAndStoreStaysClosed) {
  const std::string damaged = TempPath("damaged.scl");
  testing::WriteFile(damaged, std::string("JL\x1a\0garbage that is no storage", 30));
  TableStore other;
  EXPECT_EQ(other.Open(damaged, false), -1);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_NE(other.LastError(), "");
}

TEST_F(TableStoreTest, AFileOpenInOneStoreIsInUseForEveryOtherUntilItCloses) {
  ASSERT_EQ(store_.Commit(), 0);
  TableStore other;
  EXPECT_EQ(other.Open(path_, false), kInUse);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_NE(other.LastError(), "");
  ASSERT_EQ(store_.Close(), 0);
  EXPECT_EQ(other.Open(path_, false), kOk);
}

TEST_F(TableStoreTest, OpeningAnotherFileClosesTheFirst) {
  OpenLogWithRows(2);
  EXPECT_EQ(store_.Open(TempPath("other.scl"), false), 0);
  EXPECT_EQ(store_.FindView("Log"), -1);
  EXPECT_EQ(store_.TableExists("Log"), -1);
}

TEST_F(TableStoreTest, DefineTableRefusesABadDescription) {
  EXPECT_EQ(store_.DefineTable("Bad[a:I"), -1);
  EXPECT_EQ(store_.TableExists("Bad"), -1);
}

// ---- Slots ------------------------------------------------------------------

TEST_F(TableStoreTest, UnknownTableTakesNoSlot) {
  const int log = store_.OpenAView("Log", false);
  EXPECT_EQ(store_.OpenAView("Nothing", false), -1);
  EXPECT_EQ(store_.GetViewIndex("next"), log + 1);
}

TEST_F(TableStoreTest, TwentyFiveSlotsThenMinusOne) {
  EXPECT_EQ(FillSlots(), kSlotCount);
  EXPECT_EQ(store_.OpenAView("Log", false), -1);
  EXPECT_EQ(store_.GetViewIndex("x"), -1);
  EXPECT_EQ(store_.ReleaseView(7), 0);
  EXPECT_EQ(store_.OpenAView("Log", false), 7);
}

TEST_F(TableStoreTest, ReopeningANameReleasesItsSlotFirst) {
  const int a = store_.GetViewIndex("a");
  const int log = store_.OpenAView("Log", false);
  store_.ReleaseView(a);
  // Slot 0 is free now but the old Log slot is released first, so the lowest
  // free slot is still 0.
  EXPECT_EQ(store_.OpenAView("Log", false), 0);
  EXPECT_EQ(store_.ReleaseView(log), 1);
  // With nothing lower free, the same slot is taken again.
  EXPECT_EQ(store_.OpenAView("Log", false), 0);
}

TEST_F(TableStoreTest, FindViewReturnsTheHighestSlotAndMatchesCase) {
  store_.GetViewIndex("dup");
  store_.GetViewIndex("other");
  const int second = store_.GetViewIndex("dup");
  EXPECT_EQ(store_.FindView("dup"), second);
  EXPECT_EQ(store_.FindView("DUP"), -1);
  EXPECT_EQ(store_.FindView(""), -1);
}

TEST_F(TableStoreTest, ReleaseViewResults) {
  EXPECT_EQ(store_.ReleaseView(25), 2);
  EXPECT_EQ(store_.ReleaseView(-1), 2);
  EXPECT_EQ(store_.ReleaseView(3), 1);
  const int s = store_.GetViewIndex("x");
  EXPECT_EQ(store_.ReleaseView(s), 0);
  EXPECT_EQ(store_.ReleaseView(s), 1);
  EXPECT_EQ(store_.ReleaseViewByName("x"), 2);
}

TEST_F(TableStoreTest, GetViewIndexGivesANameAndNoColumns) {
  const int s = store_.GetViewIndex("scratch");
  EXPECT_EQ(store_.FindView("scratch"), s);
  EXPECT_EQ(store_.RowCount(s), 0);
  EXPECT_EQ(store_.ColumnCount(s), 0);
  EXPECT_EQ(store_.SlotDescription(s), "");
}

TEST_F(TableStoreTest, SlotDescriptionIsNamePlusStoredColumns) {
  const int s = store_.OpenAView("log", false);
  EXPECT_EQ(store_.SlotDescription(s), "log[SALE:S,LLR:S,LOG:I,LN:F,VOID:I,GCV:D,CODE:L]");
  std::string text;
  EXPECT_EQ(store_.DescribeView(s, text, false), 0);
  EXPECT_EQ(text, "log[SALE:S,LLR:S,LOG:I,LN:F,VOID:I,GCV:D,CODE:L]");
  EXPECT_EQ(store_.DescribeView(s, text, true), 0);
  EXPECT_EQ(text, "SALE,LLR,LOG,LN,VOID,GCV,CODE");
  EXPECT_EQ(store_.DescribeView(24, text, true), -1);
}

TEST_F(TableStoreTest, ColumnsByIndexAndName) {
  const int s = store_.OpenAView("Log", false);
  EXPECT_EQ(store_.ColumnCount(s), 7);
  EXPECT_EQ(store_.ColumnName(s, kGcv), "GCV");
  EXPECT_EQ(store_.ColumnName(s, 7), "");
  EXPECT_EQ(store_.ColumnName(s, -1), "");
  EXPECT_EQ(store_.ColumnIndex(s, "gcv"), kGcv);
  EXPECT_EQ(store_.ColumnIndex(s, "GC"), -1);
  EXPECT_EQ(store_.ColumnIndex(s + 1, "GCV"), -1);
}

// ---- Invalid indices ----------------------------------------------------------

TEST_F(TableStoreTest, OutOfRangeIndicesAreRefusedWithoutChange) {
  const int s = OpenLogWithRows(2);
  std::string text = "kept";
  int i = 9;
  float f = 9;
  EXPECT_EQ(store_.GetText(s, 2, kSale, text), -1);
  EXPECT_EQ(store_.GetText(s, -1, kSale, text), -1);
  EXPECT_EQ(store_.GetText(s, 0, 7, text), -1);
  EXPECT_EQ(store_.GetText(s, 0, -1, text), -1);
  EXPECT_EQ(store_.GetText(s + 1, 0, 0, text), -1);
  EXPECT_EQ(store_.GetText(kSlotCount, 0, 0, text), -1);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(store_.GetInt(s, 5, kLog, i), -1);
  EXPECT_EQ(store_.GetFloat(s, 0, 9, f), -1);
  EXPECT_EQ(store_.SetText(s, 2, kSale, "x"), -1);
  EXPECT_EQ(store_.SetInt(s, 0, -3, 1), -1);
  EXPECT_EQ(store_.SetLong(-5, 0, 0, 1), -1);
  EXPECT_EQ(store_.SetFloat(s, -1, kLn, 1), -1);
  EXPECT_EQ(store_.AddRow(s, 2), -1);
  EXPECT_EQ(store_.AddRow(s + 1, -1), -1);
  EXPECT_EQ(store_.RemoveRow(s, 2), -1);
  EXPECT_EQ(store_.RemoveRow(s, -1), -1);
  EXPECT_EQ(store_.RowCount(s + 1), -1);
  EXPECT_EQ(store_.ColumnCount(-1), -1);
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"S1|L|1|0|0|0|0", "S2|L|2|0|0|0|0"}));
}

// ---- Reading conversions --------------------------------------------------------

class ConversionTest : public TableStoreTest {
 protected:
  void SetUp() override {
    TableStoreTest::SetUp();
    slot_ = store_.OpenAView("Log", false);
    row_ = store_.AddRow(slot_, -1);
  }
  int slot_ = -1;
  int row_ = -1;
};

TEST_F(ConversionTest, GetIntOfADoubleAddsOneHalfAndTruncates) {
  const std::pair<std::string, int> cases[] = {{"2.5", 3},    {"-2.5", -2}, {"-2.7", -2},
                                               {"2.4999", 2}, {"0", 0},     {"1e20", 2147483647}};
  for (const auto& [stored, expected] : cases) {
    ASSERT_EQ(store_.SetText(slot_, row_, kGcv, stored), 0);
    int value = 0;
    EXPECT_EQ(store_.GetInt(slot_, row_, kGcv, value), 0);
    EXPECT_EQ(value, expected) << stored;
  }
}

TEST_F(ConversionTest, GetIntOfAFloatRoundsTheSameWay) {
  store_.SetFloat(slot_, row_, kLn, 7.5f);
  int value = 0;
  store_.GetInt(slot_, row_, kLn, value);
  EXPECT_EQ(value, 8);
  store_.SetFloat(slot_, row_, kLn, -7.5f);
  store_.GetInt(slot_, row_, kLn, value);
  EXPECT_EQ(value, -7);
}

TEST_F(ConversionTest, LongColumnsShowTheirLow32Bits) {
  // Only a file written elsewhere can hold more than 32 bits in an L column:
  // the table store writes 32-bit values. Write one with the engine.
  const std::string path = TempPath("wide.scl");
  {
    std::unique_ptr<mk::Storage> st;
    ASSERT_TRUE(mk::Storage::Open(path, &st).ok());
    ASSERT_TRUE(st->Restructure("Big[CODE:L]").ok());
    mk::View v = st->GetView("Big");
    v.AddRow();
    v.SetLong(0, 0, (int64_t{1} << 32) + 5);
    v.AddRow();
    v.SetLong(1, 0, -(int64_t{1} << 32) - 2);
    ASSERT_TRUE(st->Commit().ok());
  }
  TableStore reader;
  ASSERT_EQ(reader.Open(path, false), 0);
  const int s = reader.OpenAView("Big", false);
  int i = 0;
  float f = 0;
  EXPECT_EQ(Text(reader, s, 0, 0), "5");
  reader.GetInt(s, 0, 0, i);
  reader.GetFloat(s, 0, 0, f);
  EXPECT_EQ(i, 5);
  EXPECT_EQ(f, 5.0f);
  EXPECT_EQ(Text(reader, s, 1, 0), "-2");
  // A negative value written through the store is sign-extended.
  store_.SetLong(slot_, row_, kCode, -1);
  EXPECT_EQ(Text(store_, slot_, row_, kCode), "-1");
  store_.GetInt(slot_, row_, kCode, i);
  EXPECT_EQ(i, -1);
}

TEST_F(ConversionTest, TextOfEachTypeUsesItsFormat) {
  store_.SetText(slot_, row_, kLog, "-17");
  store_.SetFloat(slot_, row_, kLn, 123456789.0f);
  store_.SetText(slot_, row_, kGcv, "0.1");
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "-17");
  EXPECT_EQ(Text(store_, slot_, row_, kLn), "1.23457e+08");
  EXPECT_EQ(Text(store_, slot_, row_, kGcv), "0.1");
  store_.SetText(slot_, row_, kGcv, "0.333333333333333333");
  EXPECT_EQ(Text(store_, slot_, row_, kGcv), "0.333333333333333");
  store_.SetText(slot_, row_, kLn, "0.1");
  EXPECT_EQ(Text(store_, slot_, row_, kLn), "0.1");
}

TEST_F(ConversionTest, NumbersFromTextColumns) {
  store_.SetText(slot_, row_, kSale, "12.5abc");
  int i = -1;
  float f = -1;
  EXPECT_EQ(store_.GetInt(slot_, row_, kSale, i), 0);
  EXPECT_EQ(store_.GetFloat(slot_, row_, kSale, f), 0);
  EXPECT_EQ(i, 12);
  EXPECT_EQ(f, 12.5f);
  store_.SetText(slot_, row_, kSale, "abc");
  store_.GetInt(slot_, row_, kSale, i);
  store_.GetFloat(slot_, row_, kSale, f);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(f, 0.0f);
}

TEST_F(ConversionTest, GetFloatOfEachNumericType) {
  float f = 0;
  store_.SetInt(slot_, row_, kLog, 16777217);
  store_.GetFloat(slot_, row_, kLog, f);
  EXPECT_EQ(f, 16777216.0f);
  store_.SetText(slot_, row_, kGcv, "2.75");
  store_.GetFloat(slot_, row_, kGcv, f);
  EXPECT_EQ(f, 2.75f);
  store_.SetText(slot_, row_, kGcv, "1e300");
  store_.GetFloat(slot_, row_, kGcv, f);
  EXPECT_TRUE(std::isinf(f));
}

// ---- Writing conversions ----------------------------------------------------------

TEST_F(ConversionTest, TextIntoNumbers) {
  EXPECT_EQ(store_.SetText(slot_, row_, kLog, "12abc"), 0);
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "12");
  store_.SetText(slot_, row_, kLog, "abc");
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "0");
  store_.SetText(slot_, row_, kLog, "99999999999");
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "2147483647");
  store_.SetText(slot_, row_, kCode, " -5");
  EXPECT_EQ(Text(store_, slot_, row_, kCode), "-5");
  store_.SetText(slot_, row_, kLn, "12.50");
  EXPECT_EQ(Text(store_, slot_, row_, kLn), "12.5");
  store_.SetText(slot_, row_, kGcv, "x");
  EXPECT_EQ(Text(store_, slot_, row_, kGcv), "0");
}

TEST_F(ConversionTest, NumbersIntoText) {
  EXPECT_EQ(store_.SetFloat(slot_, row_, kSale, 3.25f), 0);
  EXPECT_EQ(Text(store_, slot_, row_, kSale), "3.25");
  store_.SetInt(slot_, row_, kSale, -42);
  EXPECT_EQ(Text(store_, slot_, row_, kSale), "-42");
  store_.SetLong(slot_, row_, kSale, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Text(store_, slot_, row_, kSale), "-2147483648");
  store_.SetFloat(slot_, row_, kSale, 1e-5f);
  EXPECT_EQ(Text(store_, slot_, row_, kSale), "1e-05");
}

TEST_F(ConversionTest, FloatIntoIntegersRoundsHalfUp) {
  store_.SetFloat(slot_, row_, kLog, 2.5f);
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "3");
  store_.SetFloat(slot_, row_, kLog, -2.5f);
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "-2");
  store_.SetFloat(slot_, row_, kCode, -2.7f);
  EXPECT_EQ(Text(store_, slot_, row_, kCode), "-2");
  store_.SetFloat(slot_, row_, kLog, 1e30f);
  EXPECT_EQ(Text(store_, slot_, row_, kLog), "2147483647");
}

TEST_F(ConversionTest, IntegersIntoFloats) {
  store_.SetInt(slot_, row_, kLn, 7);
  store_.SetLong(slot_, row_, kGcv, -3);
  EXPECT_EQ(Text(store_, slot_, row_, kLn), "7");
  EXPECT_EQ(Text(store_, slot_, row_, kGcv), "-3");
  store_.SetFloat(slot_, row_, kGcv, 0.1f);
  // The float widened, not the decimal text: 0.1f is 0.100000001490116...
  EXPECT_EQ(Text(store_, slot_, row_, kGcv), "0.100000001490116");
}

TEST_F(ConversionTest, TextIsStoredAsWindows1252) {
  store_.SetText(slot_, row_, kSale, "Sägewerk €5");
  EXPECT_EQ(Text(store_, slot_, row_, kSale), "Sägewerk €5");
  store_.SetText(slot_, row_, kLlr, "Łódź");  // Ł and ź have no 8-bit form
  EXPECT_EQ(Text(store_, slot_, row_, kLlr), "?ód?");
}

TEST_F(TableStoreTest, UnsupportedColumnTypesGiveOne) {
  ASSERT_EQ(store_.DefineTable("Blob[data:B,n:I]"), 0);
  const int s = store_.OpenAView("Blob", false);
  const int r = store_.AddRow(s, -1);
  std::string text = "kept";
  int i = 7;
  float f = 7;
  EXPECT_EQ(store_.GetText(s, r, 0, text), 1);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(store_.GetInt(s, r, 0, i), 1);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(store_.GetFloat(s, r, 0, f), 1);
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(store_.SetText(s, r, 0, "x"), 1);
  EXPECT_EQ(store_.SetInt(s, r, 0, 1), 1);
  EXPECT_EQ(store_.SetLong(s, r, 0, 1), 1);
  EXPECT_EQ(store_.SetFloat(s, r, 0, 1), 1);
}

// ---- Rows ---------------------------------------------------------------------

TEST_F(TableStoreTest, AddRowInsertsAfterTheGivenRowOrAppends) {
  const int s = OpenLogWithRows(5);
  EXPECT_EQ(store_.AddRow(s, 3), 4);
  EXPECT_EQ(store_.RowCount(s), 6);
  EXPECT_EQ(Text(store_, s, 4, kLog), "0");
  EXPECT_EQ(Text(store_, s, 5, kLog), "5");
  EXPECT_EQ(store_.AddRow(s, -1), 6);
  EXPECT_EQ(store_.AddRow(s, -7), 7);
}

TEST_F(TableStoreTest, NewRowsAreEmptyOrZero) {
  const int s = store_.OpenAView("Log", false);
  EXPECT_EQ(store_.AddRow(s, -1), 0);
  EXPECT_EQ(Rows(store_, s), std::vector<std::string>{"||0|0|0|0|0"});
}

TEST_F(TableStoreTest, RemoveRowReturnsRowsLeft) {
  const int s = OpenLogWithRows(3);
  EXPECT_EQ(store_.RemoveRow(s, 1), 2);
  EXPECT_EQ(Text(store_, s, 1, kLog), "3");
  EXPECT_EQ(store_.RemoveRow(s, 0), 1);
  EXPECT_EQ(store_.RemoveRow(s, 0), 0);
  EXPECT_EQ(store_.RemoveRow(s, 0), -1);
}

// ---- Derived slots --------------------------------------------------------------

TEST_F(TableStoreTest, WritesThroughADerivedSlotReachTheTable) {
  const int log = OpenLogWithRows(4);
  const int live = store_.Select("Log", "LOG,SALE", "VOID=0", "", "DLive", "");
  ASSERT_GE(live, 0);
  // Row 1 of the derived view is LOG 2; its column 1 is SALE (column 0 of Log).
  EXPECT_EQ(store_.SetText(live, 1, 1, "changed"), 0);
  EXPECT_EQ(Text(store_, log, 1, kSale), "changed");
  // A write that makes the row leave the selection still lands in the table.
  const int voided = store_.Select("Log", "VOID", "LOG=3", "", "", "");
  EXPECT_EQ(store_.SetInt(voided, 0, 0, 1), 0);
  EXPECT_EQ(Text(store_, log, 2, kVoid), "1");
  EXPECT_EQ(store_.RowCount(live), 3);
  EXPECT_EQ(store_.RowCount(voided), 1);
}

TEST_F(TableStoreTest, AddRowOnADerivedSlotAppendsToTheParent) {
  const int log = OpenLogWithRows(6);
  const int sel = store_.Select("Log", "", "", "LOG", "", "LOG=[2,5]");
  ASSERT_EQ(store_.RowCount(sel), 4);
  const int pos = store_.AddRow(sel, 1);
  EXPECT_EQ(pos, 6);  // an index into Log, not into the derived view
  EXPECT_EQ(store_.RowCount(log), 7);
  EXPECT_EQ(store_.RowCount(sel), 4);  // the new row has LOG 0: outside the range
}

TEST_F(TableStoreTest, BaseSlotIsTheTableBelowEveryDerivedSlot) {
  const int log = OpenLogWithRows(3);
  const int sel = store_.Select("Log", "", "", "", "DLog", "LOG=[2,3]");
  const int sorted = store_.Select("DLog", "", "", "LOG", "DLog2", "");
  EXPECT_EQ(store_.BaseSlot(log), log);
  EXPECT_EQ(store_.BaseSlot(sel), log);
  EXPECT_EQ(store_.BaseSlot(sorted), log);
  EXPECT_EQ(store_.BaseSlot(kSlotCount), -1);
  store_.ReleaseView(sel);
  EXPECT_EQ(store_.BaseSlot(sorted), -1);
}

TEST_F(TableStoreTest, RemoveRowOnADerivedSlotRemovesTheStoredRow) {
  const int log = OpenLogWithRows(4);
  const int sel = store_.Select("Log", "", "", "", "", "LOG=[3,4]");
  EXPECT_EQ(store_.RemoveRow(sel, 0), 1);
  EXPECT_EQ(store_.RowCount(log), 3);
  EXPECT_EQ(Text(store_, log, 2, kLog), "4");
}

TEST_F(TableStoreTest, WritesThroughADerivedSlotAfterItsParentWasReleasedAreRefused) {
  const int log = OpenLogWithRows(2);
  const int sel = store_.Select("Log", "", "", "", "DLog", "");
  store_.ReleaseView(log);
  // The parent's slot is taken by another table now.
  EXPECT_EQ(store_.OpenAView("Globals", false), log);
  EXPECT_EQ(store_.SetText(sel, 0, 0, "x"), -1);
  EXPECT_EQ(store_.AddRow(sel, -1), -1);
  EXPECT_EQ(store_.RemoveRow(sel, 0), -1);
  EXPECT_EQ(store_.RowCount(log), 0);
}

// ---- In-memory copies and commits ----------------------------------------------------

TEST_F(TableStoreTest, InMemoryCopyIsWrittenBackOnCommit) {
  OpenLogWithRows(2);
  ASSERT_EQ(store_.Commit(), 0);
  const int mem = store_.OpenAView("Log", true);
  EXPECT_EQ(store_.RowCount(mem), 2);
  AppendRow(store_, mem, {"new"});
  store_.RemoveRow(mem, 0);
  {
    TableStore reader;
    ASSERT_EQ(OpenCopyOf(reader, path_), 0);
    EXPECT_EQ(reader.RowCount(reader.OpenAView("Log", false)), 2);
  }
  ASSERT_EQ(store_.Commit(), 0);
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path_), 0);
  const int s = reader.OpenAView("Log", false);
  EXPECT_EQ(Rows(reader, s), (std::vector<std::string>{"S2|L|2|0|0|0|0", "new||0|0|0|0|0"}));
}

TEST_F(TableStoreTest, ReleasingAnInMemorySlotCommitsTheFile) {
  const int mem = store_.OpenAView("Log", true);
  AppendRow(store_, mem, {"kept", "L", "9"});
  EXPECT_EQ(store_.ReleaseView(mem), 0);
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path_), 0);
  const int s = reader.OpenAView("Log", false);
  EXPECT_EQ(Rows(reader, s), std::vector<std::string>{"kept|L|9|0|0|0|0"});
}

// Issue 17: releasing an in-memory slot whose commit fails reports it (-4,
// also from Commit), and the file keeps its old rows; the same release
// without a fault reports success and the file holds the new rows.
TEST(TableStoreFaultTest, ReleaseOfAnInMemorySlotSaysWhetherItsCommitReachedTheFile) {
  const std::string path = "/fault/store.scl";
  for (const bool fail : {true, false}) {
    SCOPED_TRACE(fail ? "failing write" : "no fault");
    mk::FaultFileSystem disk;
    {
      TableStore store(&disk);
      ASSERT_EQ(store.Open(path, false), 0);
      ASSERT_EQ(store.DefineTable(kLogDesc), 0);
      AppendRow(store, store.OpenAView("Log", false), {"old"});
      ASSERT_EQ(store.Commit(), 0);
      const int mem = store.OpenAView("Log", true);
      AppendRow(store, mem, {"new"});
      if (fail) disk.FailWrite(1);
      EXPECT_EQ(store.ReleaseView(mem), fail ? kWriteFailed : kOk);
      EXPECT_EQ(store.FindView("Log"), -1);  // freed either way
      EXPECT_EQ(store.Commit(), fail ? kWriteFailed : kOk);
      EXPECT_EQ(store.LastError().empty(), !fail);
      EXPECT_EQ(store.Close(), 0);
    }
    disk.Crash();
    TableStore reader(&disk);
    ASSERT_EQ(reader.Open(path, false), 0);
    EXPECT_EQ(reader.RowCount(reader.OpenAView("Log", false)), fail ? 1 : 2);
  }
}

TEST_F(TableStoreTest, CloseWithoutCommitDropsStoredViewChanges) {
  ASSERT_EQ(store_.Commit(), 0);
  OpenLogWithRows(3);
  EXPECT_EQ(store_.Close(), 0);
  TableStore reader;
  ASSERT_EQ(reader.Open(path_, false), 0);
  EXPECT_EQ(reader.RowCount(reader.OpenAView("Log", false)), 0);
}

TEST_F(TableStoreTest, DestroyingTheStoreCommits) {
  const std::string path = TempPath("destroyed.scl");
  {
    TableStore writer;
    ASSERT_EQ(writer.Open(path, false), 0);
    ASSERT_EQ(writer.DefineTable("Tapers[SP:S,TPF:F]"), 0);
    AppendRow(writer, writer.OpenAView("Tapers", false), {"DF", "0.25"});
  }
  TableStore reader;
  ASSERT_EQ(reader.Open(path, false), 0);
  EXPECT_EQ(Rows(reader, reader.OpenAView("Tapers", false)), std::vector<std::string>{"DF|0.25"});
}

TEST_F(TableStoreTest, FileWrittenAndClosedReopensWithTheSameRows) {
  const int s = OpenLogWithRows(3);
  store_.SetText(s, 1, kGcv, "12.3456789012345");
  store_.SetText(s, 2, kSale, "Grün");
  store_.SetFloat(s, 0, kLn, 32.5f);
  store_.SetLong(s, 0, kCode, -123456);
  const std::vector<std::string> before = Rows(store_, s);
  ASSERT_EQ(store_.Commit(), 0);
  ASSERT_EQ(store_.Close(), 0);
  TableStore reader;
  ASSERT_EQ(reader.Open(path_, false), 0);
  EXPECT_EQ(reader.TableList(), "Log,Globals");
  EXPECT_EQ(Rows(reader, reader.OpenAView("Log", true)), before);
}

// ---- Row views --------------------------------------------------------------------

TEST_F(TableStoreTest, MakeRowViewTransposesOneRow) {
  const int s = OpenLogWithRows(2);
  store_.SetFloat(s, 1, kLn, 16.5f);
  const int rv = store_.MakeRowView("Log", 1, "");
  ASSERT_GE(rv, 0);
  EXPECT_EQ(store_.FindView("Row1Log"), rv);
  std::string desc;
  store_.DescribeView(rv, desc, false);
  EXPECT_EQ(desc, "Row1Log[Item:S,Value:S]");
  EXPECT_EQ(Rows(store_, rv), (std::vector<std::string>{"SALE|S2", "LLR|L", "LOG|2", "LN|16.5",
                                                        "VOID|0", "GCV|0", "CODE|0"}));
  const int header = store_.MakeRowView("Log", 1, "Header");
  EXPECT_EQ(store_.FindView("Header"), header);
  EXPECT_EQ(store_.MakeRowView("Nope", 0, ""), -1);
  EXPECT_EQ(store_.MakeRowView("Log", 2, ""), -1);
}

TEST_F(TableStoreTest, StoreRowViewWritesBackAndReleases) {
  const int s = OpenLogWithRows(2);
  const int rv = store_.MakeRowView("Log", 0, "T");
  store_.SetText(rv, 2, 1, "77");    // LOG
  store_.SetText(rv, 3, 1, "8.25");  // LN
  EXPECT_EQ(store_.StoreRowView("Log", rv, 0), 7);
  EXPECT_EQ(store_.FindView("T"), -1);
  EXPECT_EQ(Rows(store_, s)[0], "S1|L|77|8.25|0|0|0");
  EXPECT_EQ(store_.StoreRowView("Nope", rv, 0), -1);
}

TEST_F(TableStoreTest, StoreRowViewWithFewerRowsWritesOnlyThose) {
  const int s = OpenLogWithRows(1);
  const int rv = store_.MakeRowView("Log", 0, "T");
  store_.RemoveRow(rv, 6);
  store_.RemoveRow(rv, 5);
  store_.SetText(rv, 0, 1, "X");
  EXPECT_EQ(store_.StoreRowView("Log", rv, 0), 5);
  EXPECT_EQ(Text(store_, s, 0, kSale), "X");
}

// ---- Files written by Metakit ------------------------------------------------------------

// Opens a copy of a fixture file (the store may write to what it opens).
class FixtureTest : public ::testing::Test {
 protected:
  int OpenFixture(const std::string& name, const std::string& table) {
    const std::string copy = TempPath(name);
    std::filesystem::copy_file(std::string(VARNOLDE_FIXTURES_DIR) + "/" + name, copy);
    EXPECT_EQ(store_.Open(copy, false), 0) << store_.LastError();
    return store_.OpenAView(table, false);
  }
  TableStore store_;
};

TEST_F(FixtureTest, TextIsWidenedFromWindows1252) {
  const int s = OpenFixture("strings_cp1252.mk", "text");
  ASSERT_GE(s, 0);
  EXPECT_EQ(Text(store_, s, 0, 0), "Café");
  EXPECT_EQ(Text(store_, s, 1, 0), "€ 100");
  EXPECT_EQ(Text(store_, s, 2, 0), "Straße");
  EXPECT_EQ(Text(store_, s, 3, 0), "naïve “quoted” – dash");
  EXPECT_EQ(Text(store_, s, 7, 0), "line1\r\nline2");
  EXPECT_EQ(store_.TableList(), "text,empties");
}

TEST_F(FixtureTest, NumbersOfEveryTypeReadWithTheirConversions) {
  const int s = OpenFixture("big_5000rows.mk", "big");
  ASSERT_GE(s, 0);
  EXPECT_EQ(store_.RowCount(s), 5000);
  std::string desc;
  store_.DescribeView(s, desc, false);
  EXPECT_EQ(desc, "big[id:I,name:S,qty:F,amount:D,flag:I,code:L,note:S]");
  // code 5000000000 = 2^32 + 705032704: only the low 32 bits are shown.
  EXPECT_EQ(Rows(store_, s)[0], "1|item-00000|0|-2000.5|1|705032704|n999");
  EXPECT_EQ(Rows(store_, s)[1], "2|item-00001|0.25|-1999.499|0|705032707|");
  int i = 0;
  store_.GetInt(s, 0, 3, i);
  EXPECT_EQ(i, -2000);  // (int)(-2000.5 + 0.5)
  store_.GetInt(s, 1, 3, i);
  EXPECT_EQ(i, -1998);  // (int)(-1999.499 + 0.5)
  store_.GetInt(s, 0, 5, i);
  EXPECT_EQ(i, 705032704);
  const int sel = store_.Select("big", "id", "flag=1,qty=0.75", "", "", "id=[1,300]");
  EXPECT_EQ(Rows(store_, sel), (std::vector<std::string>{"4", "295"}));
}

// ---- NextToken ----------------------------------------------------------------------

TEST(NextTokenTest, CutsAtTheFirstSeparatorAndTrims) {
  std::string rest = " SALE = 123 , LLR=4";
  std::string token;
  TableStore::NextToken(rest, token, "=");
  EXPECT_EQ(token, "SALE");
  EXPECT_EQ(rest, " 123 , LLR=4");
  TableStore::NextToken(rest, token, ",");
  EXPECT_EQ(token, "123");
  TableStore::NextToken(rest, token, ",=");
  EXPECT_EQ(token, "LLR");
  TableStore::NextToken(rest, token, ",");
  EXPECT_EQ(token, "4");
  EXPECT_EQ(rest, "");
  TableStore::NextToken(rest, token, ",");
  EXPECT_EQ(token, "");
}

TEST(NextTokenTest, EmptyTokensBetweenSeparators) {
  std::string rest = ",,a\t,";
  std::string token;
  TableStore::NextToken(rest, token, ",");
  EXPECT_EQ(token, "");
  EXPECT_EQ(rest, ",a\t,");
  TableStore::NextToken(rest, token, ",");
  TableStore::NextToken(rest, token, ",");
  EXPECT_EQ(token, "a");
  EXPECT_EQ(rest, "");
}

}  // namespace
}  // namespace tablestore
