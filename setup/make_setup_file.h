// "&Make Setup File": a new setup file made from the open scale file, so that
// every scale file later created from it starts with the open file's columns,
// lengths, defaults, options, landing fields and tapers, and no load data.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

namespace app {
class Application;
}

namespace setup {

// The save dialog's texts.
inline constexpr char kNewSetupTitle[] = "New setup name";
inline constexpr char kNewSetupProposedName[] = "MyNewSetup.SetupScl";
inline constexpr char kNewSetupExtension[] = ".SetupScl";
inline constexpr char kNewSetupFilter[] =
    "Scale setup files (*.SetupScl)|*.SetupScl|All Files (*.*)|*.*||";
inline constexpr char kNewSetupCaption[] = "New Setup File Created";

// The tables a new setup file is emptied of.
inline constexpr const char* kLoadDataTables[] = {"MessageLog", "SaleData", "Load", "Log",
                                                  "Seg",        "DefB",     "DefC"};

// The outcome of MakeSetupFile.
enum class SetupFileOutcome { kMade, kCancelled, kFailed };

// The name a chosen path is saved under: one ending in ".Set" (a dialog may
// cut long extensions) gets "upScl" appended; any other stays as it is.
std::string SetupFilePath(const std::string& chosen);

// Asks for the new file's name ("New setup name"), commits the open file,
// moves a file of that name to its backup name, copies the open file there
// (never overwriting), empties the copy's kLoadDataTables, sets its
// System/Finalized to "NO" (adding the row when missing), commits and closes
// it, and shows its path (and the backup's name) captioned "New Setup File
// Created". kCancelled when the dialog was cancelled. kFailed, with the
// reason shown, when the open file could not be committed, the name is the
// open file's own, or a move, copy or write failed: a half-made copy is
// deleted and a backup made for it is moved back. REQUIRES: a file is open.
[[nodiscard]] SetupFileOutcome MakeSetupFile(app::Application& app);

}  // namespace setup
