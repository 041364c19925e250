#include "mkstore/storage.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <filesystem>
#include <thread>

#include "mkstore/file.h"
#include "mkstore/json_dump.h"
#include "mkstore/test_util.h"
#include "mkstore/view_impl.h"

namespace mk {
namespace {

using testing::FixtureNames;
using testing::kFixtures;
using testing::ReadFile;

class FixtureTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureTest, ReadingReproducesTheReferenceDump) {
  const std::string path = kFixtures + "/" + GetParam() + ".mk";
  std::unique_ptr<Storage> storage;
  ASSERT_TRUE(Storage::OpenReadOnly(path, &storage).ok());
  EXPECT_EQ(DumpJson(*storage), ReadFile(path + ".json"));
}

// Every cell of `v` (a view over a whole table) read through the getters
// equals the engine's own reading of it, and cells outside give nothing.
void ExpectGettersMatchTheTable(const View& v, const std::string& what) {
  const Table& t = *v.impl()->table();
  for (int c = 0; c < v.PropertyCount(); ++c) {
    for (int r = 0; r < v.RowCount(); ++r) {
      ASSERT_EQ(v.GetInt(r, c), t.GetInt(r, c)) << what << " row " << r << " col " << c;
      ASSERT_EQ(std::bit_cast<int32_t>(v.GetFloat(r, c)), std::bit_cast<int32_t>(t.GetFloat(r, c)))
          << what << " row " << r << " col " << c;
      ASSERT_EQ(v.GetText(r, c), t.TextView(r, c)) << what << " row " << r << " col " << c;
      ASSERT_EQ(v.GetString(r, c), t.TextView(r, c)) << what << " row " << r << " col " << c;
    }
    for (int r : {-1, v.RowCount(), v.RowCount() + 7}) {
      EXPECT_EQ(v.GetInt(r, c), 0) << what;
      EXPECT_EQ(v.GetFloat(r, c), 0.0f) << what;
      EXPECT_EQ(v.GetText(r, c), "") << what;
    }
  }
  for (int c : {-1, v.PropertyCount()}) {
    EXPECT_EQ(v.GetInt(0, c), 0) << what;
    EXPECT_EQ(v.GetFloat(0, c), 0.0f) << what;
    EXPECT_EQ(v.GetText(0, c), "") << what;
  }
}

// The getters read most columns in place, without the engine: every width,
// byte order, memo, embedded NUL and subview shape of the fixtures must
// read the same either way, as read and after changes of every kind.
TEST_P(FixtureTest, GettersAgreeWithTheEngineBeforeAndAfterChanges) {
  std::unique_ptr<Storage> storage;
  ASSERT_TRUE(Storage::Open(testing::CopyFixture(GetParam()), &storage).ok());
  for (const std::string& name : storage->ViewNames()) {
    View v = storage->GetView(name);
    ExpectGettersMatchTheTable(v, name + " as read");
    if (v.RowCount() == 0) continue;
    for (int c = 0; c < v.PropertyCount(); ++c) {
      v.SetInt(v.RowCount() - 1, c, -77);
      v.SetFloat(0, c, 2.5f);
      v.SetString(0, c, "changed");
    }
    ExpectGettersMatchTheTable(v, name + " after setting values");
    v.InsertRows(1, 2);
    v.RemoveRows(0, 1);
    ExpectGettersMatchTheTable(v, name + " after inserting and removing rows");
  }
}

INSTANTIATE_TEST_SUITE_P(AllFixtures, FixtureTest, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) { return info.param; });

TEST(FixtureListTest, AllTwentySixFilesAreThere) { EXPECT_EQ(FixtureNames().size(), 26u); }

}  // namespace
}  // namespace mk

namespace mk {
namespace {

using testing::kFixtures;

class StorageTest : public ::testing::Test {
 protected:
  std::string TempPath(const std::string& name) { return testing::TempPath(name); }
};

TEST_F(StorageTest, MissingFileOpensEmptyAndCreatesNothing) {
  const std::string path = TempPath("missing.mk");
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(path, &s).ok());
  EXPECT_EQ(s->Description(), "");
  EXPECT_TRUE(s->ViewNames().empty());
  EXPECT_FALSE(s->GetView("Log").IsValid());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(s->path(), path);
}

TEST_F(StorageTest, ReadOnlyOpenOfMissingFileIsNotFound) {
  std::unique_ptr<Storage> s;
  EXPECT_TRUE(Storage::OpenReadOnly(TempPath("nothing.mk"), &s).IsNotFound());
}

TEST_F(StorageTest, NamedViewsAreFoundWithoutRegardToCase) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::OpenReadOnly(kFixtures + "/multi_table_db.mk", &s).ok());
  EXPECT_EQ(s->ViewNames(),
            (std::vector<std::string>{"DataDictionary", "Globals", "MessageLog", "Log", "Load"}));
  View log = s->GetView("LOG");
  ASSERT_TRUE(log.IsValid());
  EXPECT_EQ(log.Describe(), "LOG:I,S:S,SP:S,P:I,LN:I,SD:I,LD:I,GCV:F,NCV:F,VOID:I");
}

TEST_F(StorageTest, RestructureKeepsMatchingColumnsAndAddsEmptyOnes) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(kFixtures + "/restructure_getas.mk", &s).ok());
  View before = s->GetView("parts");
  ASSERT_TRUE(s->Restructure("PARTS[Supplier:S,pn:S,count:S,extra:I]").ok());
  EXPECT_EQ(s->Description(), "PARTS[Supplier:S,pn:S,count:S,extra:I]");
  View parts = s->GetView("parts");
  ASSERT_EQ(parts.RowCount(), 5);
  EXPECT_EQ(parts.GetString(1, 0), "Acme");
  EXPECT_EQ(parts.GetString(1, 1), "B-200");
  EXPECT_EQ(parts.GetString(1, 2), "");  // type changed: dropped and added anew
  EXPECT_EQ(parts.GetInt(4, 3), 0);
  EXPECT_EQ(before.GetString(3, 0), "Globex");  // earlier handles see the new shape
  EXPECT_EQ(before.GetText(1, 1), "B-200");
  EXPECT_EQ(before.GetText(1, 2), "");
  EXPECT_EQ(before.GetInt(4, 3), 0);
  EXPECT_EQ(before.GetInt(4, 4), 0);  // beyond the new columns
}

TEST_F(StorageTest, ViewsDerivedBeforeARestructureShowNoRows) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(testing::CopyFixture("restructure_getas"), &s).ok());
  View parts = s->GetView("parts");
  View sorted = parts.SortOn({"count", "pn"});
  View sel = parts.Select({{"supplier", std::string("acme")}});
  View proj = parts.Project({"weight", "pn"});
  ASSERT_EQ(sel.RowCount(), 1);
  ASSERT_TRUE(s->Restructure("parts[pn:S]").ok());
  EXPECT_EQ(sorted.RowCount(), 0);
  EXPECT_EQ(sel.RowCount(), 0);
  EXPECT_EQ(proj.RowCount(), 0);
  EXPECT_EQ(proj.GetString(0, 1), "");
  EXPECT_EQ(parts.Select({{"pn", std::string("b-200")}}).RowCount(), 1);
}

TEST_F(StorageTest, RestructureCreatesAndDeletesViews) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(TempPath("new.mk"), &s).ok());
  ASSERT_TRUE(s->Restructure("MessageLog[MsgNum:S,Msg:S]").ok());
  ASSERT_TRUE(s->Restructure("Log[LOG:I]").ok());
  EXPECT_EQ(s->Description(), "MessageLog[MsgNum:S,Msg:S],Log[LOG:I]");
  View log = s->GetView("Log");
  log.AddRow();
  log.SetInt(0, 0, 5);
  EXPECT_EQ(s->GetView("log").GetInt(0, 0), 5);
  ASSERT_TRUE(s->Restructure("messagelog").ok());
  EXPECT_EQ(s->Description(), "Log[LOG:I]");
  EXPECT_TRUE(s->Restructure("nothere").ok());
}

TEST_F(StorageTest, RestructureRejectsBadDescriptions) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(TempPath("bad.mk"), &s).ok());
  for (const char* bad : {"", "a[x:I],b[y:I]", "a:I", "a[x:Q]", "a[x:I"}) {
    EXPECT_EQ(s->Restructure(bad).code(), Status::Code::kInvalidArgument) << bad;
  }
  EXPECT_EQ(s->Description(), "");
}

// Texts and bytes of every shape (empty, with NULs inside and at the end,
// long enough to be stored as memos) and integers of every width read back
// from the file as they were written, after an incremental and a packed commit.
TEST_F(StorageTest, ValuesOfEveryShapeReadBackFromTheFile) {
  const std::vector<std::string> texts = {"",
                                          std::string("a\0b", 3),
                                          "pine",
                                          std::string(20000, 'x'),
                                          std::string("memo\0tail", 9) + std::string(15000, 'y'),
                                          std::string(150, 'z'),
                                          "x"};
  const std::vector<int32_t> ints = {0, 1, 3, 15, -128, 32767, -2000000000};
  const std::string path = TempPath("shapes.mk");
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(path, &s).ok());
  ASSERT_TRUE(s->Restructure("t[s:S,b:B,n:I,f:F]").ok());
  View t = s->GetView("t");
  t.SetSize(static_cast<int>(texts.size()));
  for (int r = 0; r < t.RowCount(); ++r) {
    t.SetString(r, 0, texts[r]);
    t.SetBytes(r, 1, texts[r] + std::string(1, '\0'));
    t.SetInt(r, 2, ints[r]);
    t.SetFloat(r, 3, static_cast<float>(ints[r]) / 4);
  }
  for (bool packed : {false, true}) {
    ASSERT_TRUE((packed ? s->CommitPacked() : s->Commit()).ok());
    std::unique_ptr<Storage> back;
    ASSERT_TRUE(Storage::OpenReadOnly(path, &back).ok());
    View v = back->GetView("t");
    ASSERT_EQ(v.RowCount(), static_cast<int>(texts.size()));
    for (int r = 0; r < v.RowCount(); ++r) {
      EXPECT_EQ(v.GetString(r, 0), texts[r].substr(0, texts[r].find('\0'))) << "row " << r;
      EXPECT_EQ(v.GetBytes(r, 1), texts[r] + std::string(1, '\0')) << "row " << r;
      EXPECT_EQ(v.GetInt(r, 2), ints[r]) << "row " << r;
      EXPECT_EQ(v.GetFloat(r, 3), static_cast<float>(ints[r]) / 4) << "row " << r;
    }
  }
}

// Whether a fresh descriptor could take an exclusive lock on `path`, as an
// in-use check does.
bool FreeOfLocks(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

TEST_F(StorageTest, AnOpenStorageHoldsItsFileUntilItCloses) {
  const std::string path = TempPath("in_use.mk");
  std::unique_ptr<Storage> s, second;
  ASSERT_TRUE(Storage::Open(path, &s).ok());
  ASSERT_TRUE(s->Restructure("Log[LOG:I]").ok());
  ASSERT_TRUE(s->Commit().ok());  // the first commit writes a new file
  EXPECT_FALSE(FreeOfLocks(path));
  EXPECT_TRUE(Storage::Open(path, &second).IsBusy());
  s->GetView("Log").AddRow();
  ASSERT_TRUE(s->CommitPacked().ok());  // replaces the file again
  EXPECT_FALSE(FreeOfLocks(path));
  EXPECT_TRUE(Storage::Open(path, &second).IsBusy());
  // A reader is not refused, sees the last commit and holds nothing.
  std::unique_ptr<Storage> reader;
  ASSERT_TRUE(Storage::OpenReadOnly(path, &reader).ok());
  EXPECT_EQ(reader->GetView("Log").RowCount(), 1);
  s.reset();
  EXPECT_TRUE(FreeOfLocks(path));
  EXPECT_TRUE(Storage::Open(path, &second).ok());
}

// Two writers that keep trying while the other commits the file whole: an
// open can get its lock on the file just replaced (and let go of) by the
// other, which no longer is the file at the path; it must then try the new
// one. At no moment may both hold the file.
TEST_F(StorageTest, WholeFileCommitsNeverLetTwoWritersHoldTheFile) {
  const std::string path = TempPath("contended.mk");
  {
    std::unique_ptr<Storage> s;
    ASSERT_TRUE(Storage::Open(path, &s).ok());
    ASSERT_TRUE(s->Restructure("Log[LOG:I]").ok());
    ASSERT_TRUE(s->Commit().ok());
  }
  std::atomic<int> holders = 0, overlaps = 0, commits = 0;
  auto writer = [&] {
    for (int done = 0; done < 100;) {
      std::unique_ptr<Storage> s;
      if (!Storage::Open(path, &s).ok()) continue;
      overlaps += ++holders > 1;
      View log = s->GetView("Log");
      log.SetInt(log.AddRow(), 0, ++commits);
      EXPECT_TRUE(s->CommitPacked().ok());
      --holders;
      ++done;
    }
  };
  std::thread other(writer);
  writer();
  other.join();
  EXPECT_EQ(overlaps, 0);
  std::unique_ptr<Storage> after;
  ASSERT_TRUE(Storage::OpenReadOnly(path, &after).ok());
  EXPECT_EQ(after->GetView("Log").RowCount(), 200);  // no commit lost
}

// A reader that opens while a commit is being written into the file waits
// for it, rather than read some of its bytes and not others.
TEST_F(StorageTest, AReaderWaitsForACommitBeingWritten) {
  const std::string path = testing::CopyFixture("int_3rows");
  std::unique_ptr<File> writer;
  ASSERT_TRUE(FileSystem::Default()->Open(path, FileSystem::Mode::kExclusive, &writer).ok());
  writer->SetGuard(File::Guard::kWrite);
  std::atomic<bool> read = false;
  std::thread reader([&] {
    std::unique_ptr<Storage> r;
    EXPECT_TRUE(Storage::OpenReadOnly(path, &r).ok());
    read = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(read);
  writer->SetGuard(File::Guard::kNone);
  reader.join();
  EXPECT_TRUE(read);
}

// A whole-file commit (packing; also the first commit, and one after trailing
// bytes) writes through a symbolic link to the file it names, and the new
// file keeps the old one's permissions.
TEST_F(StorageTest, WholeFileCommitKeepsTheLinkAndThePermissions) {
  const std::string target = testing::CopyFixture("string_3rows");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = TempPath("link_to_string_3rows.mk");
  std::filesystem::create_symlink(target, link);
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(link, &s).ok());
  s->GetView(s->ViewNames().at(0)).SetString(0, 0, "new");
  ASSERT_TRUE(s->CommitPacked().ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
  EXPECT_FALSE(FreeOfLocks(target));
  std::unique_ptr<Storage> back;
  ASSERT_TRUE(Storage::OpenReadOnly(target, &back).ok());
  EXPECT_EQ(DumpJson(*back), DumpJson(*s));
  EXPECT_FALSE(std::filesystem::exists(target + ".new"));
}

// A dataset found behind trailing bytes (here: a commit cut short after its
// first bytes) must not stay behind them: an open looks at the end of the
// file first, where those bytes, partly overwritten by later commits, could
// pass for another state. The next commit leaves nothing after the dataset.
TEST_F(StorageTest, ACommitDropsBytesTrailingTheDataset) {
  const std::string path = TempPath("trailing.mk");
  const std::string committed = testing::ReadFile(kFixtures + "/string_3rows.mk");
  testing::WriteFile(path, committed + std::string(4000, 'x'));
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(path, &s).ok());
  View v = s->GetView(s->ViewNames().at(0));
  ASSERT_EQ(v.RowCount(), 3);
  v.InsertRows(1, 1);
  v.SetString(1, 0, "new");
  ASSERT_TRUE(s->Commit().ok());
  std::unique_ptr<Storage> again;
  ASSERT_TRUE(Storage::OpenReadOnly(path, &again).ok());
  EXPECT_EQ(DumpJson(*again), DumpJson(*s));
  const std::string bytes = testing::ReadFile(path);
  EXPECT_EQ(bytes.find(std::string(40, 'x')), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 8, 1), "\x80");  // ends with the commit tail
}

TEST_F(StorageTest, DumpOfAWorkingCopyShowsUncommittedChanges) {
  std::unique_ptr<Storage> s;
  ASSERT_TRUE(Storage::Open(kFixtures + "/int_3rows.mk", &s).ok());
  s->GetView("v").SetInt(2, 0, -7);
  EXPECT_EQ(DumpJson(*s),
            "{\n\"description\": \"v[a:I]\",\n\"views\": [\n{\"name\": \"v\",\n"
            " \"columns\": [{\"name\": \"a\", \"type\": \"I\"}],\n \"row_count\": 3,\n"
            " \"rows\": [[1],\n [2],\n [-7]]}\n]\n}\n");
}

}  // namespace
}  // namespace mk
