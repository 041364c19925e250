#include "keypad/key_sender.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros would break its headers.
#include <X11/keysym.h>

namespace plinq {
namespace {

TEST(KeySenderTest, KeypadCodesBecomeTheirKeys) {
  EXPECT_EQ(keysymForCharacter(0x0D), static_cast<unsigned long>(XK_Return));
  EXPECT_EQ(keysymForCharacter(0x09), static_cast<unsigned long>(XK_Tab));
  EXPECT_EQ(keysymForCharacter(0x08), static_cast<unsigned long>(XK_BackSpace));
  EXPECT_EQ(keysymForCharacter('.'), static_cast<unsigned long>(XK_period));
  EXPECT_EQ(keysymForCharacter('0'), static_cast<unsigned long>(XK_0));
  EXPECT_EQ(keysymForCharacter('9'), static_cast<unsigned long>(XK_9));
  EXPECT_EQ(keysymForCharacter('A'), static_cast<unsigned long>(XK_A));
  EXPECT_EQ(keysymForCharacter('Q'), static_cast<unsigned long>(XK_Q));
  EXPECT_EQ(keysymForCharacter('q'), static_cast<unsigned long>(XK_q));
}

TEST(KeySenderTest, OtherCharactersUseLatin1OrUnicodeKeysyms) {
  EXPECT_EQ(keysymForCharacter(0xC9), static_cast<unsigned long>(XK_Eacute));
  EXPECT_EQ(keysymForCharacter(0x20AC), 0x010020ACul);
  EXPECT_EQ(keysymForCharacter(0x1F332), 0x0101F332ul);
  EXPECT_EQ(keysymForCharacter(' '), static_cast<unsigned long>(XK_space));
}

TEST(KeySenderTest, ControlCharactersAndNonCharactersTypeNothing) {
  for (UINT c : {0x00u, 0x01u, 0x07u, 0x7Fu, 0x85u, 0x9Fu, 0xD800u, 0xDFFFu, 0x110000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(keysymForCharacter(c), 0ul) << c;
  }
  EXPECT_EQ(keysymForCharacter(0x0A), static_cast<unsigned long>(XK_Return));
  EXPECT_EQ(keysymForCharacter(0x1B), static_cast<unsigned long>(XK_Escape));
}

TEST(KeySenderTest, VirtualKeys) {
  EXPECT_EQ(keysymForVirtualKey(0x0D), static_cast<unsigned long>(XK_Return));
  EXPECT_EQ(keysymForVirtualKey(0x2E), static_cast<unsigned long>(XK_Delete));
  EXPECT_EQ(keysymForVirtualKey('A'), static_cast<unsigned long>(XK_a));
  EXPECT_EQ(keysymForVirtualKey('Z'), static_cast<unsigned long>(XK_z));
  EXPECT_EQ(keysymForVirtualKey('5'), static_cast<unsigned long>(XK_5));
  EXPECT_EQ(keysymForVirtualKey(0x70), 0ul);
  EXPECT_EQ(keysymForVirtualKey(0xFF), 0ul);
}

}  // namespace
}  // namespace plinq
