#include "platform/identity.h"

#include <gtest/gtest.h>

#include "platform/mem_file_system.h"

namespace platform {
namespace {

TEST(IdentityTest, NameAndPegId) {
  const DeviceIdentity id = ParseDeviceIdentity("Name=Scaler 7\nPegId=4711\n");
  EXPECT_EQ(id.name, "Scaler 7");
  EXPECT_EQ(id.peg_id, 4711u);
  EXPECT_EQ(id.Text(), "Scaler 7 PegID:4711");
}

TEST(IdentityTest, WithoutPegIdOnlyTheNameIsTheText) {
  EXPECT_EQ(ParseDeviceIdentity("Name=Scaler 7\n").Text(), "Scaler 7");
}

TEST(IdentityTest, WithoutNameTheTextStartsWithTheBlank) {
  EXPECT_EQ(ParseDeviceIdentity("PegId=12").Text(), " PegID:12");
}

TEST(IdentityTest, EmptyTextGivesEmptyIdentity) {
  const DeviceIdentity id = ParseDeviceIdentity("");
  EXPECT_EQ(id.name, "");
  EXPECT_FALSE(id.peg_id.has_value());
  EXPECT_EQ(id.Text(), "");
}

TEST(IdentityTest, PegIdPrintsAsASigned32BitNumber) {
  EXPECT_EQ(ParseDeviceIdentity("PegId=4294967295").Text(), " PegID:-1");
  EXPECT_EQ(ParseDeviceIdentity("PegId=2147483648").Text(), " PegID:-2147483648");
  EXPECT_EQ(ParseDeviceIdentity("PegId=2147483647").Text(), " PegID:2147483647");
  EXPECT_EQ(ParseDeviceIdentity("PegId=0").Text(), " PegID:0");
}

TEST(IdentityTest, UnreadablePegIdIsLeftOut) {
  for (const char* bad : {"PegId=", "PegId=12a", "PegId=-3", "PegId=+3", "PegId=4294967296",
                          "PegId=0x10", "PegId=1 2", "PegId=99999999999999999999999"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseDeviceIdentity(bad).peg_id.has_value());
  }
}

TEST(IdentityTest, NamesMatchWithoutCaseAndBlanksAreDropped) {
  const DeviceIdentity id = ParseDeviceIdentity("  NAME =  North yard  \r\npegid\t=\t 8 \r\n");
  EXPECT_EQ(id.name, "North yard");
  EXPECT_EQ(id.peg_id, 8u);
}

TEST(IdentityTest, CommentsSectionsAndStrayLinesAreIgnored) {
  const DeviceIdentity id = ParseDeviceIdentity(
      "\xEF\xBB\xBF[Ident]\n; Name=commented out\n# PegId=1\n\njunk line\nOther=1\n"
      "Name=Real\n");
  EXPECT_EQ(id.name, "Real");
  EXPECT_FALSE(id.peg_id.has_value());
}

TEST(IdentityTest, LastLineWins) {
  const DeviceIdentity id = ParseDeviceIdentity("Name=first\nPegId=1\nName=second\nPegId=x\n");
  EXPECT_EQ(id.name, "second");
  EXPECT_FALSE(id.peg_id.has_value());
}

TEST(IdentityTest, ValueMayHoldAnEqualsSign) {
  EXPECT_EQ(ParseDeviceIdentity("Name=a=b").name, "a=b");
}

TEST(IdentityTest, NameUpTo399CharactersFits) {
  EXPECT_EQ(ParseDeviceIdentity("Name=" + std::string(399, 'n')).name.size(), 399u);
  EXPECT_EQ(ParseDeviceIdentity("Name=" + std::string(400, 'n')).name, "");
  // Counted in characters, not bytes: 399 two-byte letters still fit.
  std::string wide;
  for (int i = 0; i < 399; ++i) wide += "\xC3\xA9";
  EXPECT_EQ(ParseDeviceIdentity("Name=" + wide).name, wide);
  EXPECT_EQ(ParseDeviceIdentity("Name=" + wide + "\xC3\xA9").name, "");
}

TEST(IdentityTest, ReadsTheIdentFileOfTheSettingsFolder) {
  MemFileSystem fs;
  fs.SetFile("/home/u/.config/varnolde/ident", "Name=Scaler 7\nPegId=4711\n");
  EXPECT_EQ(ReadDeviceIdentity(fs, "/home/u/.config/varnolde/").Text(), "Scaler 7 PegID:4711");
}

TEST(IdentityTest, MissingFileOrFolderGivesEmptyIdentity) {
  MemFileSystem fs;
  fs.SetFile("ident", "Name=relative file must not be read");
  EXPECT_EQ(ReadDeviceIdentity(fs, "/nowhere/").Text(), "");
  EXPECT_EQ(ReadDeviceIdentity(fs, "").Text(), "");
}

TEST(IdentityTest, OversizedFileIsNotRead) {
  MemFileSystem fs;
  fs.SetFile("/s/ident", "Name=x\n" + std::string(64 * 1024, '\n'));
  EXPECT_EQ(ReadDeviceIdentity(fs, "/s/").Text(), "");
}

}  // namespace
}  // namespace platform
