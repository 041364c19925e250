#include "app/file_names.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace app {
namespace {

bool IsSpace(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

}  // namespace

std::optional<std::string> BackupName(const platform::FileSystem& fs, const std::string& path) {
  for (int n = 1; n <= kMaxBackupNumber; ++n) {
    std::string name = path + ".BAK" + std::to_string(n);
    if (!fs.Exists(name)) return name;
  }
  return std::nullopt;
}

std::string DatePrefix(const platform::LocalDateTime& now) {
  char text[40];
  std::snprintf(text, sizeof text, "%d%02d%02d", now.year, now.month, now.day);
  return text;
}

std::string WithFileNamePrefix(std::string_view path, std::string_view prefix) {
  std::string folder = FolderOf(path);
  return folder + std::string(prefix) + std::string(path.substr(folder.size()));
}

std::string FileNameOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ParseRememberedFolder(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  size_t end = start;
  while (end < text.size() && !IsSpace(text[end])) ++end;
  return std::string(text.substr(start, end - start));
}

}  // namespace app
