// Structure version upgrade: brings an opened scale or setup file up to the
// current set of tables and DataDictionary rows, 20100830.
//
// Versions, oldest first (stored as the Globals setting System/StructureVersion):
//   below 20050902 or none  unknown structure, refused
//   20050902                the first supported structure
//   20060208                Log has OverrideVolume
//   20060216                OverrideVolume and P have defaults; Log has SkipSeg
//   20100830                DataDictionary describes the table Tapers
// Each step stores the version it reaches and journals it before the next
// one starts; the step's changes are committed together with its version, so
// the file is at one version or the next, never in between. An
// upgrade that was interrupted resumes where it stopped, and a step finds the
// dictionary rows it adds already there when an earlier attempt of it stopped
// after a commit.
//
// Thread safety: none; runs on the user-interface thread with the open store.
#pragma once

#include <string_view>

namespace tablestore {
class TableStore;
}
namespace platform {
class Ui;
}

namespace app {

// The oldest structure the upgrade understands, and the current one.
inline constexpr long kOldestStructureVersion = 20050902;
inline constexpr long kCurrentStructureVersion = 20100830;

// The outcome of UpgradeStructure.
enum class UpgradeResult {
  kCurrent,  // the file is (now) at the current structure or later
  kTooOld,   // refused: no version, not a number, or below the oldest known
  kFailed,   // a step could not be written (message shown); the file keeps
             // the version of the last step completed, and the open store
             // holds uncommitted changes: close it without a commit
};

// Start of the message shown when a step fails: followed by the version the
// file holds (the last step completed), ":", a line break and the engine's
// reason.
inline constexpr char kUpgradeFailedText[] =
    "The update of this file's data structure stopped at version ";

// Reads a version text as the handheld's wide integer parse did: leading
// blanks, an optional sign and the digits that follow; anything else ends the
// number, and a text that does not start with a number gives 0. Values beyond
// the range of a long are clamped to it.
long ParseVersion(std::string_view text);

// The stored structure version of the open file: ParseVersion of the
// System/StructureVersion setting, or 0 when the setting is missing or
// duplicated.
long ReadStructureVersion(tablestore::TableStore& store);

// Runs every upgrade step the file's version calls for, in order, each adding
// or changing DataDictionary rows, rebuilding Log where its columns change,
// storing the new version and journaling "Data structure version updated to "
// followed by it. A file still below the current version after the steps (it
// was too old, or had no version) is left as it is and the user is shown "This
// file has an old version of the data structure." titled "Cannot open file".
// A step that cannot be written stops the upgrade with kFailed and
// kUpgradeFailedText shown under the same title.
// REQUIRES: a file is open in `store`; `ui` is used during the call only.
[[nodiscard]] UpgradeResult UpgradeStructure(tablestore::TableStore& store, platform::Ui& ui);

}  // namespace app
