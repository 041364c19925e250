// Settings: the rows Block/Key/Value of the table Globals in every scale and
// setup file.
//
// A setting is addressed by a block and a key (matched without regard to
// letter case) and holds text; yes/no values are "YES" and "NO". A setting is
// present when exactly one row matches: a duplicated setting reads as missing
// and cannot be written through KeyRetrieve.
//
// Which missing rows are added is decided by each caller, as listed here:
//  - System/Finalized "NO": added when a file is opened (EnsureSetting);
//  - System/FileType: added by the file type rule (StoreSetting);
//  - the Option keys: added with their defaults when the other-options
//    screen opens (AddMissingOptions);
//  - Keys letters are never stored: KeyLetter gives the default;
//  - DefField values are written only into existing rows (WriteSetting).
//
// All functions work through a TableStore (borrowed for the call) and the
// table's slot named "Globals" when one is open; otherwise they open Globals
// for the call with the store's in-memory default and release it afterwards,
// which commits an in-memory copy: the writers then return -4 when that
// commit failed (the file keeps its last committed state).
// Thread safety: as TableStore.
#pragma once

#include <string>
#include <string_view>

#include "tablestore/table_store.h"

namespace tablestore {

// Blocks and keys (stored in files: never rename).
inline constexpr char kGlobals[] = "Globals";
inline constexpr char kBlockSystem[] = "System";
inline constexpr char kBlockOption[] = "Option";
inline constexpr char kBlockKeys[] = "Keys";
inline constexpr char kBlockDefField[] = "DefField";
inline constexpr char kKeyStructureVersion[] = "StructureVersion";
inline constexpr char kKeyProgramVersion[] = "ProgramVersion";
inline constexpr char kKeyFinalized[] = "Finalized";
inline constexpr char kKeyFileType[] = "FileType";
inline constexpr char kKeyAppendDateToFileName[] = "AppendDateToFileName";
inline constexpr char kKeyAuditEachLogBeforeAppend[] = "AuditEachLogBeforeAppend";
inline constexpr char kKeyAppendAfterDefect[] = "AppendAfterDefect";
inline constexpr char kKeyCloseHitWindow[] = "CloseHitWindow";
inline constexpr char kYes[] = "YES";
inline constexpr char kNo[] = "NO";

// A setting and the value it takes when missing.
struct SettingDefault {
  const char* block;
  const char* key;
  const char* value;
};

// The Option rows the other-options screen adds when they are missing.
inline constexpr SettingDefault kOptionDefaults[] = {
    {kBlockOption, kKeyAppendDateToFileName, kNo},
    {kBlockOption, kKeyAuditEachLogBeforeAppend, kNo},
    {kBlockOption, kKeyAppendAfterDefect, kNo},
    {kBlockOption, kKeyCloseHitWindow, "-1"},
};

// The key letters of the data entry screen, used when Keys has no row or an
// empty value for them. Never stored.
inline constexpr SettingDefault kKeyDefaults[] = {
    {kBlockKeys, "LogScreen", "L"},    {kBlockKeys, "SegmentScreen", "S"},
    {kBlockKeys, "DefectScreen", "D"}, {kBlockKeys, "VolumeCalc", "V"},
    {kBlockKeys, "OK", "O"},           {kBlockKeys, "AddRec", "A"},
    {kBlockKeys, "DelRec", "X"},
};

// The criteria text "Block=<block>,Key=<key>".
std::string SettingCriteria(std::string_view block, std::string_view key);

// Reads a setting into `value`. Returns 0; -3 when the row is missing or
// duplicated (value untouched); -1 when Globals cannot be opened; -2 when the
// selection cannot be made (Globals lacks Block, Key or Value). Not
// [[nodiscard]], unlike the writers: a failed read leaves the caller's
// default in `value`, which is what most readers want.
[[nodiscard]] int ReadSetting(TableStore& store, std::string_view block, std::string_view key,
                              std::string& value);

// Writes an existing setting. Returns 0; -3 when the row is missing or
// duplicated (nothing is written); -1 / -2 as ReadSetting. With the in-memory
// default and Globals not open, the change is committed at once.
[[nodiscard]] int WriteSetting(TableStore& store, std::string_view block, std::string_view key,
                               const std::string& value);

// Appends the row (block, key, value) to Globals, written into columns 0, 1
// and 2, whether or not the setting exists. Returns 0; -1 when Globals cannot
// be opened.
[[nodiscard]] int AddSetting(TableStore& store, std::string_view block, std::string_view key,
                             std::string_view value);

// Adds (block, key, value) when no row of Globals has that block and key; a
// setting that exists, even duplicated, is left as it is. Returns 0 (present
// or added); -1 / -2 as ReadSetting.
[[nodiscard]] int EnsureSetting(TableStore& store, std::string_view block, std::string_view key,
                                std::string_view value);

// The file type rule and the structure upgrade: writes `value` into the first
// row with that block and key (into every duplicate's first row only), or adds
// the row when there is none. Returns 0; -1 / -2 as ReadSetting.
[[nodiscard]] int StoreSetting(TableStore& store, std::string_view block, std::string_view key,
                               const std::string& value);

// Adds every kOptionDefaults row that is missing. Returns 0; -1 / -2 as
// ReadSetting.
[[nodiscard]] int AddMissingOptions(TableStore& store);

// The key letter stored for `key` in block Keys (the first matching row's
// Value), or its kKeyDefaults letter when there is no row or the value is
// empty ("" for a key without a default).
std::string KeyLetter(TableStore& store, std::string_view key);

}  // namespace tablestore
