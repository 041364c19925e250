// The folders the program keeps its own files in.
//
// Beside the program: the default setup file, the password file, the sale
// list and the remembered folder ("mrp"). In the settings folder: the device
// identity (identity.h). Both are returned ending in "/", so that a file name
// can be appended directly ("the program's folder followed by sales.csv").
//
// Thread safety: safe from any thread, as long as no thread changes the
// environment meanwhile.
#pragma once

#include <string>

namespace platform {

// The folder of the running executable (from /proc/self/exe, links resolved),
// ending in "/". Empty when it cannot be determined.
std::string ProgramFolder();

// The program's settings folder: $XDG_CONFIG_HOME/varnolde/ when that variable
// holds an absolute path, else $HOME/.config/varnolde/, ending in "/". Empty
// when neither variable is usable. The folder is not created: it may not
// exist, and readers then find their files missing.
std::string SettingsFolder();

// The user's runtime folder, $XDG_RUNTIME_DIR, ending in "/". Empty when the
// variable is not set to an absolute path.
std::string RuntimeFolder();

}  // namespace platform
