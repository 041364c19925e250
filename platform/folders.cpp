#include "platform/folders.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

// An environment variable usable as the start of a path: set and absolute.
std::string AbsoluteEnv(const char* name) {
  const char* value = getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string folder(value);
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return {};
  std::string folder = exe.parent_path().string();
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string RuntimeFolder() { return AbsoluteEnv("XDG_RUNTIME_DIR"); }

std::string SettingsFolder() {
  const std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (!config.empty()) return config + "varnolde/";
  const std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home + ".config/varnolde/";
  return {};
}

}  // namespace platform
