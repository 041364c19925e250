// FileType: what kind of loads a scale file holds, as the main screen's file
// type list chooses it and Globals System/FileType stores it.
//
// The stored and shown texts are "production", "check scale" and
// "non-scale loads"; the enum's order is the order of the main screen's list.
#pragma once

#include <optional>
#include <string_view>

#include "reports/report_run.h"

namespace app {

enum class FileType { kProduction, kCheckScale, kNonScale };

// The file types' texts, indexed by FileType.
inline constexpr const char* kFileTypeTexts[] = {
    reports::kFileTypeProduction, reports::kFileTypeCheckScale, reports::kFileTypeNonScale};

// The text of `type` ("production", "check scale", "non-scale loads").
const char* FileTypeText(FileType type);

// The file type whose text is exactly `text`; nullopt for any other text.
std::optional<FileType> ParseFileType(std::string_view text);

// The file type a stored setting stands for: its own type when the text is
// one of the three, "production" for anything else (no setting, a foreign
// text), as a file without the setting has always been taken.
FileType FileTypeOfSetting(std::string_view text);

}  // namespace app
