#include "mkstore/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace mk {
namespace {

// A Log-like view: name text, number int, weight float.
class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_ = View::Create({{"name", PropertyType::kString, {}},
                          {"num", PropertyType::kInt, {}},
                          {"w", PropertyType::kFloat, {}},
                          {"big", PropertyType::kLong, {}},
                          {"d", PropertyType::kDouble, {}}});
    Add("pine", 3, 1.5f);
    Add("Oak", 1, 2.5f);
    Add("PINE", 2, 0.5f);
    Add("birch", 3, 4.0f);
  }

  void Add(const std::string& name, int num, float w) {
    const int r = view_.AddRow();
    view_.SetString(r, 0, name);
    view_.SetInt(r, 1, num);
    view_.SetFloat(r, 2, w);
  }

  std::vector<std::string> Names(const View& v) {
    std::vector<std::string> out;
    for (int r = 0; r < v.RowCount(); ++r) out.push_back(v.GetString(r, v.FindProperty("name")));
    return out;
  }

  View view_;
};

using Texts = std::vector<std::string>;

TEST_F(ViewTest, ValuesRoundTripByType) {
  EXPECT_EQ(view_.RowCount(), 4);
  EXPECT_EQ(view_.GetString(1, 0), "Oak");
  EXPECT_EQ(view_.GetInt(1, 1), 1);
  EXPECT_FLOAT_EQ(view_.GetFloat(1, 2), 2.5f);
  EXPECT_TRUE(view_.SetLong(0, 3, int64_t{1} << 40));
  EXPECT_EQ(view_.GetLong(0, 3), int64_t{1} << 40);
  EXPECT_TRUE(view_.SetDouble(0, 4, -0.125));
  EXPECT_EQ(view_.GetDouble(0, 4), -0.125);
}

TEST_F(ViewTest, TextWithoutACopy) {
  EXPECT_EQ(view_.GetText(1, 0), "Oak");
  EXPECT_EQ(view_.GetText(1, 1), "");  // an I property
  EXPECT_EQ(view_.GetText(4, 0), "");  // past the last row
  EXPECT_EQ(view_.GetText(-1, 0), "");
  EXPECT_EQ(view_.GetText(0, 5), "");  // past the last property
  EXPECT_EQ(View(nullptr).GetText(0, 0), "");
  // Derived views read through their row maps.
  View sorted = view_.SortOn({"name"});
  EXPECT_EQ(sorted.GetText(0, 0), "birch");
  View picked = view_.Project({"w", "name"});
  EXPECT_EQ(picked.GetText(2, 1), "PINE");
  EXPECT_EQ(picked.GetText(2, 0), "");
  // Texts end at a NUL inside them, as GetString does.
  ASSERT_TRUE(view_.SetString(3, 0, std::string("bir\0ch", 6)));
  EXPECT_EQ(view_.GetText(3, 0), "bir");
  EXPECT_EQ(view_.GetString(3, 0), "bir");
  EXPECT_EQ(sorted.GetText(0, 0), "bir");
}

TEST_F(ViewTest, AMovedFromHandleReadsNothing) {
  View moved = std::move(view_);
  EXPECT_FALSE(view_.IsValid());  // NOLINT(bugprone-use-after-move): what is left
  EXPECT_EQ(view_.GetInt(0, 1), 0);
  EXPECT_EQ(view_.GetText(0, 0), "");
  {
    View other = View::Create({{"n", PropertyType::kInt, {}}});
    other.AddRow();
    other.SetInt(0, 0, 5);
    view_ = std::move(other);
    EXPECT_FALSE(other.IsValid());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(other.GetInt(0, 0), 0);
  }
  EXPECT_EQ(view_.GetInt(0, 0), 5);  // the rows live on in the handle moved to
  EXPECT_EQ(moved.GetText(1, 0), "Oak");
}

TEST_F(ViewTest, GettersOfOtherTypesOrOutsideGiveZero) {
  EXPECT_EQ(view_.GetInt(0, 0), 0);    // S
  EXPECT_EQ(view_.GetInt(0, 2), 0);    // F
  EXPECT_EQ(view_.GetFloat(0, 1), 0);  // I
  EXPECT_EQ(view_.GetFloat(0, 0), 0);  // S
  EXPECT_EQ(view_.GetInt(4, 1), 0);
  EXPECT_EQ(view_.GetFloat(-1, 2), 0);
  EXPECT_EQ(view_.GetInt(0, -1), 0);
  EXPECT_EQ(View(nullptr).GetInt(0, 0), 0);
  EXPECT_EQ(View(nullptr).GetFloat(0, 0), 0);
  EXPECT_EQ(View().GetInt(0, 0), 0);
  // A handle sees rows added and removed through another handle.
  View other = view_;
  other.RemoveRows(0, 3);
  EXPECT_EQ(view_.GetInt(0, 1), 3);
  EXPECT_EQ(view_.GetInt(1, 1), 0);
  EXPECT_EQ(view_.GetText(0, 0), "birch");
  EXPECT_EQ(view_.GetText(1, 0), "");
}

TEST_F(ViewTest, WrongTypeOrOutOfRangeChangesNothing) {
  EXPECT_FALSE(view_.SetInt(0, 0, 5));
  EXPECT_FALSE(view_.SetString(0, 1, "x"));
  EXPECT_FALSE(view_.SetInt(4, 1, 5));
  EXPECT_FALSE(view_.SetInt(-1, 1, 5));
  EXPECT_FALSE(view_.SetInt(0, 9, 5));
  EXPECT_EQ(view_.GetInt(0, 0), 0);
  EXPECT_EQ(view_.GetString(0, 1), "");
  EXPECT_EQ(view_.GetInt(99, 1), 0);
  EXPECT_EQ(view_.GetString(0, 0), "pine");
}

TEST_F(ViewTest, TextIsRawBytesUpToTheFirstNul) {
  EXPECT_TRUE(view_.SetString(0, 0, std::string("caf\xe9\x80", 5)));
  EXPECT_EQ(view_.GetString(0, 0), std::string("caf\xe9\x80", 5));
  EXPECT_TRUE(view_.SetString(0, 0, std::string("a\0b", 3)));
  EXPECT_EQ(view_.GetString(0, 0), "a");
}

TEST_F(ViewTest, InsertRemoveAndSetSize) {
  view_.InsertRows(1, 2);
  EXPECT_EQ(Names(view_), (Texts{"pine", "", "", "Oak", "PINE", "birch"}));
  EXPECT_EQ(view_.GetInt(1, 1), 0);
  view_.RemoveRows(0, 3);
  EXPECT_EQ(Names(view_), (Texts{"Oak", "PINE", "birch"}));
  view_.SetSize(5);
  EXPECT_EQ(view_.RowCount(), 5);
  EXPECT_EQ(view_.GetString(4, 0), "");
  view_.SetSize(1);
  EXPECT_EQ(Names(view_), (Texts{"Oak"}));
  view_.SetSize(0);
  EXPECT_EQ(view_.RowCount(), 0);
}

TEST_F(ViewTest, OutOfRangeRowChangesAreRefused) {
  // Issue 17: a refused position says so, so no caller takes it for a row.
  EXPECT_FALSE(view_.InsertRows(5, 1));
  EXPECT_FALSE(view_.InsertRows(-1, 1));
  EXPECT_FALSE(view_.RemoveRows(3, 2));
  EXPECT_FALSE(view_.RemoveRows(-1, 1));
  EXPECT_FALSE(view_.SetSize(-1));
  EXPECT_FALSE(view_.InsertRowFrom(5, view_, 0));
  EXPECT_EQ(view_.RowCount(), 4);
  EXPECT_TRUE(view_.InsertRows(4, 0));  // nothing to do, at a valid position
}

TEST_F(ViewTest, FindPropertyIgnoresCase) {
  EXPECT_EQ(view_.FindProperty("NUM"), 1);
  EXPECT_EQ(view_.FindProperty("nope"), -1);
  EXPECT_EQ(view_.Describe(), "name:S,num:I,w:F,big:L,d:D");
}

TEST_F(ViewTest, SelectComparesTextWithoutCase) {
  View sel = view_.Select({{"name", std::string("Pine")}});
  EXPECT_EQ(Names(sel), (Texts{"pine", "PINE"}));
  EXPECT_EQ(sel.IndexInBase(0), 0);
  EXPECT_EQ(sel.IndexInBase(1), 2);
}

TEST_F(ViewTest, SelectComparesNumbersNumerically) {
  EXPECT_EQ(Names(view_.Select({{"num", int64_t{3}}})), (Texts{"pine", "birch"}));
  EXPECT_EQ(Names(view_.Select({{"w", 2.5}})), (Texts{"Oak"}));
  EXPECT_EQ(Names(view_.Select({{"num", 3.0}, {"name", std::string("BIRCH")}})), (Texts{"birch"}));
  EXPECT_EQ(Names(view_.Select({{"num", std::string("1")}})), (Texts{"Oak"}));
}

TEST_F(ViewTest, FloatCriteriaCompareAsFloats) {
  view_.SetFloat(3, 2, 0.1f);
  EXPECT_EQ(Names(view_.Select({{"w", 0.1}})), (Texts{"birch"}));
  EXPECT_EQ(Names(view_.Select({{"w", std::string("0.1")}})), (Texts{"birch"}));
  EXPECT_EQ(Names(view_.SelectRange({{"w", 0.1}}, {{"w", 0.5}})), (Texts{"PINE", "birch"}));
}

TEST_F(ViewTest, SelectIgnoresUnknownProperties) {
  EXPECT_EQ(view_.Select({{"nope", int64_t{1}}}).RowCount(), 4);
}

TEST_F(ViewTest, SelectRangeIsInclusive) {
  View range = view_.SelectRange({{"num", int64_t{2}}}, {{"num", int64_t{3}}});
  EXPECT_EQ(Names(range), (Texts{"pine", "PINE", "birch"}));
  View text = view_.SelectRange({{"name", std::string("b")}}, {{"name", std::string("OAK")}});
  EXPECT_EQ(Names(text), (Texts{"Oak", "birch"}));
}

TEST_F(ViewTest, SortIsAscendingAndStable) {
  EXPECT_EQ(Names(view_.SortOn({"num"})), (Texts{"Oak", "PINE", "pine", "birch"}));
  EXPECT_EQ(Names(view_.SortOn({"name"})), (Texts{"birch", "Oak", "pine", "PINE"}));
  View two = view_.SortOn({"num", "name"});
  EXPECT_EQ(Names(two), (Texts{"Oak", "PINE", "birch", "pine"}));
  EXPECT_EQ(two.IndexInBase(0), 1);
  EXPECT_EQ(two.IndexInBase(3), 0);
}

TEST_F(ViewTest, ProjectKeepsOrderAndWritesReachTheBase) {
  View p = view_.Project({"W", "name", "missing"});
  ASSERT_EQ(p.PropertyCount(), 2);
  EXPECT_EQ(p.NthProperty(0).name, "w");
  EXPECT_EQ(p.Describe(), "w:F,name:S");
  EXPECT_TRUE(p.SetString(1, 1, "elm"));
  EXPECT_EQ(view_.GetString(1, 0), "elm");
  EXPECT_EQ(p.IndexInBase(2), 2);
}

TEST_F(ViewTest, CloneHasPropertiesButNoRows) {
  View c = view_.Clone();
  EXPECT_EQ(c.RowCount(), 0);
  EXPECT_EQ(c.Describe(), view_.Describe());
  c.AddRow();
  EXPECT_EQ(view_.RowCount(), 4);
}

TEST_F(ViewTest, DerivedViewsFollowValueChanges) {
  View sel = view_.Select({{"name", std::string("pine")}});
  View sorted = view_.SortOn({"num"});
  view_.SetString(1, 0, "pine");
  EXPECT_EQ(sel.RowCount(), 3);
  view_.SetInt(3, 1, 0);
  EXPECT_EQ(Names(sorted), (Texts{"birch", "pine", "PINE", "pine"}));
}

TEST_F(ViewTest, WriteThroughSelectionLandsInBaseAndRowStopsMatching) {
  View sel = view_.Select({{"name", std::string("pine")}});
  ASSERT_EQ(sel.RowCount(), 2);
  EXPECT_TRUE(sel.SetString(0, 0, "spruce"));
  EXPECT_EQ(view_.GetString(0, 0), "spruce");
  EXPECT_EQ(Names(sel), (Texts{"PINE"}));
  EXPECT_EQ(sel.IndexInBase(0), 2);
}

TEST_F(ViewTest, RemovalThroughDerivedViewRemovesBaseRows) {
  View sel = view_.Select({{"name", std::string("pine")}});
  sel.RemoveRows(0, 2);
  EXPECT_EQ(Names(view_), (Texts{"Oak", "birch"}));
  EXPECT_EQ(sel.RowCount(), 0);
  View sorted = view_.SortOn({"name"});
  sorted.RemoveRows(0, 1);
  EXPECT_EQ(Names(view_), (Texts{"Oak"}));
}

TEST_F(ViewTest, InsertThroughDerivedViewAppendsToBase) {
  View sorted = view_.SortOn({"name"});
  sorted.InsertRows(0, 1);
  EXPECT_EQ(view_.RowCount(), 5);
  EXPECT_EQ(sorted.RowCount(), 5);
  EXPECT_EQ(sorted.GetString(0, 0), "");
  EXPECT_EQ(sorted.IndexInBase(0), 4);
  const int r = sorted.AddRow();
  EXPECT_EQ(r, 5);
  EXPECT_EQ(view_.RowCount(), 6);
}

TEST_F(ViewTest, BaseInsertsAndRemovalsShowInDerivedViews) {
  View sel = view_.Select({{"num", int64_t{3}}});
  view_.InsertRows(0, 1);
  view_.SetInt(0, 1, 3);
  EXPECT_EQ(sel.RowCount(), 3);
  EXPECT_EQ(sel.IndexInBase(1), 1);
  view_.RemoveRows(0, 2);
  EXPECT_EQ(Names(sel), (Texts{"birch"}));
}

TEST_F(ViewTest, DerivedOfDerivedResolvesToTheTable) {
  View chain = view_.Select({{"num", int64_t{3}}}).SortOn({"name"}).Project({"name"});
  EXPECT_EQ(Names(chain), (Texts{"birch", "pine"}));
  EXPECT_TRUE(chain.SetString(0, 0, "ash"));
  EXPECT_EQ(view_.GetString(3, 0), "ash");
  view_.SetInt(0, 1, 7);
  EXPECT_EQ(Names(chain), (Texts{"ash"}));
}

TEST_F(ViewTest, InsertRowFromCopiesByName) {
  View other = View::Create({{"NUM", PropertyType::kInt, {}},
                             {"extra", PropertyType::kString, {}},
                             {"name", PropertyType::kInt, {}}});
  other.AddRow();
  other.SetInt(0, 0, 42);
  other.SetString(0, 1, "x");
  other.SetInt(0, 2, 9);
  view_.InsertRowFrom(1, other, 0);
  EXPECT_EQ(view_.RowCount(), 5);
  EXPECT_EQ(view_.GetInt(1, 1), 42);
  EXPECT_EQ(view_.GetString(1, 0), "");  // same name, other type: left empty
  view_.InsertRowFrom(0, view_, 2);      // from itself
  EXPECT_EQ(view_.GetString(0, 0), "Oak");
}

TEST_F(ViewTest, InvalidViewIsHarmless) {
  View bad(nullptr);
  EXPECT_FALSE(bad.IsValid());
  EXPECT_EQ(bad.RowCount(), 0);
  EXPECT_EQ(bad.PropertyCount(), 0);
  EXPECT_FALSE(bad.SetInt(0, 0, 1));
  bad.InsertRows(0, 1);
  EXPECT_FALSE(bad.Select({}).IsValid());
  EXPECT_TRUE(View().IsValid());
}

// Differential check: selections and sorts against a plain computation.
TEST(ViewDifferentialTest, MatchesNaiveSelectAndSort) {
  std::mt19937 rng(7);
  View v = View::Create({{"k", PropertyType::kInt, {}}, {"s", PropertyType::kString, {}}});
  std::vector<std::pair<int, std::string>> ref;
  const char* words[] = {"a", "B", "b", "c", "A"};
  for (int i = 0; i < 300; ++i) {
    const int k = static_cast<int>(rng() % 10);
    const std::string s = words[rng() % 5];
    const int r = v.AddRow();
    v.SetInt(r, 0, k);
    v.SetString(r, 1, s);
    ref.emplace_back(k, s);
  }
  View sel = v.Select({{"k", int64_t{4}}, {"s", std::string("b")}});
  std::vector<int> expected;
  for (int i = 0; i < 300; ++i) {
    if (ref[i].first == 4 && (ref[i].second == "b" || ref[i].second == "B")) expected.push_back(i);
  }
  ASSERT_EQ(sel.RowCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < sel.RowCount(); ++i) EXPECT_EQ(sel.IndexInBase(i), expected[i]);

  std::vector<int> order(300);
  for (int i = 0; i < 300; ++i) order[i] = i;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    if (lower(ref[a].second) != lower(ref[b].second))
      return lower(ref[a].second) < lower(ref[b].second);
    return ref[a].first < ref[b].first;
  });
  View sorted = v.SortOn({"s", "k"});
  for (int i = 0; i < 300; ++i) EXPECT_EQ(sorted.IndexInBase(i), order[i]);
}

}  // namespace
}  // namespace mk

namespace mk {
namespace {

TEST(ViewSortTest, NumbersSortNumericallyWithNanFirstAndSignedZerosTied) {
  View v = View::Create({{"f", PropertyType::kFloat, {}},
                         {"d", PropertyType::kDouble, {}},
                         {"l", PropertyType::kLong, {}},
                         {"b", PropertyType::kBytes, {}}});
  const float fs[] = {2.5f, -0.0f, std::nanf(""), -3.0f, 0.0f, 1e30f};
  for (float f : fs) v.SetFloat(v.AddRow(), 0, f);
  View byF = v.SortOn({"f"});
  const int expected[] = {2, 3, 1, 4, 0, 5};  // NaN, -3, -0 and 0 in row order, 2.5, 1e30
  for (int i = 0; i < 6; ++i) EXPECT_EQ(byF.IndexInBase(i), expected[i]) << i;

  const double ds[] = {1e300, -1e-300, 0.0, -1e300, 5.0, -0.0};
  const int64_t ls[] = {INT64_MIN, -1, INT64_MAX, 0, 1, -2};
  const char* bs[] = {"\xff", "", "a", "\x01", "A", "a\x00"};
  for (int r = 0; r < 6; ++r) {
    v.SetDouble(r, 1, ds[r]);
    v.SetLong(r, 2, ls[r]);
    v.SetBytes(r, 3, std::string(bs[r], r == 5 ? 2 : std::strlen(bs[r])));
  }
  View byD = v.SortOn({"d"});
  const int expectedD[] = {3, 1, 2, 5, 4, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(byD.IndexInBase(i), expectedD[i]) << i;
  View byL = v.SortOn({"l"});
  const int expectedL[] = {0, 5, 1, 3, 4, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(byL.IndexInBase(i), expectedL[i]) << i;
  View byB = v.SortOn({"b"});  // bytes compare as unsigned, case matters
  const int expectedB[] = {1, 3, 4, 2, 5, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(byB.IndexInBase(i), expectedB[i]) << i;
}

}  // namespace
}  // namespace mk
