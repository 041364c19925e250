#include "mkstore/writer.h"

#include <gtest/gtest.h>

#include "mkstore/json_dump.h"
#include "mkstore/storage.h"
#include "mkstore/test_util.h"

namespace mk {
namespace {

using testing::CopyFixture;
using testing::kFixtures;
using testing::ReadFile;
using testing::TempPath;

std::unique_ptr<Storage> OpenOrDie(const std::string& path) {
  std::unique_ptr<Storage> s;
  const Status st = Storage::Open(path, &s);
  EXPECT_TRUE(st.ok()) << st.ToString();
  return s;
}

// A second look at a file that a Storage still holds: as a reader.
std::unique_ptr<Storage> ReadOnlyOrDie(const std::string& path) {
  std::unique_ptr<Storage> s;
  const Status st = Storage::OpenReadOnly(path, &s);
  EXPECT_TRUE(st.ok()) << st.ToString();
  return s;
}

std::string Dump(const std::string& path) {
  std::unique_ptr<Storage> s;
  const Status st = Storage::OpenReadOnly(path, &s);
  return st.ok() ? DumpJson(*s) : st.ToString();
}

// Sets every value of every view to itself, so that every column is rewritten.
void TouchEverything(Storage* s) {
  for (const std::string& name : s->ViewNames()) {
    View v = s->GetView(name);
    for (int c = 0; c < v.PropertyCount(); ++c) {
      if (v.RowCount() == 0) continue;
      switch (v.NthProperty(c).type) {
        case PropertyType::kInt:
          v.SetInt(0, c, v.GetInt(0, c));
          break;
        case PropertyType::kLong:
          v.SetLong(0, c, v.GetLong(0, c));
          break;
        case PropertyType::kFloat:
          v.SetFloat(0, c, v.GetFloat(0, c));
          break;
        case PropertyType::kDouble:
          v.SetDouble(0, c, v.GetDouble(0, c));
          break;
        case PropertyType::kString:
          v.SetString(0, c, v.GetString(0, c));
          break;
        case PropertyType::kBytes:
          v.SetBytes(0, c, v.GetBytes(0, c));
          break;
        default:
          break;
      }
    }
  }
}

class RoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTripTest, PackedRewriteKeepsTheContents) {
  const std::string path = CopyFixture(GetParam());
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/" + GetParam() + ".mk.json"));
  EXPECT_EQ(DumpJson(*s), ReadFile(kFixtures + "/" + GetParam() + ".mk.json"));
}

TEST_P(RoundTripTest, IncrementalRewriteOfEveryColumnKeepsTheContents) {
  const std::string path = CopyFixture(GetParam());
  auto s = OpenOrDie(path);
  TouchEverything(s.get());
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/" + GetParam() + ".mk.json"));
  // And once more, now reusing the space the first commit freed.
  TouchEverything(s.get());
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/" + GetParam() + ".mk.json"));
}

TEST_P(RoundTripTest, CommitWithoutChangesWritesNothing) {
  const std::string path = CopyFixture(GetParam());
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(ReadFile(path), ReadFile(kFixtures + "/" + GetParam() + ".mk"));
}

INSTANTIATE_TEST_SUITE_P(AllFixtures, RoundTripTest, ::testing::ValuesIn(testing::FixtureNames()),
                         [](const auto& info) { return info.param; });

// Files Metakit wrote in one pass: a packed rewrite gives the same bytes.
class SinglePassTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SinglePassTest, PackedRewriteReproducesMetakitsBytes) {
  const std::string path = CopyFixture(GetParam());
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_EQ(ReadFile(path), ReadFile(kFixtures + "/" + GetParam() + ".mk"));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SinglePassTest,
                         ::testing::Values("empty_saveto", "int_3rows", "string_3rows", "type_I",
                                           "type_L", "type_F", "type_D", "type_S", "type_B",
                                           "float_adaptive", "strings_cp1252", "memo_large_items",
                                           "zero_rows", "big_5000rows", "multi_table_db",
                                           "nested_subview", "bigendian_flipped"),
                         [](const auto& info) { return info.param; });

TEST(WriterTest, PackedRewriteOfIntWidthsDiffersOnlyInPaddingBits) {
  const std::string path = CopyFixture("int_widths");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->CommitPacked().ok());
  const std::string ours = ReadFile(path);
  const std::string theirs = ReadFile(kFixtures + "/int_widths.mk");
  ASSERT_EQ(ours.size(), theirs.size());
  int differing = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    if (ours[i] != theirs[i]) {
      ++differing;
      // Only the unused high nibble of a 4-bit column's last byte.
      EXPECT_EQ(ours[i] & 0x0F, theirs[i] & 0x0F) << "offset " << i;
      EXPECT_EQ(ours[i] & 0xF0, 0) << "offset " << i;
    }
  }
  EXPECT_LE(differing, 3);
}

TEST(WriterTest, PackedRewriteMatchesMetakitsSaveTo) {
  const std::string path = CopyFixture("multi_commit_reuse");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_EQ(ReadFile(path), ReadFile(kFixtures + "/saveto_compacted.mk"));
}

TEST(WriterTest, FirstCommitOfANewFileIsMetakitsLayout) {
  const std::string path = TempPath("new_int_3rows.mk");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Restructure("v[a:I]").ok());
  View v = s->GetView("v");
  for (int i = 1; i <= 3; ++i) v.SetInt(v.AddRow(), 0, i);
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(ReadFile(path), ReadFile(kFixtures + "/int_3rows.mk"));
}

TEST(WriterTest, CommittingNothingToANewFileLeavesItEmpty) {
  const std::string path = TempPath("empty.mk");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(ReadFile(path), "");
}

TEST(WriterTest, EmptyingAStorageWritesAnEmptyTableOfContents) {
  const std::string path = CopyFixture("int_3rows");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Restructure("v").ok());
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/empty_saveto.mk.json"));
}

TEST(WriterTest, GrowingCommitAppendsAndKeepsTheOldDataIntact) {
  const std::string path = CopyFixture("int_3rows");
  const std::string before = ReadFile(path);
  auto s = OpenOrDie(path);
  View v = s->GetView("v");
  v.SetInt(v.AddRow(), 0, 300);
  ASSERT_TRUE(s->Commit().ok());
  const std::string after = ReadFile(path);
  // Header rewritten; the old dataset's other bytes untouched.
  EXPECT_EQ(after.substr(8, before.size() - 8), before.substr(8));
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/two_commits.mk.json"));
}

TEST(WriterTest, UnchangedColumnsStayInPlace) {
  const std::string path = CopyFixture("restructure_getas");
  const std::string before = ReadFile(path);
  auto s = OpenOrDie(path);
  View parts = s->GetView("parts");
  parts.SetInt(0, parts.FindProperty("count"), 77);
  ASSERT_TRUE(s->Commit().ok());
  const std::string after = ReadFile(path);
  // pn's data is at offset 8 and was not rewritten.
  EXPECT_EQ(after.substr(8, 30), before.substr(8, 30));
  auto again = ReadOnlyOrDie(path);
  EXPECT_EQ(again->GetView("parts").GetInt(0, 2), 77);
  EXPECT_EQ(again->GetView("parts").GetString(1, 3), "Acme");
}

TEST(WriterTest, RepeatedCommitsReuseFreedSpace) {
  const std::string path = TempPath("reuse.mk");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Restructure("t[n:I,s:S]").ok());
  View t = s->GetView("t");
  for (int i = 0; i < 1000; ++i) {
    const int r = t.AddRow();
    t.SetInt(r, 0, i * 1000);
    t.SetString(r, 1, "row " + std::to_string(i));
  }
  ASSERT_TRUE(s->Commit().ok());
  const auto packed = static_cast<double>(std::filesystem::file_size(path));
  for (int i = 0; i < 50; ++i) {
    t.SetInt(i, 0, -i);
    ASSERT_TRUE(s->Commit().ok());
  }
  // At most one more copy of the rewritten 4000-byte column, plus the small
  // structure columns: freed space is reused instead of appended to.
  EXPECT_LE(static_cast<double>(std::filesystem::file_size(path)), packed + 4000 + 256);
  auto again = ReadOnlyOrDie(path);
  EXPECT_EQ(again->GetView("t").GetInt(49, 0), -49);
  EXPECT_EQ(again->GetView("t").GetInt(50, 0), 50000);
  EXPECT_EQ(again->GetView("t").GetString(999, 1), "row 999");
}

TEST(WriterTest, RestructureAndCommitKeepsDataAcrossReopen) {
  const std::string path = CopyFixture("multi_table_db");
  auto s = OpenOrDie(path);
  ASSERT_TRUE(s->Restructure("Load[SALE:S,NEW:L,MINLEN:I]").ok());
  ASSERT_TRUE(s->Restructure("Globals").ok());
  s->GetView("Load").SetLong(0, 1, int64_t{1} << 40);
  ASSERT_TRUE(s->Commit().ok());
  auto again = ReadOnlyOrDie(path);
  EXPECT_EQ(again->Description().find("Globals"), std::string::npos);
  View load = again->GetView("Load");
  EXPECT_EQ(load.Describe(), "SALE:S,NEW:L,MINLEN:I");
  EXPECT_EQ(load.GetLong(0, 1), int64_t{1} << 40);
  EXPECT_EQ(load.GetString(0, 0), s->GetView("Load").GetString(0, 0));
}

TEST(WriterTest, BigEndianFilesStayBigEndian) {
  const std::string path = CopyFixture("bigendian_flipped");
  auto s = OpenOrDie(path);
  TouchEverything(s.get());
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(ReadFile(path).substr(0, 2), "LJ");
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/bigendian_flipped.mk.json"));
}

TEST(WriterTest, AppendedDatasetKeepsItsForeignPrefix) {
  const std::string path = CopyFixture("base_offset_appended");
  const std::string prefix = ReadFile(path).substr(0, 100);
  auto s = OpenOrDie(path);
  TouchEverything(s.get());
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(ReadFile(path).substr(0, 100), prefix);
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_EQ(ReadFile(path).substr(0, 100), prefix);
  EXPECT_EQ(Dump(path), ReadFile(kFixtures + "/base_offset_appended.mk.json"));
}

TEST(WriterTest, CopiedAndNewSubviewsAreWrittenIncrementally) {
  const std::string path = CopyFixture("nested_subview");
  auto s = OpenOrDie(path);
  View orders = s->GetView("orders");
  orders.InsertRowFrom(1, orders, 0);  // deep copy of two lines with their tags
  orders.InsertRows(0, 1);             // empty subviews
  orders.SetInt(0, 0, 99);
  const std::string expected = DumpJson(*s);
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(Dump(path), expected);
  orders.RemoveRows(3, 1);  // drop the original "Jones" row, then pack
  const std::string after = DumpJson(*s);
  ASSERT_TRUE(s->Commit().ok());
  EXPECT_EQ(Dump(path), after);
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_EQ(Dump(path), after);
}

TEST(WriterTest, ReadOnlyStorageRefusesToCommit) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::OpenReadOnly(kFixtures + "/int_3rows.mk", &s).ok());
  EXPECT_EQ(s->Commit().code(), Status::Code::kNotSupported);
}

}  // namespace
}  // namespace mk
