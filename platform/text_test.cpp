#include "platform/text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace platform {
namespace {

// Plain reference encoder, independent of the one under test.
std::string Encode(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 + (c / 64));
    s += static_cast<char>(0x80 + (c % 64));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 + (c / 4096));
    s += static_cast<char>(0x80 + (c / 64 % 64));
    s += static_cast<char>(0x80 + (c % 64));
  } else {
    s += static_cast<char>(0xF0 + (c / 262144));
    s += static_cast<char>(0x80 + (c / 4096 % 64));
    s += static_cast<char>(0x80 + (c / 64 % 64));
    s += static_cast<char>(0x80 + (c % 64));
  }
  return s;
}

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

// The Windows-1252 row 0x80-0x9F as published for the code page, written out
// by hand as UTF-8; the undefined five map to the C1 controls.
const char* const kRow80[32] = {
    "\xE2\x82\xAC", "\xC2\x81",     "\xE2\x80\x9A", "\xC6\x92",      // 80 euro, 81, 82 ‚, 83 ƒ
    "\xE2\x80\x9E", "\xE2\x80\xA6", "\xE2\x80\xA0", "\xE2\x80\xA1",  // 84 „ … † ‡
    "\xCB\x86",     "\xE2\x80\xB0", "\xC5\xA0",     "\xE2\x80\xB9",  // 88 ˆ ‰ Š ‹
    "\xC5\x92",     "\xC2\x8D",     "\xC5\xBD",     "\xC2\x8F",      // 8C Œ, 8D, 8E Ž, 8F
    "\xC2\x90",     "\xE2\x80\x98", "\xE2\x80\x99", "\xE2\x80\x9C",  // 90, 91 ‘ ’ “
    "\xE2\x80\x9D", "\xE2\x80\xA2", "\xE2\x80\x93", "\xE2\x80\x94",  // 94 ” • – —
    "\xCB\x9C",     "\xE2\x84\xA2", "\xC5\xA1",     "\xE2\x80\xBA",  // 98 ˜ ™ š ›
    "\xC5\x93",     "\xC2\x9D",     "\xC5\xBE",     "\xC5\xB8",      // 9C œ, 9D, 9E ž, 9F Ÿ
};

TEST(TextTest, AsciiPassesUnchangedBothWays) {
  const std::string ascii = "SALE=123,LLR=A-7 |%d|\r\n\t~";
  EXPECT_EQ(Utf8ToCp1252(ascii), ascii);
  EXPECT_EQ(Cp1252ToUtf8(ascii), ascii);
}

TEST(TextTest, EmptyStaysEmpty) {
  EXPECT_EQ(Utf8ToCp1252(""), "");
  EXPECT_EQ(Cp1252ToUtf8(""), "");
}

TEST(TextTest, NulCharactersAreKept) {
  const std::string with_nul("a\0b", 3);
  EXPECT_EQ(Utf8ToCp1252(with_nul), with_nul);
  EXPECT_EQ(Cp1252ToUtf8(with_nul), with_nul);
}

TEST(TextTest, Row80To9FReadsAsCodePageCharacters) {
  for (int b = 0x80; b <= 0x9F; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(Cp1252ToUtf8(Byte(b)), kRow80[b - 0x80]);
  }
}

TEST(TextTest, Row80To9FWritesBackToTheSameBytes) {
  for (int b = 0x80; b <= 0x9F; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(Utf8ToCp1252(kRow80[b - 0x80]), Byte(b));
  }
}

TEST(TextTest, LatinOneRowMapsToTheSameCodePoints) {
  for (int b = 0xA0; b <= 0xFF; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(Cp1252ToUtf8(Byte(b)), Encode(static_cast<char32_t>(b)));
    EXPECT_EQ(Utf8ToCp1252(Encode(static_cast<char32_t>(b))), Byte(b));
  }
}

// Octal escapes on the 8-bit side: they end after three digits.
TEST(TextTest, KnownWordsConvert) {
  EXPECT_EQ(Cp1252ToUtf8("Caf\351 \2005"), "Café €5");
  EXPECT_EQ(Utf8ToCp1252("Über 12°"), "\334ber 12\260");
  EXPECT_EQ(Utf8ToCp1252("“Test” – ok™"), "\223Test\224 \226 ok\231");
}

TEST(TextTest, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(TextTest, CharactersWithoutAnEightBitFormBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xC4\x81"), "?");            // a with macron: no best fit
  EXPECT_EQ(Utf8ToCp1252("x\xE6\x9C\xA8y"), "x?y");    // CJK
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8C\xB2!"), "?!");  // a four-byte character is one "?"
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAD"), "?");        // U+20AD, next to the euro sign
}

// Differential check over every scalar value against the table above.
TEST(TextTest, EveryCodePointMapsAsTheTableSays) {
  std::map<std::string, std::string> row80;
  for (int i = 0; i < 32; ++i) row80[kRow80[i]] = Byte(0x80 + i);
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string utf8 = Encode(c);
    std::string expected = "?";
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) expected = Byte(static_cast<int>(c));
    if (auto it = row80.find(utf8); it != row80.end()) expected = it->second;
    if (Utf8ToCp1252(utf8) != expected) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<uint32_t>(c);
      return;
    }
  }
}

TEST(TextTest, StrayContinuationBytesBecomeOneQuestionMarkEach) {
  EXPECT_EQ(Utf8ToCp1252("a\x80\xBF"
                         "b"),
            "a??b");
}

TEST(TextTest, TruncatedSequencesDoNotSwallowWhatFollows) {
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"
                         "A"),
            "??A");
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8C"), "???");
  EXPECT_EQ(Utf8ToCp1252("\xC3\xC3\xA9"), "?\xE9");
}

TEST(TextTest, OverlongFormsAreRejected) {
  EXPECT_EQ(Utf8ToCp1252("\xC0\x80"), "??");  // NUL in two bytes
  EXPECT_EQ(Utf8ToCp1252("\xC1\xBF"), "??");
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "???");  // "/" in three bytes
  EXPECT_EQ(Utf8ToCp1252("\xF0\x80\x80\xAF"), "????");
}

TEST(TextTest, SurrogatesAndValuesBeyondUnicodeAreRejected) {
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");       // U+D800
  EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "????");  // U+110000
  EXPECT_EQ(Utf8ToCp1252("\xF5\x80\x80\x80"), "????");
  EXPECT_EQ(Utf8ToCp1252("\xFE\xFF"), "??");
}

TEST(TextTest, OutputNeverExceedsThreeBytesPerInputByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_LE(Cp1252ToUtf8(all).size(), 3 * all.size());
  EXPECT_LE(Utf8ToCp1252(all).size(), all.size());
}

TEST(TextTest, ComparesIgnoringAsciiLetterCaseOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("KPI", "kpi"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("DF", "DFX"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("DF", "WH"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("@", "`"));        // 0x40 and 0x60 are not letters
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9"));  // nor are 8-bit bytes
}

TEST(TextTest, Utf8IsRecognisedOnlyWhenWellFormed) {
  const struct {
    const char* bytes;
    bool valid;
  } cases[] = {
      {"plain", true},
      {"Jos\xC3\xA9 \xC3\x91", true},
      {"\xE2\x82\xAC", true},
      {"\xF0\x9F\x8C\xB2", true},
      {"Jos\xE9", false},
      {"\xC3", false},
      {"\xC0\xAF", false},
      {"\xED\xA0\x80", false},
      {"\xF4\x90\x80\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

}  // namespace
}  // namespace platform
