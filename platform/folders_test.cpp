#include "platform/folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/mem_file_system.h"

namespace platform {
namespace {

// Sets environment variables for one test and puts the old values back.
class FoldersTest : public ::testing::Test {
 protected:
  ~FoldersTest() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void Set(const std::string& name, const char* value) {
    if (saved_.count(name) == 0) {
      const char* old = getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      setenv(name.c_str(), value, 1);
    } else {
      unsetenv(name.c_str());
    }
  }

  std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(FoldersTest, ProgramFolderHoldsTheRunningProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "platform_tests"));
}

TEST_F(FoldersTest, SettingsFolderPrefersXdgConfigHome) {
  Set("XDG_CONFIG_HOME", "/cfg");
  Set("HOME", "/home/u");
  EXPECT_EQ(SettingsFolder(), "/cfg/varnolde/");
  Set("XDG_CONFIG_HOME", "/cfg/");
  EXPECT_EQ(SettingsFolder(), "/cfg/varnolde/");
}

TEST_F(FoldersTest, SettingsFolderFallsBackToHome) {
  Set("XDG_CONFIG_HOME", nullptr);
  Set("HOME", "/home/u");
  EXPECT_EQ(SettingsFolder(), "/home/u/.config/varnolde/");
  Set("XDG_CONFIG_HOME", "relative/cfg");  // not absolute: ignored
  EXPECT_EQ(SettingsFolder(), "/home/u/.config/varnolde/");
}

TEST_F(FoldersTest, NoSettingsFolderWithoutUsableVariables) {
  Set("XDG_CONFIG_HOME", "");
  Set("HOME", nullptr);
  EXPECT_EQ(SettingsFolder(), "");
}

TEST_F(FoldersTest, RuntimeFolder) {
  Set("XDG_RUNTIME_DIR", "/run/user/1000");
  EXPECT_EQ(RuntimeFolder(), "/run/user/1000/");
  Set("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(RuntimeFolder(), "");
}

TEST_F(FoldersTest, StateFolderFollowsXdgStateHomeElseHome) {
  Set("HOME", "/home/u");
  Set("XDG_STATE_HOME", "/st");
  EXPECT_EQ(StateFolder(), "/st/varnolde/");
  Set("XDG_STATE_HOME", nullptr);
  EXPECT_EQ(StateFolder(), "/home/u/.local/state/varnolde/");
  Set("XDG_STATE_HOME", "state");  // not absolute: ignored
  EXPECT_EQ(StateFolder(), "/home/u/.local/state/varnolde/");
  Set("HOME", nullptr);
  EXPECT_EQ(StateFolder(), "");
}

TEST_F(FoldersTest, ThisUsersFoldersComeFromTheEnvironment) {
  Set("HOME", "/home/u");
  Set("XDG_CONFIG_HOME", nullptr);
  Set("XDG_STATE_HOME", nullptr);
  const Folders unset = Folders::ForThisUser();
  EXPECT_EQ(unset.program, ProgramFolder());
  EXPECT_EQ(unset.office, "/etc/varnolde/");
  EXPECT_EQ(unset.userConfig, "/home/u/.config/varnolde/");
  EXPECT_EQ(unset.userState, "/home/u/.local/state/varnolde/");
  EXPECT_EQ(unset.documents, "/home/u/");
  Set("XDG_CONFIG_HOME", "/cfg");
  Set("XDG_STATE_HOME", "/st");
  const Folders set = Folders::ForThisUser();
  EXPECT_EQ(set.userConfig, "/cfg/varnolde/");
  EXPECT_EQ(set.userState, "/st/varnolde/");
}

// Which copy of the password file and of the sale list is read, for each
// set of copies present. The user's own password file is never read.
TEST_F(FoldersTest, OfficeFilesAreFoundInTheirOrder) {
  const Folders folders{"/usr/lib/varnolde/", "/etc/varnolde/", "/home/u/.config/varnolde/",
                        "/home/u/.local/state/varnolde/", "/home/u/"};
  struct Case {
    std::vector<std::string> present;  // folders holding a copy
    std::string password;              // the password file read
    std::string sales;                 // the sale list read
  };
  const Case cases[] = {
      {{}, "/etc/varnolde/", "/home/u/.config/varnolde/"},  // none: where it belongs
      {{"/usr/lib/varnolde/"}, "/usr/lib/varnolde/", "/usr/lib/varnolde/"},
      {{"/usr/lib/varnolde/", "/etc/varnolde/"}, "/etc/varnolde/", "/etc/varnolde/"},
      {{"/home/u/.config/varnolde/"}, "/etc/varnolde/", "/home/u/.config/varnolde/"},
      {{"/home/u/.config/varnolde/", "/usr/lib/varnolde/", "/etc/varnolde/"},
       "/etc/varnolde/",
       "/home/u/.config/varnolde/"},
  };
  for (const Case& c : cases) {
    MemFileSystem fs;
    for (const std::string& folder : c.present) {
      fs.SetFile(folder + "Varnolde.upw", "a,b");
      fs.SetFile(folder + "sales.csv", "x");
    }
    EXPECT_EQ(FindFile(fs, folders.PasswordFileFolders(), "Varnolde.upw"),
              c.password + "Varnolde.upw");
    EXPECT_EQ(FindFile(fs, folders.SaleListFolders(), "sales.csv"), c.sales + "sales.csv");
  }
}

TEST_F(FoldersTest, AllInOneFolderLooksOnlyThere) {
  const Folders folders = Folders::AllIn("/card/");
  EXPECT_EQ(folders.PasswordFileFolders(), std::vector<std::string>{"/card/"});
  EXPECT_EQ(FolderList(folders.SaleListFolders()), "/card/");
  EXPECT_EQ(FolderList({"/a/", "", "/b/", "/a/", "/c/"}), "/a/, /b/ or /c/");
}

TEST_F(FoldersTest, MakeFoldersMakesTheMissingOnesForTheUserAlone) {
  const std::string root = ::testing::TempDir() + "folders-" + std::to_string(getpid()) + "/";
  ASSERT_TRUE(MakeFolders(root + "a/b/"));
  EXPECT_TRUE(std::filesystem::is_directory(root + "a/b"));
  EXPECT_EQ(std::filesystem::status(root + "a/b").permissions(), std::filesystem::perms::owner_all);
  EXPECT_TRUE(MakeFolders(root + "a/b/"));  // already there
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace platform
