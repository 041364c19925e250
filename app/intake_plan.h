// Where the intake of a load text puts its new scale file: one scale file
// per load, named after the load's receipt number (LLR) in the intake folder,
// so that a six-digit LLR gives a file whose name the load information
// screen takes back as its LLR. When the setup file asks for dated file
// names, the new file gets the date prefix the create sequence gives it
// (ScaleFiles::CreateFromSetup).
//
// Thread safety: none (the setup file is opened through a TableStore).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace app {

// The LLR values of the Load rows of a load text (the import format: a
// "[Load]" section, its description line naming the columns, a title line,
// then data lines), in order, as the import stores them: a text of valid
// UTF-8 is read as UTF-8, any other as Windows-1252. Empty when the text has
// no Load row or its Load sections have no LLR column.
std::vector<std::string> LoadReceiptsOfText(std::string_view bytes);

// Why `llr` cannot name a scale file, or "" when it can: it must not be
// empty, begin with "." or "-", or hold "/", "\" or a control character.
std::string LlrFileNameProblem(std::string_view llr);

// The path of the new scale file of the load `llr` in `folder`:
// folder + "/" + llr + ".scl", with the date prefix of `now` in front of the
// file name when `dated`.
std::string IntakePath(std::string_view folder, std::string_view llr, bool dated,
                       const platform::LocalDateTime& now);

// True when the setup file asks for dated file names (Option
// AppendDateToFileName "YES"); false when it does not, or is missing or
// cannot be read.
bool SetupDatesFileNames(const platform::FileSystem& fs, const std::string& setupPath);

}  // namespace app
