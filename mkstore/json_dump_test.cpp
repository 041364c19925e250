#include "mkstore/json_dump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mkstore/fault_file_system.h"
#include "mkstore/format.h"

namespace mk {
namespace {

class JsonDumpTest : public ::testing::Test {
 protected:
  std::unique_ptr<Storage> OpenBytes(const std::string& bytes) {
    fs_.SetContents("/j.mk", bytes);
    std::unique_ptr<Storage> s;
    EXPECT_TRUE(Storage::Open("/j.mk", &s, &fs_).ok());
    return s;
  }
  FaultFileSystem fs_;
};

TEST_F(JsonDumpTest, EmptyStorage) {
  EXPECT_EQ(DumpJson(*OpenBytes("")), "{\n\"description\": \"\",\n\"views\": [\n]\n}\n");
}

TEST_F(JsonDumpTest, SpecialValuesAndEscapes) {
  auto s = OpenBytes("");
  ASSERT_TRUE(s->Restructure("v[f:F,d:D,l:L,b:B,s:S,sub[x:I]]").ok());
  View v = s->GetView("v");
  v.SetSize(2);
  v.SetFloat(0, 0, std::numeric_limits<float>::quiet_NaN());
  v.SetFloat(1, 0, -0.0f);
  v.SetDouble(0, 1, std::numeric_limits<double>::infinity());
  v.SetDouble(1, 1, -std::numeric_limits<double>::infinity());
  v.SetLong(0, 2, -5);
  v.SetBytes(0, 3, std::string("\x00\xAB", 2));
  v.SetString(0, 4, "q\"b\\\t\x7f\xe9~");
  EXPECT_EQ(
      DumpJson(*s),
      "{\n\"description\": \"v[f:F,d:D,l:L,b:B,s:S,sub[x:I]]\",\n\"views\": [\n"
      "{\"name\": \"v\",\n"
      " \"columns\": [{\"name\": \"f\", \"type\": \"F\"}, {\"name\": \"d\", \"type\": \"D\"}, "
      "{\"name\": \"l\", \"type\": \"L\"}, {\"name\": \"b\", \"type\": \"B\"}, {\"name\": \"s\", "
      "\"type\": "
      "\"S\"}, {\"name\": \"sub\", \"type\": \"V\", \"columns\": [{\"name\": \"x\", \"type\": "
      "\"I\"}]}],\n"
      " \"row_count\": 2,\n"
      " \"rows\": [[\"NaN\", \"Infinity\", \"-5\", \"00ab\", \"q\\\"b\\\\\\u0009\\u007f\\u00e9~\", "
      "[]],\n"
      " [-0.0, \"-Infinity\", \"0\", \"\", \"\", []]]}\n]\n}\n");
}

TEST_F(JsonDumpTest, TopLevelPropertiesThatAreNotViews) {
  // "count:I,v[a:I]": count = 5 (a 4-bit column of one row: 6 bytes), v empty.
  std::string f("JL\x1a\0\0\0\0\0", 8);
  f += std::string("\x05\0\0\0\0\0", 6);  // count at 8
  f += std::string("\x80\x80", 2);        // v's column list at 14: no rows
  const std::string structure = "count:I,v[a:I]";
  const auto tocPos = static_cast<uint32_t>(f.size());
  std::string toc("\x80", 1);
  format::PutVarint(&toc, static_cast<int64_t>(structure.size()));
  toc += structure + "\x81\x86\x88\x82\x8E";
  f += toc;
  const auto tail = static_cast<uint32_t>(f.size());
  f += std::string("\x80\0\0\0", 4);
  format::PutBig32(&f, tail);
  f += std::string("\x80\0\0", 3) + static_cast<char>(toc.size());
  format::PutBig32(&f, tocPos);
  std::string length;
  format::PutBig32(&length, static_cast<uint32_t>(f.size()));
  f.replace(4, 4, length);
  auto s = OpenBytes(f);
  EXPECT_EQ(DumpJson(*s),
            "{\n\"description\": \"count:I,v[a:I]\",\n\"views\": [\n"
            "{\"name\": \"count\", \"type\": \"I\", \"value\": 5},\n"
            "{\"name\": \"v\",\n \"columns\": [{\"name\": \"a\", \"type\": \"I\"}],\n"
            " \"row_count\": 0,\n \"rows\": []}\n]\n}\n");
  EXPECT_EQ(s->ViewNames(), std::vector<std::string>{"v"});
  EXPECT_FALSE(s->GetView("count").IsValid());
}

}  // namespace
}  // namespace mk
