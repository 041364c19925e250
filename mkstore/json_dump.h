// A storage's contents as JSON, in the layout of the reference dumps beside
// the Metakit fixtures (fixtures/metakit/README.md): description, then each
// top-level view with its columns, row count and every value.
#pragma once

#include <string>

#include "mkstore/storage.h"

namespace mk {

// The JSON text for `storage` (working copy, committed or not), ending in a
// newline. Never fails.
std::string DumpJson(const Storage& storage);

}  // namespace mk
