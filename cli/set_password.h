// varnolde-cli set-password FILE USER: the administrator's reset of a
// supervisor's password (setup::SetPassword), for whoever may write the
// password file. The password is read from the terminal without showing it,
// or, when the input is not a terminal (scripts, tests), as its first line.
//
// Thread safety: none; one command at a time.
#pragma once

#include <unistd.h>

#include <string>

#include "cli/commands.h"

namespace cli {

// Reads the new password from `inputFd`: on a terminal it is asked for twice
// on the error stream ("New password for USER: ", "Re-type password: ") with
// the terminal's echo off; otherwise the first line of the input counts for
// both. Then every account of `userName` in `passwordFile` gets the password
// as a hash, or the account is appended when the file has none; writes "Set
// the password of USER in FILE" (or "Added USER to FILE"). Fails with the
// reason and nothing written on a refused password, an unreadable or
// unwritable file, or input that cannot be read.
Outcome SetPassword(Context& ctx, const std::string& passwordFile, const std::string& userName,
                    int inputFd = STDIN_FILENO);

}  // namespace cli
