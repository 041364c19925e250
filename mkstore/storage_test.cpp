#include "mkstore/storage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "mkstore/json_dump.h"

namespace mk {
namespace {

const std::string kFixtures = MKSTORE_FIXTURES;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> FixtureNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kFixtures)) {
    if (entry.path().extension() == ".mk") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class FixtureTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureTest, ReadingReproducesTheReferenceDump) {
  const std::string path = kFixtures + "/" + GetParam() + ".mk";
  std::unique_ptr<Storage> storage;
  ASSERT_TRUE(Storage::OpenReadOnly(path, &storage).ok());
  EXPECT_EQ(DumpJson(*storage), ReadText(path + ".json"));
}

INSTANTIATE_TEST_SUITE_P(AllFixtures, FixtureTest, ::testing::ValuesIn(FixtureNames()),
                         [](const auto& info) { return info.param; });

TEST(FixtureListTest, AllTwentySixFilesAreThere) { EXPECT_EQ(FixtureNames().size(), 26u); }

}  // namespace
}  // namespace mk
