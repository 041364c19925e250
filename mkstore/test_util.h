// Helpers shared by the engine's tests: fixture paths and whole-file access.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mk::testing {

inline const std::string kFixtures = MKSTORE_FIXTURES;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A fresh path in a temporary folder of the running test's own (tests run in
// parallel processes), with nothing there yet.
inline std::string TempPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string test = std::string(info->test_suite_name()) + "." + info->name();
  std::replace(test.begin(), test.end(), '/', '_');
  const std::string dir =
      ::testing::TempDir() + "mkstore_tests_" + std::to_string(::getpid()) + "/" + test;
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/" + name;
  std::filesystem::remove(path);
  return path;
}

// Copies fixture `name` (without ".mk") to a temporary path and returns it.
inline std::string CopyFixture(const std::string& name) {
  const std::string path = TempPath(name + ".mk");
  WriteFile(path, ReadFile(kFixtures + "/" + name + ".mk"));
  return path;
}

// The names of all fixture files, without ".mk", sorted.
inline std::vector<std::string> FixtureNames() {
  std::vector<std::string> names;
  // A missing folder lists nothing (the count test then fails) rather than
  // throwing while the tests are being listed.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kFixtures, error)) {
    if (entry.path().extension() == ".mk") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mk::testing
