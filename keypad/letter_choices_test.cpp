#include "keypad/letter_choices.h"

#include <gtest/gtest.h>

#include "keypad/test_support.h"

namespace plinq {
namespace {

class LetterChoicesTest : public ::testing::Test {
 protected:
  void setArray(int index, const std::string& value) {
    ASSERT_TRUE(registry_.createKey(arrayKeyPath(index)));
    ASSERT_TRUE(registry_.setDefaultValue(arrayKeyPath(index), value));
  }
  test::TempDir dir_;
  Registry registry_{dir_.path()};
};

// The default letters A, T, C, L, D, F, H, P, M, R, E, Z, S, Y, B, N as items.
const int kDefaultItems[16] = {0, 19, 2, 11, 3, 5, 7, 15, 12, 17, 4, 25, 18, 24, 1, 13};

TEST_F(LetterChoicesTest, ItemsAreTheLettersAToZ) {
  EXPECT_EQ(LetterChoices::itemText(0), "A");
  EXPECT_EQ(LetterChoices::itemText(16), "Q");
  EXPECT_EQ(LetterChoices::itemText(25), "Z");
}

TEST_F(LetterChoicesTest, ListsFollowTheLetterKeys) {
  EXPECT_EQ(LetterChoices::keyIndex(0), 1);
  EXPECT_EQ(LetterChoices::keyIndex(5), 9);
  EXPECT_EQ(LetterChoices::keyIndex(6), 11);
  EXPECT_EQ(LetterChoices::keyIndex(15), 29);
}

TEST_F(LetterChoicesTest, WithoutStoreTheDefaultsAreSelected) {
  LetterChoices choices(nullptr);
  for (int list = 0; list < kLetterLists; ++list) EXPECT_EQ(choices.selection(list), kDefaultItems[list]) << list;
}

TEST_F(LetterChoicesTest, ReadableArrayValuesReplaceTheDefaults) {
  setArray(1, "Q");
  setArray(2, "Wz");
  setArray(6, "");  // unreadable: default stays
  setArray(5, "X");  // not a letter key: never read
  LetterChoices choices(&registry_);
  EXPECT_EQ(choices.selection(0), 16);
  EXPECT_EQ(choices.selection(1), 22);
  EXPECT_EQ(choices.selection(2), 2);
}

TEST_F(LetterChoicesTest, CurrentLettersOutsideAToZLeaveNoSelection) {
  setArray(7, "q");
  setArray(8, "7");
  LetterChoices choices(&registry_);
  EXPECT_EQ(choices.selection(3), -1);
  EXPECT_EQ(choices.selection(4), -1);
}

TEST_F(LetterChoicesTest, SaveWritesEverySelectedList) {
  LetterChoices choices(nullptr);
  choices.select(0, 16);
  EXPECT_TRUE(choices.save(registry_));
  EXPECT_EQ(registry_.defaultValue(arrayKeyPath(1)), "Q");
  EXPECT_EQ(registry_.defaultValue(arrayKeyPath(29)), "N");
  EXPECT_FALSE(registry_.keyExists(arrayKeyPath(3)));
}

TEST_F(LetterChoicesTest, ListsWithoutSelectionAreNotWritten) {
  setArray(7, "q");
  LetterChoices choices(&registry_);
  choices.select(1, -1);
  EXPECT_TRUE(choices.save(registry_));
  EXPECT_EQ(registry_.defaultValue(arrayKeyPath(7)), "q");
  EXPECT_FALSE(registry_.keyExists(arrayKeyPath(2)));
  EXPECT_EQ(registry_.defaultValue(arrayKeyPath(1)), "A");
}

TEST_F(LetterChoicesTest, OutOfRangeItemsAreIgnored) {
  LetterChoices choices(nullptr);
  choices.select(0, 26);
  choices.select(0, -2);
  EXPECT_EQ(choices.selection(0), 0);
}

TEST_F(LetterChoicesTest, FailedWritesAreReportedAndTheRestWritten) {
  LetterChoices choices(nullptr);
  ASSERT_TRUE(registry_.createKey(arrayKeyPath(1)));
  std::filesystem::create_directory(registry_.root() / "HKEY_CLASSES_ROOT" / "CLSID" /
                                    "{27CD5083-08E9-4588-341A-D683C8338E10}" / "Array1" / "@");
  EXPECT_FALSE(choices.save(registry_));
  EXPECT_EQ(registry_.defaultValue(arrayKeyPath(2)), "T");
}

}  // namespace
}  // namespace plinq
