#include "cli/stderr_ui.h"

#include <gtest/gtest.h>

#include <sstream>

namespace cli {
namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

class StderrUiTest : public ::testing::Test {
 protected:
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(StderrUiTest, OkBoxIsOneLineWithItsCaption) {
  StderrUi ui(out, err, false);
  EXPECT_EQ(ui.ShowMessage({"Load finalized", "Done", Icon::kInformation}), Answer::kOk);
  EXPECT_EQ(err.str(), "Done: Load finalized\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(StderrUiTest, FurtherLinesAreIndentedAndCarriageReturnsDropped) {
  StderrUi ui(out, err, false);
  ui.ShowMessage({"Log 3: missing LD\r\nLog 4: missing SD", "Errors Found", Icon::kStop});
  EXPECT_EQ(err.str(), "Errors Found: Log 3: missing LD\n  Log 4: missing SD\n");
}

TEST_F(StderrUiTest, StopBoxesAreCounted) {
  StderrUi ui(out, err, false);
  ui.ShowMessage({"a", "Error", Icon::kStop});
  ui.ShowMessage({"b", "Done", Icon::kInformation});
  ui.ShowMessage({"c", "Error Creating File", Icon::kStop});
  EXPECT_EQ(ui.StopCount(), 2);
}

TEST_F(StderrUiTest, EmptyCaptionIsNamedMessage) {
  StderrUi ui(out, err, false);
  ui.ShowMessage({"x", ""});
  EXPECT_EQ(err.str(), "Message: x\n");
}

TEST_F(StderrUiTest, QuestionIsRefusedWithoutYes) {
  StderrUi ui(out, err, false);
  EXPECT_EQ(ui.ShowMessage({"Continue?", "Warning", Icon::kExclamation, Buttons::kOkCancel}),
            Answer::kCancel);
  EXPECT_EQ(ui.ShowMessage({"Is this a butt log?", "Q", Icon::kQuestion, Buttons::kYesNo}),
            Answer::kNo);
  EXPECT_EQ(err.str(),
            "Warning: Continue?\n  -> Cancel (pass --yes to accept)\n"
            "Q: Is this a butt log?\n  -> No (pass --yes to accept)\n");
}

TEST_F(StderrUiTest, QuestionIsAcceptedWithYes) {
  StderrUi ui(out, err, true);
  EXPECT_EQ(ui.ShowMessage({"Continue?", "Warning", Icon::kExclamation, Buttons::kOkCancel}),
            Answer::kOk);
  EXPECT_EQ(ui.ShowMessage({"Sure?", "Q", Icon::kQuestion, Buttons::kYesNo}), Answer::kYes);
  EXPECT_EQ(err.str(), "Warning: Continue?\n  -> OK\nQ: Sure?\n  -> Yes\n");
}

TEST_F(StderrUiTest, AcceptAnswersOnlyThatCaption) {
  StderrUi ui(out, err, false);
  ui.Accept("Confirm Finalize");
  EXPECT_EQ(
      ui.ShowMessage({"Are you sure?", "Confirm Finalize", Icon::kQuestion, Buttons::kOkCancel}),
      Answer::kOk);
  EXPECT_EQ(ui.ShowMessage({"Continue?", "Warning", Icon::kExclamation, Buttons::kOkCancel}),
            Answer::kCancel);
}

TEST_F(StderrUiTest, SelfClosingBoxAnswersCancel) {
  StderrUi ui(out, err, true);
  Message m("SAMPLE LOG!", "3P");
  m.close_after_ms = 0;
  EXPECT_EQ(ui.ShowMessage(m), Answer::kCancel);
}

TEST_F(StderrUiTest, DialogsAndPromptsAreCancelled) {
  StderrUi ui(out, err, true);
  platform::FileDialog open, save;
  open.title = "Select file:";
  save.title = "Type file name";
  platform::TextPrompt prompt;
  prompt.caption = "Password";
  EXPECT_EQ(ui.OpenFile(open), std::nullopt);
  EXPECT_EQ(ui.SaveFile(save), std::nullopt);
  EXPECT_EQ(ui.PromptText(prompt), std::nullopt);
  EXPECT_EQ(err.str().rfind("Select file: no file can be chosen without a screen: cancelled\n", 0),
            0u)
      << err.str();
  EXPECT_NE(err.str().find("Type file name: "), std::string::npos);
  EXPECT_EQ(out.str(), "");
}

TEST_F(StderrUiTest, TextWindowGoesToOutput) {
  StderrUi ui(out, err, false);
  ui.ShowText("Log Volume", "a\r\nb");
  EXPECT_EQ(out.str(), "Log Volume\na\r\nb\n");
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace cli
