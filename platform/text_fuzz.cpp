// Fuzz target for the readers of outside bytes in this layer: the text
// conversion (stored 8-bit text, user text) and the identity file.
// Checks invariants rather than crashes alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/identity.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Any bytes: one output byte per character or undecodable byte.
  const std::string narrow = platform::Utf8ToCp1252(input);
  if (narrow.size() > input.size()) abort();

  // Every 8-bit text survives a round trip through UTF-8.
  const std::string wide = platform::Cp1252ToUtf8(input);
  if (wide.size() > 3 * input.size()) abort();
  if (platform::Utf8ToCp1252(wide) != input) abort();

  const platform::DeviceIdentity identity = platform::ParseDeviceIdentity(input);
  if (identity.name.size() > input.size()) abort();
  return 0;
}
