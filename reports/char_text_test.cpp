#include "reports/char_text.h"

#include <gtest/gtest.h>

namespace reports {
namespace {

TEST(CharTextTest, CountsCharactersNotBytes) {
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount("Log #"), 5u);
  EXPECT_EQ(CharCount("Mu\xC3\xB1oz"), 5u);  // n with tilde: two bytes
  EXPECT_EQ(CharCount("\xE2\x82\xAC"
                      "5"),
            2u);                                 // euro sign: three bytes
  EXPECT_EQ(CharCount("\xF0\x9F\x8C\xB2"), 1u);  // a four-byte character
}

TEST(CharTextTest, EveryUndecodableByteIsOneCharacter) {
  EXPECT_EQ(CharCount("\x80\x80"), 2u);          // stray continuation bytes
  EXPECT_EQ(CharCount("\xE2\x82"), 2u);          // truncated sequence
  EXPECT_EQ(CharCount("\xC0\xAF"), 2u);          // overlong form
  EXPECT_EQ(CharCount("\xED\xA0\x80"), 3u);      // surrogate
  EXPECT_EQ(CharCount("\xF4\x90\x80\x80"), 4u);  // above U+10FFFF
  EXPECT_EQ(CharCount("\xC3"), 1u);              // lead byte at the very end
}

TEST(CharTextTest, StartsSplitTextIntoCharacters) {
  const std::vector<size_t> expected = {0, 1, 3, 4};
  EXPECT_EQ(CharStarts("a\xC3\xA9z"), expected);
  EXPECT_EQ(CharStarts(""), std::vector<size_t>{0});
}

TEST(CharTextTest, TrimsAsciiWhiteSpaceOnly) {
  EXPECT_EQ(TrimWhiteSpace(" \t 12.5 \r\n"), "12.5");
  EXPECT_EQ(TrimWhiteSpace("   "), "");
  EXPECT_EQ(TrimWhiteSpace("a b"), "a b");
  EXPECT_EQ(TrimWhiteSpace("\xC2\xA0x"), "\xC2\xA0x");  // no-break space is kept
}

}  // namespace
}  // namespace reports
