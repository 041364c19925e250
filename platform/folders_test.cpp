#include "platform/folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

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

}  // namespace
}  // namespace platform
