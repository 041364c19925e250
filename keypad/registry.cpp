#include "keypad/registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace plinq {
namespace {

constexpr const char* kValueFile = "@";
constexpr std::size_t kMaxNameBytes = 255;

bool validName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  if (name == "." || name == ".." || name == kValueFile) return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<std::filesystem::path> envFolder(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::filesystem::path(value);
}

}  // namespace

Registry::Registry(std::filesystem::path root) : root_(std::move(root)) {}

std::optional<Registry> Registry::forUser() {
  if (auto folder = envFolder(kRegistryEnv)) return Registry(*folder);
  if (auto config = envFolder("XDG_CONFIG_HOME")) return Registry(*config / "plinq" / "registry");
  if (auto home = envFolder("HOME")) return Registry(*home / ".config" / "plinq" / "registry");
  return std::nullopt;
}

std::optional<std::filesystem::path> Registry::folderOf(std::string_view path) const {
  std::filesystem::path folder = root_;
  while (true) {
    std::size_t cut = path.find('\\');
    std::string_view name = path.substr(0, cut);
    if (!validName(name)) return std::nullopt;
    folder /= std::string(name);
    if (cut == std::string_view::npos) return folder;
    path.remove_prefix(cut + 1);
  }
}

bool Registry::createKey(std::string_view path) const {
  auto folder = folderOf(path);
  if (!folder) return false;
  std::error_code ec;
  std::filesystem::create_directories(*folder, ec);
  return std::filesystem::is_directory(*folder, ec);
}

bool Registry::keyExists(std::string_view path) const {
  auto folder = folderOf(path);
  std::error_code ec;
  return folder && std::filesystem::is_directory(*folder, ec);
}

bool Registry::setDefaultValue(std::string_view path, std::string_view text) const {
  if (text.size() > kMaxValueBytes || !keyExists(path)) return false;
  std::filesystem::path target = *folderOf(path) / kValueFile;
  // Written beside the value and renamed over it, so a reader sees the old
  // text or the new one, never a part.
  std::filesystem::path temp = target;
  temp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (!ec) return true;
  std::error_code ignored;
  std::filesystem::remove(temp, ignored);
  return false;
}

std::optional<std::string> Registry::defaultValue(std::string_view path) const {
  auto folder = folderOf(path);
  if (!folder) return std::nullopt;
  std::filesystem::path file = *folder / kValueFile;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string text(kMaxValueBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  auto got = static_cast<std::size_t>(in.gcount());
  if (got > kMaxValueBytes) return std::nullopt;
  text.resize(got);
  return text;
}

bool Registry::deleteKey(std::string_view path) const {
  if (!keyExists(path)) return false;
  std::error_code ec;
  std::filesystem::remove_all(*folderOf(path), ec);
  return !ec;
}

}  // namespace plinq
