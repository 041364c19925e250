#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tablestore/table_store.h"
#include "tablestore/test_util.h"

namespace tablestore {
namespace {

using testing::AppendRow;
using testing::OpenCopyOf;
using testing::Rows;
using testing::TempPath;
using testing::Text;

// One Log row of the reference model; values are kept as the texts written.
struct RefRow {
  std::string sale, llr, log, ln, vd;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempPath("select.scl");
    ASSERT_EQ(store_.Open(path_, false), 0);
    ASSERT_EQ(store_.DefineTable("Log[SALE:S,LLR:S,LOG:I,LN:F,VOID:I]"), 0);
    ASSERT_EQ(store_.DefineTable("Globals[Block:S,Key:S,Value:S]"), 0);
    log_ = store_.OpenAView("Log", false);
  }

  // Fills Log with `n` rows whose values repeat in short, coprime cycles.
  void FillLog(int n) {
    const char* sales[] = {"ab12", "AB12", "cd", "Cd", "ab12 "};
    const char* llrs[] = {"2", "1", "3"};
    const char* lns[] = {"8", "12.5", "16", "40", "41", "12.50"};
    for (int i = 0; i < n; ++i) {
      RefRow r{sales[i % 5], llrs[i % 3], std::to_string(i), lns[i % 6], i % 4 == 3 ? "1" : "0"};
      AppendRow(store_, log_, {r.sale, r.llr, r.log, r.ln, r.vd});
      ref_.push_back(r);
    }
  }

  // The reference rows as the store shows them ("12.50" reads back as 12.5).
  static std::string Shown(const RefRow& r, const std::vector<int>& cols) {
    const std::string ln = r.ln == "12.50" ? "12.5" : r.ln;
    const std::string all[] = {r.sale == "ab12 " ? "ab12 " : r.sale, r.llr, r.log, ln, r.vd};
    std::string line;
    for (size_t i = 0; i < cols.size(); ++i) {
      if (i > 0) line += '|';
      line += all[cols[i]];
    }
    return line;
  }

  void AddSetting(const std::string& block, const std::string& key, const std::string& value) {
    const int g = store_.FindView("Globals") >= 0 ? store_.FindView("Globals")
                                                  : store_.OpenAView("Globals", false);
    AppendRow(store_, g, {block, key, value});
  }

  std::string path_;
  TableStore store_;
  int log_ = -1;
  std::vector<RefRow> ref_;
};

// ---- The four texts in every combination -----------------------------------------------

TEST_F(SelectionTest, AllSixteenCombinationsMatchAPlainReference) {
  FillLog(60);
  for (int mask = 0; mask < 16; ++mask) {
    const bool crit = mask & 1, range = mask & 2, sort = mask & 4, proj = mask & 8;
    std::vector<RefRow> rows = ref_;
    // Criteria: SALE equals ab12 without regard to case (the blank of "ab12 "
    // makes another value), VOID is 0.
    if (crit) {
      std::erase_if(rows, [](const RefRow& r) { return Lower(r.sale) != "ab12" || r.vd != "0"; });
    }
    if (range) {
      std::erase_if(rows, [](const RefRow& r) {
        const double ln = std::stod(r.ln);
        return ln < 12.5 || ln > 40;
      });
    }
    if (sort) {
      std::stable_sort(rows.begin(), rows.end(), [](const RefRow& a, const RefRow& b) {
        if (a.llr != b.llr) return a.llr < b.llr;
        return std::stod(a.ln) < std::stod(b.ln);
      });
    }
    const std::vector<int> cols =
        proj ? std::vector<int>{2, 0, 3} : std::vector<int>{0, 1, 2, 3, 4};
    std::vector<std::string> expected;
    for (const RefRow& r : rows) expected.push_back(Shown(r, cols));

    const int slot =
        store_.Select("Log", proj ? "LOG, sale ,LN" : "", crit ? "SALE=AB12,VOID=0" : "",
                      sort ? "LLR,LN" : "", "", range ? "LN=[12.5,40]" : "");
    ASSERT_GE(slot, 0) << mask;
    EXPECT_EQ(Rows(store_, slot), expected) << "combination " << mask;
    EXPECT_EQ(store_.FindView("DLog"), slot);
    EXPECT_EQ(store_.ReleaseView(slot), 0);
  }
}

TEST_F(SelectionTest, EmptyTextsGiveAllRowsAndColumnsNamedDPlusTable) {
  FillLog(3);
  const int slot = store_.Select("Log", "", "", "", "", "");
  EXPECT_EQ(store_.FindView("DLog"), slot);
  EXPECT_EQ(Rows(store_, slot), Rows(store_, log_));
  std::string desc;
  store_.DescribeView(slot, desc, false);
  EXPECT_EQ(desc, "DLog[SALE:S,LLR:S,LOG:I,LN:F,VOID:I]");
}

// ---- Criteria ----------------------------------------------------------------------

TEST_F(SelectionTest, BlanksAroundNamesAndValuesAreDropped) {
  FillLog(20);
  const int a = store_.Select("Log", "LOG", "SALE= cd , LLR=1", "", "A", "");
  const int b = store_.Select("Log", "LOG", "SALE=cd,LLR=1", "", "B", "");
  EXPECT_EQ(Rows(store_, a), Rows(store_, b));
  EXPECT_EQ(Rows(store_, a), (std::vector<std::string>{"7", "13"}));
}

TEST_F(SelectionTest, TextCriteriaIgnoreLetterCase) {
  FillLog(5);
  const int s = store_.Select("Log", "LOG", "SALE=aB12", "", "", "");
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"0", "1"}));
}

TEST_F(SelectionTest, FloatCriterionMatchesItsValueNotItsText) {
  FillLog(12);
  const int s = store_.Select("Log", "LOG", "LN=12.50", "", "", "");
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"1", "5", "7", "11"}));
  const int t = store_.Select("Log", "LOG", "LN=16.0", "", "T", "");
  EXPECT_EQ(Rows(store_, t), (std::vector<std::string>{"2", "8"}));
}

TEST_F(SelectionTest, FloatCriterionWithAnInexactValueMatches) {
  const int r = AppendRow(store_, log_, {"x", "", "1", "0.1"});
  ASSERT_EQ(r, 0);
  EXPECT_EQ(store_.RowCount(store_.Select("Log", "", "LN=0.1", "", "", "")), 1);
}

TEST_F(SelectionTest, NumericCriterionThatIsNoNumberComparesWithZero) {
  FillLog(8);
  const int s = store_.Select("Log", "LOG", "VOID=none,LLR=2", "", "", "");
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"0", "6"}));
}

TEST_F(SelectionTest, ACommaInAValueStartsTheNextName) {
  FillLog(3);
  EXPECT_EQ(store_.Select("Log", "", "SALE=a,b", "", "", ""), -3);
}

TEST_F(SelectionTest, CriteriaMatchingNothingGiveAnEmptyView) {
  FillLog(3);
  const int s = store_.Select("Log", "", "SALE=zz", "", "", "");
  ASSERT_GE(s, 0);
  EXPECT_EQ(store_.RowCount(s), 0);
}

TEST_F(SelectionTest, RepeatedColumnTakesTheLastValue) {
  FillLog(6);
  const int s = store_.Select("Log", "LOG", "LLR=2,LLR=3", "", "", "");
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"2", "5"}));
}

TEST_F(SelectionTest, RangeBoundsAreInclusiveAndMayCarryBlanks) {
  FillLog(6);
  const int s = store_.Select("Log", "LOG", "", "", "", "LN=[ 16 , 40 ],LOG=[0,2]");
  EXPECT_EQ(Rows(store_, s), (std::vector<std::string>{"2"}));
  const int t = store_.Select("Log", "LOG", "", "", "T", "SALE=[ab,cd]");
  EXPECT_EQ(Rows(store_, t), (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
}

// ---- Unknown columns ------------------------------------------------------------------

TEST_F(SelectionTest, UnknownColumnNamesGiveMinusThreeAndTakeNoSlot) {
  FillLog(2);
  EXPECT_EQ(store_.Select("Log", "LOG,NOPE", "", "", "", ""), -3);
  EXPECT_EQ(store_.Select("Log", "", "NOPE=1", "", "", ""), -3);
  EXPECT_EQ(store_.Select("Log", "", "", "LOG,NOPE", "", ""), -3);
  EXPECT_EQ(store_.Select("Log", "", "", "", "", "NOPE=[1,2]"), -3);
  EXPECT_EQ(store_.Select("Log", ",LOG", "", "", "", ""), -3);
  EXPECT_EQ(store_.GetViewIndex("next"), log_ + 1);
}

TEST_F(SelectionTest, UnknownTable) {
  EXPECT_EQ(store_.Select("Nope", "", "", "", "", ""), -1);
  EXPECT_EQ(store_.GetViewIndex("next"), log_ + 1);
}

// ---- Slots ----------------------------------------------------------------------------

TEST_F(SelectionTest, ATableNotInASlotIsOpenedAndStaysOpen) {
  AddSetting("System", "Finalized", "NO");
  store_.ReleaseViewByName("Globals");
  const int s = store_.Select("Globals", "Value", "Key=Finalized", "", "", "");
  const int g = store_.FindView("Globals");
  ASSERT_GE(g, 0);
  EXPECT_LT(g, s);
  EXPECT_EQ(Rows(store_, s), std::vector<std::string>{"NO"});
}

TEST_F(SelectionTest, ScratchSlotsAreTakenDuringTheCall) {
  FillLog(3);
  // Slot 0 holds Log; "SelCrit" takes 1 and "SelRCrit" 2 while the result is
  // made, so the result gets 3 and 1 and 2 are free again afterwards.
  const int s = store_.Select("Log", "", "LLR=1", "", "", "LOG=[0,9]");
  EXPECT_EQ(s, 3);
  EXPECT_EQ(store_.FindView("SelCrit"), -1);
  EXPECT_EQ(store_.FindView("SelRCrit"), -1);
  EXPECT_EQ(store_.GetViewIndex("x"), 1);
  // Without criteria no scratch slot is taken.
  EXPECT_EQ(store_.Select("Log", "", "", "LOG", "", ""), 2);
}

TEST_F(SelectionTest, NoFreeSlotForTheResult) {
  FillLog(3);
  while (store_.GetViewIndex("filler") >= 0) {
  }
  EXPECT_EQ(store_.Select("Log", "", "", "", "", ""), -1);
  store_.ReleaseView(24);
  // The criteria take the last free slot, so the result finds none.
  EXPECT_EQ(store_.Select("Log", "", "LLR=1", "", "", ""), -1);
  EXPECT_EQ(store_.FindView("SelCrit"), -1);
  EXPECT_EQ(store_.Select("Log", "", "", "", "", ""), 24);
}

TEST_F(SelectionTest, TwoSelectsWithOneNameTakeTwoSlots) {
  FillLog(3);
  const int a = store_.GetViewIndex("a");
  const int first = store_.Select("Log", "", "", "", "Same", "");
  store_.ReleaseView(a);
  const int second = store_.Select("Log", "", "", "", "Same", "");
  EXPECT_NE(first, second);
  EXPECT_LT(second, first);  // the later one took the lower, freed slot
  EXPECT_EQ(store_.FindView("Same"), first);
}

// ---- Derived views of derived views -------------------------------------------------------

TEST_F(SelectionTest, SelectOnAnEarlierDerivedViewNarrowsItAndWritesReachTheTable) {
  FillLog(30);
  const int live = store_.Select("Log", "", "VOID=0", "LOG", "DLive", "");
  const int narrow = store_.Select("DLive", "LOG,LLR", "SALE=cd", "", "DNarrow", "LOG=[10,20]");
  ASSERT_GE(narrow, 0);
  EXPECT_EQ(Rows(store_, narrow), (std::vector<std::string>{"12|2", "13|1", "17|3", "18|2"}));
  EXPECT_EQ(store_.SetText(narrow, 1, 1, "changed"), 0);
  EXPECT_EQ(Text(store_, log_, 13, 1), "changed");
  EXPECT_EQ(store_.SetInt(narrow, 0, 0, 99), 0);
  EXPECT_EQ(Text(store_, log_, 12, 2), "99");
  // Row 12 has left the range; the narrowed view follows at once.
  EXPECT_EQ(Rows(store_, narrow), (std::vector<std::string>{"13|changed", "17|3", "18|2"}));
  // Adding through the narrowed view appends to the stored table.
  EXPECT_EQ(store_.AddRow(narrow, 0), 30);
  EXPECT_EQ(store_.RowCount(log_), 31);
  EXPECT_EQ(store_.RowCount(live), 24);
}

TEST_F(SelectionTest, SelectNamedLikeItsSourceStillWritesToTheSource) {
  FillLog(3);
  const int first = store_.Select("Log", "", "", "LOG", "Dup", "");
  const int second = store_.Select("Dup", "LOG", "", "", "Dup", "");
  ASSERT_GT(second, first);
  EXPECT_EQ(store_.SetInt(second, 2, 0, 7), 0);
  EXPECT_EQ(Text(store_, log_, 2, 2), "7");
}

TEST_F(SelectionTest, SortIsStable) {
  FillLog(9);
  const int s = store_.Select("Log", "LOG", "", "SALE", "", "");
  EXPECT_EQ(Rows(store_, s),
            (std::vector<std::string>{"0", "1", "5", "6", "4", "2", "3", "7", "8"}));
}

// ---- KeyRetrieve ------------------------------------------------------------------------

TEST_F(SelectionTest, KeyRetrieveReadsAndWritesOneValue) {
  AddSetting("System", "FileType", "production");
  AddSetting("Option", "FileType", "other");
  std::string value;
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=system,Key=FILETYPE", "Value", value, false), 0);
  EXPECT_EQ(value, "production");
  value = "check scale";
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=System,Key=FileType", "Value", value, true), 0);
  const int g = store_.FindView("Globals");
  EXPECT_EQ(Text(store_, g, 0, 2), "check scale");
  EXPECT_EQ(Text(store_, g, 1, 2), "other");
  EXPECT_EQ(store_.FindView("_KeyRetrieve_"), -1);
}

TEST_F(SelectionTest, KeyRetrieveNeedsExactlyOneRow) {
  AddSetting("System", "Dup", "a");
  AddSetting("System", "Dup", "b");
  std::string value = "untouched";
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=System,Key=Dup", "Value", value, false), -3);
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=System,Key=None", "Value", value, false), -3);
  EXPECT_EQ(value, "untouched");
  value = "new";
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=System,Key=None", "Value", value, true), -3);
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Block=System,Key=Dup", "Value", value, true), -3);
  const int g = store_.FindView("Globals");
  EXPECT_EQ(Rows(store_, g), (std::vector<std::string>{"System|Dup|a", "System|Dup|b"}));
}

TEST_F(SelectionTest, KeyRetrieveFailures) {
  std::string value;
  EXPECT_EQ(store_.KeyRetrieve("Nope", "a=1", "Value", value, false), -1);
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Nope=1", "Value", value, false), -2);
  EXPECT_EQ(store_.KeyRetrieve("Globals", "Key=1", "Nope", value, false), -2);
  // The table it opened for the call is released again.
  EXPECT_EQ(store_.FindView("Globals"), -1);
  TableStore closed;
  EXPECT_EQ(closed.KeyRetrieve("Globals", "Key=1", "Value", value, false), -1);
}

TEST_F(SelectionTest, KeyRetrieveStoreOnATableItOpenedInMemoryIsCommittedAtOnce) {
  AddSetting("System", "Finalized", "NO");
  store_.ReleaseViewByName("Globals");
  ASSERT_EQ(store_.Commit(), 0);
  ASSERT_EQ(store_.Close(), 0);
  const std::string path = path_;
  TableStore store;
  ASSERT_EQ(store.Open(path, true), 0);
  std::string value = "YES";
  EXPECT_EQ(store.KeyRetrieve("Globals", "Block=System,Key=Finalized", "Value", value, true), 0);
  // Another store on the same file sees the change without any Commit call.
  TableStore reader;
  ASSERT_EQ(OpenCopyOf(reader, path), 0);
  std::string read;
  EXPECT_EQ(reader.KeyRetrieve("Globals", "Block=System,Key=Finalized", "Value", read, false), 0);
  EXPECT_EQ(read, "YES");
}

}  // namespace
}  // namespace tablestore
