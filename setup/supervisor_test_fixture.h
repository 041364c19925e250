// The fixture of the supervisor dialogs' tests: an open scale file made from
// the bundled default setup, and a password file in the program folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "setup/password_test_support.h"
#include "tablestore/table_store.h"

namespace setup::testing {

// alice / password and bob / passwordp, scrambled the old way.
inline constexpr const char* kPasswords = "alice,$R%=O$#V\nbob,$R%=O$#V$";

class SupervisorTest : public ::testing::Test {
 protected:
  SupervisorTest() : app_(ui_, fs_, clock_, folder_.path()) {
    app_.passwords.hashCost = setup::testing::kTestHashCost;
    EXPECT_EQ(app_.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", path_),
              app::FileOutcome::kCreated);
    SetPasswordFile(kPasswords);
  }

  void SetPasswordFile(const std::string& text) {
    ASSERT_TRUE(app::testing::WriteText(passwordPath_, text));
  }
  std::string PasswordFile() const { return app::testing::ReadText(passwordPath_); }

  // The journal of the open file, after the entries of opening it.
  std::vector<std::string> Journal() {
    EXPECT_EQ(app_.store()->Commit(), 0);
    std::vector<std::string> messages = app::testing::JournalMessages(path_);
    messages.erase(messages.begin(), messages.begin() + std::min(openingEntries_, messages.size()));
    return messages;
  }
  // Forgets the journal entries written so far.
  void SkipJournal() { openingEntries_ += Journal().size(); }

  // Caption and text of every message shown since ClearShown, "caption: text".
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (size_t i = shownFrom_; i < ui_.messages().size(); ++i) {
      shown.push_back(ui_.messages()[i].caption + ": " + ui_.messages()[i].text);
    }
    return shown;
  }
  void ClearShown() { shownFrom_ = ui_.messages().size(); }

  app::testing::TempFolder folder_;
  const std::string path_ = folder_ / "load.scl";
  const std::string passwordPath_ = folder_ / "Varnolde.upw";
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_;
  size_t openingEntries_ = 0;
  size_t shownFrom_ = 0;

  void SetUp() override { SkipJournal(); }
};

}  // namespace setup::testing
