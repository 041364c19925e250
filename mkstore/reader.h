// Reading a Metakit 2.4 dataset from the bytes of a file (see FORMAT.md:
// Header, Tails, Table of contents, Column lists). Every size, position and count is checked against the
// file before it is used, so damaged input gives Corruption, never a crash,
// a hang or an allocation out of proportion to the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "mkstore/status.h"
#include "mkstore/table.h"

namespace mk {

// What a reader learns about a file's current dataset.
struct Dataset {
  std::shared_ptr<Table> root;  // one row; its properties are the top-level ones
  int64_t base = 0;             // file offset of the dataset's header
  int64_t end = 0;              // dataset length: from the header to after the commit tail
  int64_t headerLength = 0;     // the length the header states (stale in some files)
  bool bigEndian = false;       // byte order of numbers inside columns
  Ref toc;                      // where the table of contents lies (size 0: none)
  std::string tocBytes;         // its bytes
};

// Reads the last committed dataset of `file` (the whole file's bytes; `name`
// is used in messages). An empty file gives an empty root. The dataset is
// found through the tail markers at the end of the file; when they do not
// lead to a complete dataset (a commit that grew the file was cut short),
// the header's length field leads to the previous one. Errors: Corruption
// for a file that holds no readable dataset, NotSupported for features the
// engine does not handle (pre-2.0 files, unknown types, recursive views).
// The text columns of the result keep `file` alive and read from it.
Status ReadDataset(std::shared_ptr<const std::string> file, const std::string& name, Dataset* out);

// The same over a copy of `file`.
Status ReadDataset(std::string_view file, const std::string& name, Dataset* out);

}  // namespace mk
