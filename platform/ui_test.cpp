#include "platform/ui.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"

namespace platform {
namespace {

bool operator==(const FileFilter& a, const FileFilter& b) {
  return a.description == b.description && a.pattern == b.pattern;
}

TEST(UiTest, FilterWithTrailingNullTextGivesItsThreeEntries) {
  const auto entries = ParseFileFilter(
      "Scale Files (*.scl)|*.scl|Scale setup files (*.SetupScl)|*.SetupScl|All Files "
      "(*.*)|*.*||NULL");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_TRUE((entries[0] == FileFilter{"Scale Files (*.scl)", "*.scl"}));
  EXPECT_TRUE((entries[1] == FileFilter{"Scale setup files (*.SetupScl)", "*.SetupScl"}));
  EXPECT_TRUE((entries[2] == FileFilter{"All Files (*.*)", "*.*"}));
}

TEST(UiTest, FilterEndedByDoubleBar) {
  const auto entries =
      ParseFileFilter("Scale setup files (*.SetupScl)|*.SetupScl|All Files (*.*)|*.*||");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE((entries[1] == FileFilter{"All Files (*.*)", "*.*"}));
}

TEST(UiTest, FilterWithoutTerminatorStillParses) {
  const auto entries = ParseFileFilter("Text (*.txt;*.csv)|*.txt;*.csv");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].pattern, "*.txt;*.csv");
}

TEST(UiTest, DamagedFiltersGiveWhatCanBeRead) {
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("||").empty());
  EXPECT_TRUE(ParseFileFilter("|*.scl|").empty());
  const auto lone = ParseFileFilter("Only a description");
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(lone[0].description, "Only a description");
  EXPECT_EQ(lone[0].pattern, "");
}

TEST(UiTest, MessageDefaultsAreAPlainOkBoxThatStays) {
  const Message m("Done", "");
  EXPECT_EQ(m.text, "Done");
  EXPECT_EQ(m.icon, Icon::kNone);
  EXPECT_EQ(m.buttons, Buttons::kOk);
  EXPECT_EQ(m.default_button, DefaultButton::kFirst);
  EXPECT_EQ(m.close_after_ms, Message::kNever);
}

TEST(UiTest, WaitCursorIsShownForTheScopeOnly) {
  ScriptedUi ui([](const std::string& f) { ADD_FAILURE() << f; });
  {
    WaitCursor wait(ui);
    EXPECT_TRUE(ui.wait_cursor());
  }
  EXPECT_FALSE(ui.wait_cursor());
  EXPECT_EQ(ui.wait_cursor_count(), 1);
}

}  // namespace
}  // namespace platform
