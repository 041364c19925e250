// The folders the program finds its files in and keeps its own in.
//
// - The program's folder holds what ships with it and is read-only once
//   installed: the default setup file.
// - The office's folder, /etc/varnolde/, holds what the office's
//   administrator edits: the password file and the sale list. Old installs
//   kept them beside the program, where they are still read.
// - The user's settings folder ($XDG_CONFIG_HOME/varnolde/) may hold the
//   user's own sale list and the device identity (identity.h). A password
//   file there is never read: the password guards the supervisor's screens
//   from the scaler, who owns that folder.
// - The user's state folder ($XDG_STATE_HOME/varnolde/) keeps the remembered
//   folder of the file dialogs ("mrp").
// Every folder is returned ending in "/", so that a file name can be
// appended directly.
//
// Thread safety: safe from any thread, as long as no thread changes the
// environment meanwhile.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class FileSystem;

// The office's folder of an installed program.
inline constexpr const char* kOfficeFolder = "/etc/varnolde/";

// The folders one run of the program uses. Each ends in "/"; an empty one is
// not used. Tests build their own; the program takes ForThisUser().
struct Folders {
  std::string program;     // the program's own files (read-only when installed)
  std::string office;      // the administrator's files: password file, sale list
  std::string userConfig;  // the user's settings: their own sale list
  std::string userState;   // what is remembered for the user: "mrp"
  std::string documents;   // where the file dialogs start when nothing is remembered

  // The running program's folders: ProgramFolder(), kOfficeFolder,
  // SettingsFolder(), StateFolder(), and the home folder ($HOME) as the
  // documents folder (the screens put the desktop's documents folder there).
  static Folders ForThisUser();
  // Every folder `folder`: everything kept together in one folder, as the
  // handheld kept it in its program folder.
  static Folders AllIn(const std::string& folder);

  // Where the password file is looked for, in order: the office's folder,
  // then the program's. Never a folder of the user's.
  std::vector<std::string> PasswordFileFolders() const;
  // Where the sale list is looked for, in order: the user's settings folder,
  // the office's folder, then the program's.
  std::vector<std::string> SaleListFolders() const;
};

// The path of `name` in the first of `folders` that holds it. When none does,
// the path in the first folder (where the file belongs). Empty folders and
// repeats in the list are skipped; an empty list gives "".
std::string FindFile(const FileSystem& fs, const std::vector<std::string>& folders,
                     std::string_view name);

// The folders of `folders` without empty ones and repeats, in order, joined
// by ", " with " or " before the last: the text of a "not found in" message.
std::string FolderList(const std::vector<std::string>& folders);

// Makes `folder` and every missing folder above it, mode 0700 (the user's
// own). True when it exists afterwards.
[[nodiscard]] bool MakeFolders(const std::string& folder);

// The folder of the running executable (from /proc/self/exe, links resolved),
// ending in "/". Empty when it cannot be determined.
std::string ProgramFolder();

// The program's settings folder: $XDG_CONFIG_HOME/varnolde/ when that variable
// holds an absolute path, else $HOME/.config/varnolde/, ending in "/". Empty
// when neither variable is usable. The folder is not created: it may not
// exist, and readers then find their files missing.
std::string SettingsFolder();

// The program's state folder: $XDG_STATE_HOME/varnolde/ when that variable
// holds an absolute path, else $HOME/.local/state/varnolde/. Empty when
// neither variable is usable. Not created here (MakeFolders).
std::string StateFolder();

// The user's runtime folder, $XDG_RUNTIME_DIR, ending in "/". Empty when the
// variable is not set to an absolute path.
std::string RuntimeFolder();

}  // namespace platform
