#include "keypad/keypad_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "keypad/test_support.h"

namespace plinq {
namespace {

using test::CharEvent;
using test::tapOf;

class RecordingHost final : public WindowHost {
 public:
  void repaintKey(int index) override { keys.push_back(index); }
  void repaintAll() override { ++all; }
  void fitToParent() override { ++fits; }
  std::vector<int> keys;
  int all = 0;
  int fits = 0;
};

class KeypadWindowTest : public ::testing::Test {
 protected:
  KeypadWindowTest() {
    window_.setClientSize(200, 99);  // keys of 20 x 33
    window_.onPlinqMessage(kMessageCallback, reinterpret_cast<std::intptr_t>(&callback_));
  }

  // The centre of a key in the 200 x 99 window.
  static int cx(int index) { return index % 10 * 20 + 10; }
  static int cy(int index) { return index / 10 * 33 + 16; }
  void tap(int index) {
    window_.penDown(cx(index), cy(index));
    window_.penUp(cx(index), cy(index));
  }

  RecordingHost host_;
  test::RecordingCallback callback_;
  KeypadWindow window_{host_, RECT{5, 6, 205, 106}};
};

TEST(KeyTable, DefaultLabelsAndCodes) {
  const std::u32string labels = U"eAT123CLDF>HP456.MRE<ZS7890YBN";
  const UINT codes[30] = {0x0D, 'A', 'T', '1', '2', '3', 'C', 'L', 'D', 'F', 0x09, 'H', 'P', '4', '5',
                          '6',  '.', 'M', 'R', 'E', 0x08, 'Z', 'S', '7', '8', '9', '0', 'Y', 'B', 'N'};
  RecordingHost host;
  KeypadWindow window(host, RECT{});
  EXPECT_EQ(window.labels(), labels);
  for (int i = 0; i < kKeyCount; ++i) {
    EXPECT_EQ(window.code(i), codes[i]) << i;
    EXPECT_EQ(defaultCode(i), codes[i]) << i;
  }
}

TEST(KeyTable, SixteenLetterKeysAroundTheFixedOnes) {
  std::vector<int> letters;
  for (int i = -1; i <= kKeyCount; ++i) {
    if (isLetterKey(i)) letters.push_back(i);
  }
  EXPECT_EQ(letters, (std::vector<int>{1, 2, 6, 7, 8, 9, 11, 12, 17, 18, 19, 21, 22, 27, 28, 29}));
}

TEST(KeyTable, ArrayKeyPathNamesTheIndex) {
  EXPECT_EQ(arrayKeyPath(1), "HKEY_CLASSES_ROOT\\CLSID\\{27CD5083-08E9-4588-341A-D683C8338E10}\\Array1");
  EXPECT_EQ(arrayKeyPath(29), "HKEY_CLASSES_ROOT\\CLSID\\{27CD5083-08E9-4588-341A-D683C8338E10}\\Array29");
}

TEST(KeyTable, OnlyDigitsAreDrawnInverted) {
  for (char32_t c : std::u32string(U"0123456789")) EXPECT_TRUE(KeypadWindow::drawnInverted(c));
  for (char32_t c : std::u32string(U"eAT>.<ZN/:Q")) EXPECT_FALSE(KeypadWindow::drawnInverted(c));
}

TEST(FirstCharacter, DecodesTheFirstUtf8Character) {
  EXPECT_EQ(firstCharacter("Q"), U'Q');
  EXPECT_EQ(firstCharacter("Qx\n"), U'Q');
  EXPECT_EQ(firstCharacter("\xC3\x89t\xC3\xA9"), U'\u00C9');
  EXPECT_EQ(firstCharacter("\xE2\x82\xAC"), U'\u20AC');
  EXPECT_EQ(firstCharacter("\xF0\x9F\x8C\xB2"), U'\U0001F332');
}

TEST(FirstCharacter, RefusesWhatIsNoCharacter) {
  EXPECT_EQ(firstCharacter(""), 0u);
  EXPECT_EQ(firstCharacter(std::string("\0Q", 2)), 0u);
  EXPECT_EQ(firstCharacter("\x80"), 0u);          // continuation byte first
  EXPECT_EQ(firstCharacter("\xC3"), 0u);          // cut short
  EXPECT_EQ(firstCharacter("\xC3Q"), 0u);         // bad continuation
  EXPECT_EQ(firstCharacter("\xC0\x81"), 0u);      // overlong
  EXPECT_EQ(firstCharacter("\xE0\x80\x81"), 0u);  // overlong
  EXPECT_EQ(firstCharacter("\xED\xA0\x80"), 0u);  // surrogate
  EXPECT_EQ(firstCharacter("\xF4\x90\x80\x80"), 0u);  // past U+10FFFF
  EXPECT_EQ(firstCharacter("\xF8\x88\x80\x80\x80"), 0u);
  EXPECT_EQ(firstCharacter("\xFF"), 0u);
}

TEST_F(KeypadWindowTest, KeysDivideTheClientAreaByIntegerDivision) {
  KeyRect k = window_.keyRect(13);
  EXPECT_EQ(k.x, 60);
  EXPECT_EQ(k.y, 33);
  EXPECT_EQ(k.width, 20);
  EXPECT_EQ(k.height, 33);
  k = window_.keyRect(29);
  EXPECT_EQ(k.x, 180);
  EXPECT_EQ(k.y, 66);
}

TEST_F(KeypadWindowTest, HitTestFindsEveryKeyAtItsCorners) {
  for (int i = 0; i < kKeyCount; ++i) {
    KeyRect k = window_.keyRect(i);
    EXPECT_EQ(window_.keyAt(k.x, k.y), i);
    EXPECT_EQ(window_.keyAt(k.x + k.width - 1, k.y + k.height - 1), i);
  }
}

TEST_F(KeypadWindowTest, PositionsOffTheKeysHitNothing) {
  window_.setClientSize(205, 101);  // keys 20 x 33, strips of 5 and 2 left over
  EXPECT_EQ(window_.keyAt(199, 0), 9);
  EXPECT_EQ(window_.keyAt(200, 0), -1);  // not key 10 of the next row
  EXPECT_EQ(window_.keyAt(204, 40), -1);
  EXPECT_EQ(window_.keyAt(0, 98), 20);
  EXPECT_EQ(window_.keyAt(0, 99), -1);
  EXPECT_EQ(window_.keyAt(-1, 5), -1);  // pen captured left of the window
  EXPECT_EQ(window_.keyAt(5, -1), -1);
  EXPECT_EQ(window_.keyAt(5000, 5000), -1);
}

TEST_F(KeypadWindowTest, TooSmallAWindowHasNoKeys) {
  window_.setClientSize(9, 99);
  EXPECT_EQ(window_.keyAt(0, 0), -1);
  window_.setClientSize(200, 2);
  EXPECT_EQ(window_.keyAt(0, 0), -1);
  window_.setClientSize(-5, -5);
  EXPECT_EQ(window_.keyAt(0, 0), -1);
  window_.penDown(0, 0);
  window_.penUp(0, 0);
  EXPECT_TRUE(callback_.sent.empty());
}

TEST_F(KeypadWindowTest, TapOnEnterSendsCarriageReturn) {
  tap(0);
  ASSERT_EQ(callback_.sent.size(), 1u);
  EXPECT_EQ(callback_.sent[0], (CharEvent{0x0D, 0x80, 1, 0, 0x0D}));
}

TEST_F(KeypadWindowTest, TapsOnTabAndBackspace) {
  tap(10);
  tap(20);
  EXPECT_EQ(callback_.sent, (std::vector<CharEvent>{tapOf(0x09), tapOf(0x08)}));
}

TEST_F(KeypadWindowTest, DotIsSentWithVirtualKey2E) {
  tap(16);
  ASSERT_EQ(callback_.sent.size(), 1u);
  EXPECT_EQ(callback_.sent[0].vk, 0x2Eu);
  EXPECT_EQ(callback_.sent[0].character, static_cast<UINT>('.'));
}

TEST_F(KeypadWindowTest, EveryKeySendsItsCode) {
  for (int i = 0; i < kKeyCount; ++i) tap(i);
  ASSERT_EQ(callback_.sent.size(), 30u);
  for (int i = 0; i < kKeyCount; ++i) EXPECT_EQ(callback_.sent[i], tapOf(defaultCode(i))) << i;
}

TEST_F(KeypadWindowTest, PenDownMarksAndRepaintsTheKeyUnderIt) {
  window_.penDown(cx(14), cy(14));
  EXPECT_EQ(window_.keyUnderPen(), 1u << 14);
  EXPECT_EQ(host_.keys, std::vector<int>{14});
  EXPECT_TRUE(callback_.sent.empty());
}

TEST_F(KeypadWindowTest, SlidingSendsOnlyTheKeyUnderThePenAtLift) {
  window_.penDown(cx(3), cy(3));
  window_.penMove(cx(3) + 2, cy(3));
  EXPECT_EQ(host_.all, 0);  // same key: nothing to redraw
  window_.penMove(cx(4), cy(4));
  EXPECT_EQ(window_.keyUnderPen(), 1u << 4);
  window_.penMove(cx(25), cy(25));
  EXPECT_EQ(window_.keyUnderPen(), 1u << 25);
  EXPECT_EQ(host_.all, 2);
  window_.penUp(cx(25), cy(25));
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('9')});
  EXPECT_EQ(window_.keyUnderPen(), 0u);
  EXPECT_EQ(host_.keys.back(), 25);
}

TEST_F(KeypadWindowTest, LiftingOffTheKeysSendsNothing) {
  window_.penDown(cx(5), cy(5));
  window_.penMove(-3, cy(5));
  EXPECT_EQ(window_.keyUnderPen(), 0u);
  window_.penUp(-3, cy(5));
  window_.penDown(cx(5), cy(5));
  window_.penUp(250, 300);
  EXPECT_TRUE(callback_.sent.empty());
  EXPECT_EQ(window_.keyUnderPen(), 0u);
}

TEST_F(KeypadWindowTest, PenDownOffTheKeysThenOntoAKeySendsIt) {
  window_.setClientSize(205, 99);
  window_.penDown(202, 5);
  EXPECT_EQ(window_.keyUnderPen(), 0u);
  EXPECT_TRUE(host_.keys.empty());
  window_.penMove(cx(7), cy(7));
  window_.penUp(cx(7), cy(7));
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('L')});
}

TEST_F(KeypadWindowTest, PenUpOrMoveWithoutPenDownDoesNothing) {
  window_.penMove(cx(1), cy(1));
  window_.penUp(cx(1), cy(1));
  EXPECT_TRUE(callback_.sent.empty());
  EXPECT_EQ(host_.all, 0);
  tap(1);
  window_.penUp(cx(1), cy(1));  // a second lift is not a second tap
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('A')});
}

TEST_F(KeypadWindowTest, WithoutCallbackTapsGoNowhere) {
  window_.onPlinqMessage(kMessageCallback, 0);
  EXPECT_EQ(window_.callback(), nullptr);
  tap(3);
  EXPECT_TRUE(callback_.sent.empty());
}

TEST_F(KeypadWindowTest, WindowHoldsOneReferenceToItsCallback) {
  EXPECT_EQ(callback_.references, 2u);
  test::RecordingCallback other;
  window_.onPlinqMessage(kMessageCallback, reinterpret_cast<std::intptr_t>(&other));
  EXPECT_EQ(callback_.references, 1u);
  EXPECT_EQ(other.references, 2u);
  window_.onPlinqMessage(kMessageCallback, reinterpret_cast<std::intptr_t>(&other));
  EXPECT_EQ(other.references, 2u);
  {
    RecordingHost host;
    KeypadWindow shortLived(host, RECT{});
    shortLived.onPlinqMessage(kMessageCallback, reinterpret_cast<std::intptr_t>(&other));
    EXPECT_EQ(other.references, 3u);
  }
  EXPECT_EQ(other.references, 2u);
  window_.onPlinqMessage(kMessageCallback, 0);
  EXPECT_EQ(other.references, 1u);
}

TEST_F(KeypadWindowTest, InfoMessageCopiesTheRecord) {
  IMINFO info{40, 7, 8, 0, 0, 2, RECT{0, 0, 200, 100}};
  window_.onPlinqMessage(kMessageInfo, reinterpret_cast<std::intptr_t>(&info));
  info.cbSize = 0;
  EXPECT_EQ(window_.info().cbSize, 40u);
  EXPECT_EQ(window_.info().hImageNarrow, 7u);
  EXPECT_EQ(window_.info().rcSipRect.right, 200);
  window_.onPlinqMessage(kMessageInfo, 0);
  EXPECT_EQ(window_.info().cbSize, 40u);
}

TEST_F(KeypadWindowTest, FitMessageAsksTheHostAndOtherKindsAreIgnored) {
  window_.onPlinqMessage(kMessageFit, 0);
  EXPECT_EQ(host_.fits, 1);
  window_.onPlinqMessage(3, 12345);
  window_.onPlinqMessage(~std::uintptr_t{0}, -1);
  EXPECT_EQ(host_.fits, 1);
  EXPECT_EQ(window_.callback(), &callback_);
  EXPECT_EQ(window_.parentRect().left, 5);
  EXPECT_EQ(window_.parentRect().bottom, 106);
}

class CustomizeTest : public KeypadWindowTest {
 protected:
  void setArray(int index, const std::string& value) {
    ASSERT_TRUE(registry_.createKey(arrayKeyPath(index)));
    ASSERT_TRUE(registry_.setDefaultValue(arrayKeyPath(index), value));
  }
  test::TempDir dir_;
  Registry registry_{dir_.path()};
};

TEST_F(CustomizeTest, ArrayKeySetsLabelAndCode) {
  setArray(1, "Q");
  setArray(29, "W");
  window_.customize(registry_);
  EXPECT_EQ(window_.labels(), U"eQT123CLDF>HP456.MRE<ZS7890YBW");
  tap(1);
  tap(29);
  EXPECT_EQ(callback_.sent, (std::vector<CharEvent>{tapOf('Q'), tapOf('W')}));
}

TEST_F(CustomizeTest, ArrayKeysOfFixedKeysAreIgnored) {
  for (int fixed : {0, 3, 5, 10, 16, 20, 26}) setArray(fixed, "Q");
  setArray(30, "Q");
  window_.customize(registry_);
  EXPECT_EQ(window_.labels(), U"eAT123CLDF>HP456.MRE<ZS7890YBN");
  tap(5);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('3')});
}

TEST_F(CustomizeTest, UnreadableValuesLeaveTheDefaults) {
  ASSERT_TRUE(registry_.createKey(arrayKeyPath(2)));  // key without a value
  setArray(6, "");
  setArray(7, "\xFF");
  setArray(8, std::string("\0X", 2));
  window_.customize(registry_);
  EXPECT_EQ(window_.labels(), U"eAT123CLDF>HP456.MRE<ZS7890YBN");
}

TEST_F(CustomizeTest, FirstCharacterOnlyAndAnyCharacter) {
  setArray(11, "Kxyz");
  setArray(12, "\xC3\x89");
  window_.customize(registry_);
  EXPECT_EQ(window_.label(11), U'K');
  EXPECT_EQ(window_.label(12), U'\u00C9');
  EXPECT_EQ(window_.code(12), 0xC9u);
}

TEST_F(CustomizeTest, MissingStoreLeavesTheDefaults) {
  Registry nowhere(dir_.path() / "absent");
  window_.customize(nowhere);
  EXPECT_EQ(window_.labels(), U"eAT123CLDF>HP456.MRE<ZS7890YBN");
}

}  // namespace
}  // namespace plinq
