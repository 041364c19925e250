#include "app/file_type.h"

#include <iterator>

namespace app {

const char* FileTypeText(FileType type) { return kFileTypeTexts[static_cast<int>(type)]; }

std::optional<FileType> ParseFileType(std::string_view text) {
  for (size_t i = 0; i < std::size(kFileTypeTexts); ++i) {
    if (text == kFileTypeTexts[i]) return static_cast<FileType>(i);
  }
  return std::nullopt;
}

FileType FileTypeOfSetting(std::string_view text) {
  return ParseFileType(text).value_or(FileType::kProduction);
}

}  // namespace app
