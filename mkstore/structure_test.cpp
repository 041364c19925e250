#include "mkstore/structure.h"

#include <gtest/gtest.h>

namespace mk {
namespace {

TEST(StructureTest, ParsesAndDescribesNestedViews) {
  std::vector<Property> props;
  const std::string text = "orders[id:I,lines[sku:S,qty:I,tags[tag:S]],total:D],plain[name:S],e[]";
  ASSERT_TRUE(ParseFields(text, &props).ok());
  ASSERT_EQ(props.size(), 3u);
  EXPECT_EQ(props[0].type, PropertyType::kSubview);
  EXPECT_EQ(props[0].subProperties[1].subProperties[2].subProperties[0].name, "tag");
  EXPECT_TRUE(props[2].subProperties.empty());
  EXPECT_EQ(DescribeFields(props), text);
}

TEST(StructureTest, AcceptsLooseFormsAndWritesCanonicalOnes) {
  std::vector<Property> props;
  ASSERT_TRUE(ParseFields("a:i,b,c:Memo,d:double", &props).ok());
  EXPECT_EQ(DescribeFields(props), "a:I,b:S,c:B,d:D");
}

TEST(StructureTest, DropsLaterDuplicateNames) {
  std::vector<Property> props;
  int dups = 0;
  ASSERT_TRUE(ParseFields("a:I,A:S,b:F", &props, &dups).ok());
  EXPECT_EQ(DescribeFields(props), "a:I,b:F");
  EXPECT_EQ(dups, 1);
}

TEST(StructureTest, EmptyTextIsAnEmptyList) {
  std::vector<Property> props{{"x", PropertyType::kInt, {}}};
  ASSERT_TRUE(ParseFields("", &props).ok());
  EXPECT_TRUE(props.empty());
}

TEST(StructureTest, RejectsBadSyntax) {
  std::vector<Property> props;
  for (const char* bad :
       {"a:I,", ",a:I", "a[b:I", "a]", "a:", "a:I]", ":I", "a[b:I]]", "a[b:I]x", "a:I[x]"}) {
    EXPECT_EQ(ParseFields(bad, &props).code(), Status::Code::kInvalidArgument) << bad;
  }
}

TEST(StructureTest, RefusesWhatTheEngineCannotHandle) {
  std::vector<Property> props;
  EXPECT_EQ(ParseFields("a:Q", &props).code(), Status::Code::kNotSupported);
  EXPECT_EQ(ParseFields("a[^]", &props).code(), Status::Code::kNotSupported);
}

TEST(StructureTest, RefusesDeepNesting) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "a[";
  deep += "x:I";
  for (int i = 0; i < 100; ++i) deep += "]";
  std::vector<Property> props;
  EXPECT_EQ(ParseFields(deep, &props).code(), Status::Code::kInvalidArgument);
}

TEST(StructureTest, SameNameIgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SameName("MsgNum", "MSGNUM"));
  EXPECT_FALSE(SameName("MsgNum", "MsgNu"));
  EXPECT_FALSE(SameName("\xe9", "\xc9"));
}

}  // namespace
}  // namespace mk
