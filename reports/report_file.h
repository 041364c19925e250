// Writing a finished report or export file.
//
// Reports and exports are built in memory as one UTF-8 text and written in one
// piece: converted to the device's 8-bit text (Windows-1252, one byte per
// character; a character with no 8-bit form becomes "?"), replacing an
// existing file, byte for byte as the text says (no line-end translation; a
// percent sign stays a percent sign).
//
// Thread safety: as safe as the FileSystem and Ui passed in.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/ui.h"

namespace reports {

// Caption of the message shown when a report file cannot be created.
inline constexpr std::string_view kErrorCreatingFileCaption = "Error Creating File";

// The text of that message for a file path. Without a `reason`: the path
// followed by " is already open by another application.\nClose it and try
// again.". With the system's reason (FileSystem::LastErrorText): the path
// followed by " could not be written: " + reason + ".", so that a folder the
// user may not write or a full disk is not blamed on another program.
std::string ErrorCreatingFileText(std::string_view path, std::string_view reason = {});

// Shows the message box of a report file that cannot be created: caption
// kErrorCreatingFileCaption, the stop icon, an OK button and `text`.
void ShowErrorCreatingFile(platform::Ui& ui, std::string text);

// Writes text (UTF-8) to path as 8-bit text through files.WriteFile, creating
// the file or replacing an existing one, in one write. Returns true when the
// file was written. When it cannot be created (any failure of WriteFile)
// nothing is written, false is returned and, when ui is not null, a message
// box with the caption kErrorCreatingFileCaption, the stop icon, an OK button
// and ErrorCreatingFileText(path, files.LastErrorText()) is shown. Pass a
// null ui where the report stays silent about the failure (the audit
// report).
[[nodiscard]] bool WriteReportFile(platform::FileSystem& files, const std::string& path,
                                   std::string_view text, platform::Ui* ui);

}  // namespace reports
