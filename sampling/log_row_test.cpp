#include "sampling/log_row.h"

#include <gtest/gtest.h>

namespace sampling {
namespace {

TEST(TextRowTest, ColumnsMatchWithoutLetterCase) {
  TextRow row({{"LOG", "12"}, {"Seg", "2"}});
  EXPECT_TRUE(row.Has("Log"));
  EXPECT_TRUE(row.Has("SEG"));
  EXPECT_EQ(row.Get("log"), "12");
  EXPECT_EQ(row.GetInt("seg"), 2);
}

TEST(TextRowTest, MissingColumnsReadEmptyAndIgnoreWrites) {
  TextRow row({{"LN", "16"}});
  EXPECT_FALSE(row.Has("SD"));
  EXPECT_EQ(row.Get("SD"), "");
  EXPECT_EQ(row.GetInt("SD"), 0);
  row.Set("SD", "10");
  EXPECT_FALSE(row.Has("SD"));
}

TEST(TextRowTest, PutAddsOrReplaces) {
  TextRow row;
  row.Put("REM", "a");
  row.Put("rem", "b");
  EXPECT_EQ(row.Get("REM"), "b");
  row.Set("REM", "c");
  EXPECT_EQ(row.Get("Rem"), "c");
}

}  // namespace
}  // namespace sampling
