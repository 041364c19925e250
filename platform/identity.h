// Device identity: which handheld (here: which installation) wrote a journal
// entry.
//
// The handheld kept it in the registry key Ident, values Name (text) and PegId
// (a 32-bit number). Here the key is a small text file named "ident" in the
// program's settings folder (folders.h), one value per line:
//
//   Name=Scaler 7
//   PegId=4711
//
// Names are matched without regard to letter case, as registry value names
// are; blanks around names and values are dropped; a line of the file ends at
// "\n" (a "\r" before it is dropped); blank lines, lines that start with ";" or
// "#", section lines ("[Ident]") and lines without "=" are ignored; when a name
// appears twice the last line wins. The file is UTF-8.
//
// A value that cannot be read leaves its part empty, as on the handheld: a
// missing file or line, a Name longer than the 399 characters the handheld's
// 800-byte buffer held, a PegId that is not a whole number from 0 to
// 4294967295 written in decimal digits.
//
// Thread safety: plain functions over values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace platform {

// The name of the identity file inside the settings folder.
inline constexpr char kIdentityFileName[] = "ident";

struct DeviceIdentity {
  std::string name;                // empty when missing or unreadable
  std::optional<uint32_t> peg_id;  // nullopt when missing or unreadable

  // The journal's identity text: the name, followed when PegId was read by
  // " PegID:" and the number as the handheld's "%ld" printed a 32-bit value
  // (so values from 2^31 up show as negative numbers). E.g. "Scaler 7 PegID:4711".
  std::string Text() const;
};

// Reads the identity from the text of an identity file (see above). Never
// fails: unreadable parts are empty.
DeviceIdentity ParseDeviceIdentity(std::string_view text);

// Reads settings_folder + "ident" through fs. A folder that is empty (no
// settings folder known), a missing or unreadable file, or a file over 64 KiB
// gives an empty identity. settings_folder ends in "/" as SettingsFolder()
// returns it.
DeviceIdentity ReadDeviceIdentity(const FileSystem& fs, const std::string& settings_folder);

}  // namespace platform
