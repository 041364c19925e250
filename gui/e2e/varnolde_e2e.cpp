// End to end under a private X server: the real `varnolde` program, driven
// with xdotool as a person at the keyboard would drive it.
#include "gui/e2e/e2e_support.h"

namespace {

using e2e::Child;
namespace fs = std::filesystem;

class VarnoldeTest : public e2e::ProgramTest {
 protected:
  VarnoldeTest() : ProgramTest(VARNOLDE_PROGRAM) {}
};

// Started with the default setup file, the program asks for the new file's
// name, creates it, runs the new file's Load Info step and design dialog, and
// shows the main screen with the new file's path.
TEST_F(VarnoldeTest, NewScaleFileFromTheSetupFileOnTheCommandLine) {
  Child& program = StartProgram({(root_ / "bin" / "DefaultScaler.SetupScl").string()});
  const std::string typed = (root_ / "data" / "first").string();  // no extension typed
  const Window save = WaitForWindow("Type file name");
  ASSERT_NE(save, 0u);
  Focus(save);
  ASSERT_TRUE(Xdotool({"type", "--delay", "20", typed}));
  ASSERT_TRUE(Xdotool({"key", "Return"}));
  // No sale list beside the program: the load information screen says so,
  // then opens; Escape closes it.
  ASSERT_NO_FATAL_FAILURE(Answer("Warning", {"Return"}));
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde -- Edit Load Information", {"Escape"}));
  ASSERT_NO_FATAL_FAILURE(Answer("Missing/Incorrect Load Information", {"Return"}));
  ASSERT_NO_FATAL_FAILURE(Answer("Scale and Sample Setup", {"Return"}));
  const Window main = WaitForWindow("Varnolde 2010.11.05");
  ASSERT_NE(main, 0u);
  EXPECT_TRUE(fs::exists(typed + ".scl"));
  EXPECT_TRUE(SaveScreenshot(main, VARNOLDE_E2E_DIR "/main_screen.png"));
  // The file field is third in the keyboard order; copy what it shows.
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"Tab", "Tab", "ctrl+a", "ctrl+c"}));
  EXPECT_EQ(Clipboard(), typed + ".scl");
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"alt+o"}));
  EXPECT_EQ(program.Wait(), 0);
}

// A second copy started while the first runs says so and ends; the first
// runs on.
TEST_F(VarnoldeTest, SecondCopySaysTheFirstIsRunning) {
  Child& first = StartProgram({});
  ASSERT_NE(WaitForWindow("About Varnolde"), 0u);
  Child& second = StartProgram({});
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde", {"Return"}));
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_EQ(first.Wait(std::chrono::milliseconds(200)), Child::kStillRunning);
  ASSERT_NO_FATAL_FAILURE(Answer("About Varnolde", {"Return"}));
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"alt+o"}));
  EXPECT_EQ(first.Wait(), 0);
}

#ifdef VARNOLDE_CLI
// A double-click on another scale file while the program runs: the second
// start hands the file to the running copy and ends; the running copy asks
// before it leaves its open file, then shows the new one.
TEST_F(VarnoldeTest, SecondStartWithAFileHandsItToTheRunningCopy) {
  const std::string first = (root_ / "data" / "first.scl").string();
  const std::string second = (root_ / "data" / "second.scl").string();
  for (const std::string& path : {first, second}) {
    auto cli = Child::Start({VARNOLDE_CLI, "create", path}, {});
    ASSERT_TRUE(cli != nullptr && cli->Wait() == 0) << path;
  }
  Child& running = StartProgram({first});
  ASSERT_NE(WaitForWindow("Varnolde 2010.11.05"), 0u);
  Child& handing = StartProgram({second});
  EXPECT_EQ(handing.Wait(), 0);
  ASSERT_NO_FATAL_FAILURE(Answer("Confirm", {"Return"}));  // Yes
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"Tab", "Tab", "ctrl+a", "ctrl+c"}));
  EXPECT_EQ(Clipboard(), second);
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"alt+o"}));
  EXPECT_EQ(running.Wait(), 0);
}
#endif

}  // namespace
