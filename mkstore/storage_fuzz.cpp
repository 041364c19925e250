// libFuzzer target over the storage reader, with the writer as a check:
// whatever a storage file holds, opening it gives a Status; when it opens,
// committing a change and reopening must show exactly the working copy.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mkstore/fault_file_system.h"
#include "mkstore/json_dump.h"
#include "mkstore/storage.h"

namespace {

const std::string kPath = "/fuzz.mk";

std::string Reopen(mk::FaultFileSystem* fs) {
  std::unique_ptr<mk::Storage> again;
  const mk::Status s = mk::Storage::Open(kPath, &again, fs);
  return s.ok() ? mk::DumpJson(*again) : s.ToString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mk::FaultFileSystem fs;
  fs.SetContents(kPath, std::string(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<mk::Storage> storage;
  if (!mk::Storage::Open(kPath, &storage, &fs).ok()) return 0;
  (void)mk::DumpJson(*storage);
  for (const std::string& name : storage->ViewNames()) {
    mk::View v = storage->GetView(name);
    v.InsertRows(v.RowCount() / 2, 1);
  }
  if (!storage->Commit().ok()) return 0;
  if (Reopen(&fs) != mk::DumpJson(*storage)) std::abort();
  if (!storage->CommitPacked().ok()) return 0;
  if (Reopen(&fs) != mk::DumpJson(*storage)) std::abort();
  return 0;
}
