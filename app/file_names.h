// The names the file lifecycle makes: backup names, the date prefix of new
// scale files, the parts of a path, and the remembered folder kept in "mrp".
//
// Paths use "/" between folders. All functions are pure except BackupName,
// which asks the FileSystem which names are taken.
//
// Thread safety: safe from any thread (BackupName as far as its FileSystem is).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {
class FileSystem;
struct LocalDateTime;
}  // namespace platform

namespace app {

// The name of the remembered-folder file in the program folder.
inline constexpr std::string_view kRememberedFolderFileName = "mrp";

// The most backup numbers tried before giving up on a free backup name.
inline constexpr int kMaxBackupNumber = 100000;

// The backup name of `path`: path + ".BAK" + n for the lowest n >= 1 that no
// file has (X.scl -> X.scl.BAK1, or X.scl.BAK2 when X.scl.BAK1 exists).
// nullopt when every number up to kMaxBackupNumber is taken.
[[nodiscard]] std::optional<std::string> BackupName(const platform::FileSystem& fs,
                                                    const std::string& path);

// The date prefix of a new file's name: year, month and day as "%d%02d%02d"
// (5 November 2010 -> "20101105").
std::string DatePrefix(const platform::LocalDateTime& now);

// `path` with `prefix` put directly in front of its file name (after the last
// "/"; in front of the whole text when there is no "/").
std::string WithFileNamePrefix(std::string_view path, std::string_view prefix);

// The file name: the text after the last "/" (all of `path` without one).
std::string FileNameOf(std::string_view path);

// The folder: the text up to and including the last "/" ("" without one).
std::string FolderOf(std::string_view path);

// Reads the remembered folder from the text of "mrp" as the handheld's "%s"
// scan did: blanks (and other white space) at the start are skipped and the
// folder ends at the first white space, so a folder whose name contains a
// blank is remembered only up to the blank. "" when the text holds none.
std::string ParseRememberedFolder(std::string_view text);

}  // namespace app
