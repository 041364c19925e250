#include "platform/folders.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/file_system.h"

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

// $variable/varnolde/ when the variable is usable, else $HOME/fallback/varnolde/.
std::string UserFolder(const char* variable, const char* fallback) {
  const std::string base = AbsoluteEnv(variable);
  if (!base.empty()) return base + "varnolde/";
  const std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home + fallback + "varnolde/";
  return {};
}

// The usable folders of `folders`: no empty ones, no repeats.
std::vector<std::string> Distinct(const std::vector<std::string>& folders) {
  std::vector<std::string> result;
  for (const std::string& folder : folders) {
    if (!folder.empty() && std::find(result.begin(), result.end(), folder) == result.end()) {
      result.push_back(folder);
    }
  }
  return result;
}

}  // namespace

Folders Folders::ForThisUser() {
  return {ProgramFolder(), kOfficeFolder, SettingsFolder(), StateFolder(), AbsoluteEnv("HOME")};
}

Folders Folders::AllIn(const std::string& folder) {
  return {folder, folder, folder, folder, folder};
}

std::vector<std::string> Folders::PasswordFileFolders() const {
  return Distinct({office, program});
}

std::vector<std::string> Folders::SaleListFolders() const {
  return Distinct({userConfig, office, program});
}

std::string FindFile(const FileSystem& fs, const std::vector<std::string>& folders,
                     std::string_view name) {
  const std::vector<std::string> usable = Distinct(folders);
  if (usable.empty()) return {};
  for (const std::string& folder : usable) {
    std::string path = folder + std::string(name);
    if (fs.Exists(path)) return path;
  }
  return usable.front() + std::string(name);
}

std::string FolderList(const std::vector<std::string>& folders) {
  const std::vector<std::string> usable = Distinct(folders);
  std::string text;
  for (size_t i = 0; i < usable.size(); ++i) {
    if (i > 0) text += i + 1 == usable.size() ? " or " : ", ";
    text += usable[i];
  }
  return text;
}

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::path made;
  for (const auto& part : std::filesystem::path(folder)) {
    made /= part;
    if (part.empty() || std::filesystem::exists(made, error)) continue;
    if (!std::filesystem::create_directory(made, error)) return false;
    std::filesystem::permissions(made, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
  }
  return std::filesystem::is_directory(folder, error);
}

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return {};
  std::string folder = exe.parent_path().string();
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string RuntimeFolder() { return AbsoluteEnv("XDG_RUNTIME_DIR"); }

std::string SettingsFolder() { return UserFolder("XDG_CONFIG_HOME", ".config/"); }

std::string StateFolder() { return UserFolder("XDG_STATE_HOME", ".local/state/"); }

}  // namespace platform
