#include "keypad/registry.h"

#include <gtest/gtest.h>

#include <fstream>

#include "keypad/test_support.h"

namespace plinq {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  Registry registry_{dir_.path() / "store"};

  void writeRaw(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }
};

TEST_F(RegistryTest, CreateKeyMakesEveryMissingLevel) {
  EXPECT_TRUE(registry_.createKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Array1"));
  EXPECT_TRUE(registry_.keyExists("HKEY_CLASSES_ROOT"));
  EXPECT_TRUE(registry_.keyExists("HKEY_CLASSES_ROOT\\CLSID\\{X}"));
  EXPECT_TRUE(registry_.keyExists("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Array1"));
  EXPECT_FALSE(registry_.keyExists("HKEY_CLASSES_ROOT\\CLSID\\{Y}"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "store" / "HKEY_CLASSES_ROOT" / "CLSID" / "{X}" / "Array1"));
}

TEST_F(RegistryTest, CreatingAnExistingKeySucceeds) {
  ASSERT_TRUE(registry_.createKey("A\\B"));
  ASSERT_TRUE(registry_.setDefaultValue("A\\B", "kept"));
  EXPECT_TRUE(registry_.createKey("A\\B"));
  EXPECT_EQ(registry_.defaultValue("A\\B"), "kept");
}

TEST_F(RegistryTest, DefaultValueRoundTripsAndIsReplaced) {
  ASSERT_TRUE(registry_.createKey("K"));
  EXPECT_EQ(registry_.defaultValue("K"), std::nullopt);
  EXPECT_TRUE(registry_.setDefaultValue("K", "Field Keypad"));
  EXPECT_EQ(registry_.defaultValue("K"), "Field Keypad");
  EXPECT_TRUE(registry_.setDefaultValue("K", "Q"));
  EXPECT_EQ(registry_.defaultValue("K"), "Q");
  EXPECT_TRUE(registry_.setDefaultValue("K", ""));
  EXPECT_EQ(registry_.defaultValue("K"), "");
}

TEST_F(RegistryTest, ValueOfAMissingKeyIsRefused) {
  EXPECT_FALSE(registry_.setDefaultValue("Missing", "x"));
  EXPECT_FALSE(registry_.keyExists("Missing"));
  EXPECT_EQ(registry_.defaultValue("Missing"), std::nullopt);
}

TEST_F(RegistryTest, ValuesKeepBytesAsWritten) {
  ASSERT_TRUE(registry_.createKey("K"));
  std::string bytes("a\nb\0c\xC3\x89", 7);
  ASSERT_TRUE(registry_.setDefaultValue("K", bytes));
  EXPECT_EQ(registry_.defaultValue("K"), bytes);
}

TEST_F(RegistryTest, OversizedValuesAreNeitherWrittenNorRead) {
  ASSERT_TRUE(registry_.createKey("K"));
  ASSERT_TRUE(registry_.setDefaultValue("K", "old"));
  EXPECT_FALSE(registry_.setDefaultValue("K", std::string(kMaxValueBytes + 1, 'x')));
  EXPECT_EQ(registry_.defaultValue("K"), "old");
  EXPECT_TRUE(registry_.setDefaultValue("K", std::string(kMaxValueBytes, 'x')));
  writeRaw(dir_.path() / "store" / "K" / "@", std::string(kMaxValueBytes + 1, 'y'));
  EXPECT_EQ(registry_.defaultValue("K"), std::nullopt);
}

TEST_F(RegistryTest, AValueThatIsAFolderIsUnreadable) {
  ASSERT_TRUE(registry_.createKey("K"));
  std::filesystem::create_directory(dir_.path() / "store" / "K" / "@");
  EXPECT_EQ(registry_.defaultValue("K"), std::nullopt);
  EXPECT_FALSE(registry_.setDefaultValue("K", "x"));
}

TEST_F(RegistryTest, InvalidNamesAreRefusedWithoutTouchingTheDisk) {
  for (const char* bad : {"", "A\\", "\\A", "A\\\\B", "..", "A\\..\\B", ".", "@", "A\\@", "a/b", "../escape"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(registry_.createKey(bad));
    EXPECT_FALSE(registry_.keyExists(bad));
    EXPECT_FALSE(registry_.setDefaultValue(bad, "x"));
    EXPECT_EQ(registry_.defaultValue(bad), std::nullopt);
    EXPECT_FALSE(registry_.deleteKey(bad));
  }
  EXPECT_FALSE(registry_.createKey(std::string_view("A\0B", 3)));
  EXPECT_FALSE(registry_.createKey(std::string(256, 'n')));
  EXPECT_TRUE(registry_.createKey(std::string(255, 'n')));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "escape"));
}

TEST_F(RegistryTest, DeleteKeyRemovesEverySubkeyAndValue) {
  ASSERT_TRUE(registry_.createKey("C\\K\\Array1"));
  ASSERT_TRUE(registry_.createKey("C\\K\\InProcServer32"));
  ASSERT_TRUE(registry_.setDefaultValue("C\\K\\Array1", "Q"));
  ASSERT_TRUE(registry_.createKey("C\\Other"));
  EXPECT_TRUE(registry_.deleteKey("C\\K"));
  EXPECT_FALSE(registry_.keyExists("C\\K"));
  EXPECT_FALSE(registry_.keyExists("C\\K\\Array1"));
  EXPECT_EQ(registry_.defaultValue("C\\K\\Array1"), std::nullopt);
  EXPECT_TRUE(registry_.keyExists("C\\Other"));
}

TEST_F(RegistryTest, DeletingAMissingKeyFails) {
  EXPECT_FALSE(registry_.deleteKey("Nothing\\Here"));
}

TEST_F(RegistryTest, RootThatIsAFileMakesEveryWriteFail) {
  writeRaw(dir_.path() / "file", "x");
  Registry blocked(dir_.path() / "file");
  EXPECT_FALSE(blocked.createKey("A"));
  EXPECT_FALSE(blocked.keyExists("A"));
  EXPECT_FALSE(blocked.deleteKey("A"));
}

TEST_F(RegistryTest, UserStoreFollowsTheEnvironmentInOrder) {
  test::ScopedEnv registry(kRegistryEnv, "/r");
  test::ScopedEnv config("XDG_CONFIG_HOME", "/c");
  test::ScopedEnv home("HOME", "/h");
  EXPECT_EQ(Registry::forUser()->root(), "/r");
  {
    test::ScopedEnv empty(kRegistryEnv, "");
    EXPECT_EQ(Registry::forUser()->root(), "/c/plinq/registry");
  }
  test::ScopedEnv noRegistry(kRegistryEnv, std::nullopt);
  EXPECT_EQ(Registry::forUser()->root(), "/c/plinq/registry");
  test::ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(Registry::forUser()->root(), "/h/.config/plinq/registry");
  test::ScopedEnv noHome("HOME", std::nullopt);
  EXPECT_FALSE(Registry::forUser().has_value());
}

}  // namespace
}  // namespace plinq
