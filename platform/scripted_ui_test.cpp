#include "platform/scripted_ui.h"

#include <gtest/gtest.h>

#include <memory>

namespace platform {
namespace {

class ScriptedUiTest : public ::testing::Test {
 protected:
  // Failures are collected here instead of failing the test, so that the tests
  // can check that they are raised.
  std::vector<std::string> reported_;
  std::unique_ptr<ScriptedUi> ui_ =
      std::make_unique<ScriptedUi>([this](const std::string& f) { reported_.push_back(f); });

  static Message Confirm() {
    return {"Delete this log?", "Confirm", Icon::kNone, Buttons::kOkCancel, DefaultButton::kSecond};
  }
};

TEST_F(ScriptedUiTest, OkOnlyMessagesAreRecordedAndNeedNoScript) {
  Message m("SAMPLE LOG!", "", Icon::kExclamation);
  m.close_after_ms = 1000;
  EXPECT_EQ(ui_->ShowMessage(m), Answer::kOk);
  ASSERT_EQ(ui_->messages().size(), 1u);
  EXPECT_EQ(ui_->messages()[0].text, "SAMPLE LOG!");
  EXPECT_EQ(ui_->messages()[0].caption, "");
  EXPECT_EQ(ui_->messages()[0].icon, Icon::kExclamation);
  EXPECT_EQ(ui_->messages()[0].buttons, Buttons::kOk);
  EXPECT_EQ(ui_->messages()[0].close_after_ms, 1000);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(ScriptedUiTest, QuestionsTakeQueuedAnswersInOrder) {
  ui_->QueueAnswer(Answer::kCancel);
  ui_->QueueAnswer(Answer::kOk);
  EXPECT_EQ(ui_->ShowMessage(Confirm()), Answer::kCancel);
  EXPECT_EQ(ui_->ShowMessage(Confirm()), Answer::kOk);
  EXPECT_EQ(ui_->messages().size(), 2u);
  EXPECT_EQ(ui_->messages()[1].default_button, DefaultButton::kSecond);
  EXPECT_EQ(ui_->pending(), 0u);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(ScriptedUiTest, UnexpectedQuestionFailsAndIsAnsweredAsCancelled) {
  EXPECT_EQ(ui_->ShowMessage(Confirm()), Answer::kCancel);
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0],
            "unexpected message box (caption \"Confirm\", text \"Delete this log?\", icon None, "
            "buttons OkCancel)");
  EXPECT_EQ(ui_->failures(), reported_);
}

TEST_F(ScriptedUiTest, UnexpectedYesNoQuestionIsAnsweredNo) {
  const Message m("Butt logs ...", "Is this a butt log?", Icon::kInformation, Buttons::kYesNo);
  EXPECT_EQ(ui_->ShowMessage(m), Answer::kNo);
  EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(ScriptedUiTest, AnswerThatIsNotAButtonOfTheBoxFails) {
  ui_->QueueAnswer(Answer::kYes);
  EXPECT_EQ(ui_->ShowMessage(Confirm()), Answer::kCancel);
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].rfind("scripted answer Yes is not a button of message box", 0), 0u);
  EXPECT_EQ(ui_->pending(), 0u);
}

TEST_F(ScriptedUiTest, AnswerQueuedForAnotherKindOfCallFailsAndStaysQueued) {
  ui_->QueuePrompt("why");
  EXPECT_EQ(ui_->ShowMessage(Confirm()), Answer::kCancel);
  EXPECT_EQ(reported_.size(), 1u);
  EXPECT_EQ(ui_->pending(), 1u);
  EXPECT_EQ(ui_->PromptText({"Log Remark", "Why?", ""}), "why");
  EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(ScriptedUiTest, FileDialogsAreRecordedAndAnswered) {
  FileDialog d;
  d.title = "Type file name";
  d.default_extension = ".scl";
  d.initial_folder = "/data";
  ui_->QueueSaveFile("/data/load.scl");
  ui_->QueueOpenFile(std::nullopt);
  EXPECT_EQ(ui_->SaveFile(d), "/data/load.scl");
  EXPECT_EQ(ui_->OpenFile(d), std::nullopt);
  ASSERT_EQ(ui_->file_dialogs().size(), 2u);
  EXPECT_TRUE(ui_->file_dialogs()[0].save);
  EXPECT_FALSE(ui_->file_dialogs()[1].save);
  EXPECT_EQ(ui_->file_dialogs()[0].dialog.initial_folder, "/data");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(ScriptedUiTest, OpenAnswerDoesNotServeASaveDialog) {
  ui_->QueueOpenFile("/x.scl");
  EXPECT_EQ(ui_->SaveFile({}), std::nullopt);
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0], "unexpected save file dialog (title \"\")");
  EXPECT_EQ(ui_->pending(), 1u);
}

TEST_F(ScriptedUiTest, PromptsAreRecordedAndCanBeCancelled) {
  ui_->QueuePrompt(std::nullopt);
  EXPECT_EQ(ui_->PromptText({"Log Remark", "Please type", "x"}), std::nullopt);
  ASSERT_EQ(ui_->prompts().size(), 1u);
  EXPECT_EQ(ui_->prompts()[0].caption, "Log Remark");
  EXPECT_EQ(ui_->prompts()[0].initial, "x");
  EXPECT_EQ(ui_->PromptText({"Log Remark", "Please type", ""}), std::nullopt);
  EXPECT_EQ(reported_.size(), 1u);
}

TEST_F(ScriptedUiTest, TextWindowsAndBeepsAreRecorded) {
  ui_->ShowText("Log Volume", "Seg  Gross\r\n");
  ui_->Beep(BeepKind::kSimple);
  ui_->Beep(BeepKind::kExclamation);
  ASSERT_EQ(ui_->texts().size(), 1u);
  EXPECT_EQ(ui_->texts()[0].caption, "Log Volume");
  EXPECT_EQ(ui_->texts()[0].text, "Seg  Gross\r\n");
  EXPECT_EQ(ui_->beeps(), (std::vector<BeepKind>{BeepKind::kSimple, BeepKind::kExclamation}));
}

TEST_F(ScriptedUiTest, AnswersNeverAskedForFailWhenTheUiGoesAway) {
  ui_->QueueAnswer(Answer::kOk);
  ui_->QueueSaveFile("/a.scl");
  ui_.reset();
  ASSERT_EQ(reported_.size(), 2u);
  EXPECT_EQ(reported_[0], "scripted answer Ok for a message box was never asked for");
  EXPECT_EQ(reported_[1], "scripted result for a save file dialog was never asked for");
}

TEST_F(ScriptedUiTest, WorksWithoutAReporter) {
  ScriptedUi quiet;
  EXPECT_EQ(quiet.ShowMessage(Confirm()), Answer::kCancel);
  EXPECT_EQ(quiet.failures().size(), 1u);
}

}  // namespace
}  // namespace platform
