#include "platform/identity.h"

#include <charconv>

#include "platform/text.h"

namespace platform {
namespace {

constexpr size_t kMaxNameChars = 399;
constexpr size_t kMaxFileBytes = 64 * 1024;

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// UTF-8 characters: every byte but the continuation bytes starts one.
size_t CountChars(std::string_view s) {
  size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::optional<uint32_t> ParsePegId(std::string_view value) {
  if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  uint32_t number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  return number;
}

void ApplyLine(std::string_view line, DeviceIdentity& identity) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view key = Trim(line.substr(0, equals));
  const std::string_view value = Trim(line.substr(equals + 1));
  if (key.empty() || key[0] == ';' || key[0] == '#' || key[0] == '[') return;
  if (EqualsIgnoringAsciiCase(key, "Name")) {
    identity.name = CountChars(value) <= kMaxNameChars ? std::string(value) : std::string();
  } else if (EqualsIgnoringAsciiCase(key, "PegId")) {
    identity.peg_id = ParsePegId(value);
  }
}

}  // namespace

std::string DeviceIdentity::Text() const {
  if (!peg_id) return name;
  return name + " PegID:" + std::to_string(static_cast<int32_t>(*peg_id));
}

DeviceIdentity ParseDeviceIdentity(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte order mark
  DeviceIdentity identity;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    ApplyLine(text.substr(0, end), identity);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return identity;
}

DeviceIdentity ReadDeviceIdentity(const FileSystem& fs, const std::string& settings_folder) {
  if (settings_folder.empty()) return {};
  std::string text;
  if (fs.ReadFile(settings_folder + kIdentityFileName, kMaxFileBytes, &text) != FileResult::kOk) {
    return {};
  }
  return ParseDeviceIdentity(text);
}

}  // namespace platform
