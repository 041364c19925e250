#include "cli/table_dump.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace cli {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(VARNOLDE_FIXTURES_DIR) + "/" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class TableDumpTest : public ::testing::Test {};

TEST_F(TableDumpTest, WholeFileEqualsReferenceDump) {
  for (const char* name : {"multi_table_db.mk", "type_F.mk", "strings_cp1252.mk",
                           "nested_subview.mk", "empty_saveto.mk"}) {
    std::string json, error;
    ASSERT_TRUE(DumpFile(Fixture(name), "", &json, &error)) << name << ": " << error;
    EXPECT_EQ(nlohmann::json::parse(json), nlohmann::json::parse(ReadAll(Fixture(name) + ".json")))
        << name;
  }
}

TEST_F(TableDumpTest, OneTableIsItsEntryOfTheReferenceDump) {
  const nlohmann::json expected = nlohmann::json::parse(ReadAll(Fixture("multi_table_db.mk.json")));
  for (const auto& view : expected["views"]) {
    std::string json, error;
    ASSERT_TRUE(DumpFile(Fixture("multi_table_db.mk"), view["name"], &json, &error)) << error;
    EXPECT_EQ(nlohmann::json::parse(json), view);
    EXPECT_EQ(json.back(), '\n');
  }
}

TEST_F(TableDumpTest, TableNameIgnoresLetterCase) {
  std::string json, error;
  ASSERT_TRUE(DumpFile(Fixture("multi_table_db.mk"), "globals", &json, &error)) << error;
  EXPECT_EQ(nlohmann::json::parse(json)["name"], "Globals");
}

TEST_F(TableDumpTest, NestedViewIsOneEntry) {
  const nlohmann::json expected = nlohmann::json::parse(ReadAll(Fixture("nested_subview.mk.json")));
  std::string json, error;
  ASSERT_TRUE(DumpFile(Fixture("nested_subview.mk"), "orders", &json, &error)) << error;
  EXPECT_EQ(nlohmann::json::parse(json), expected["views"][0]);
}

TEST_F(TableDumpTest, PrefixOfANameIsNoMatch) {
  std::string json, error;
  EXPECT_FALSE(DumpFile(Fixture("multi_table_db.mk"), "Lo", &json, &error));
  EXPECT_NE(error.find("no table named Lo"), std::string::npos);
}

// The caller puts the path in front of the reason, once.
TEST_F(TableDumpTest, MissingFileFailsWithoutRepeatingThePath) {
  std::string json, error;
  EXPECT_FALSE(DumpFile("/nonexistent/x.scl", "", &json, &error));
  EXPECT_EQ(error, "no such file");
}

TEST_F(TableDumpTest, DamagedFileFails) {
  const std::string bytes = ReadAll(Fixture("multi_table_db.mk"));
  const std::string path =
      ::testing::TempDir() + "/cli_damaged-" + std::to_string(::getpid()) + ".mk";
  std::ofstream(path, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  std::string json, error;
  EXPECT_FALSE(DumpFile(path, "", &json, &error));
  EXPECT_FALSE(error.empty());
  std::remove(path.c_str());
}

}  // namespace
}  // namespace cli
