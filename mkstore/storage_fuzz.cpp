// libFuzzer target over the storage reader, with the writer as a check:
// whatever a storage file holds, opening it gives a Status; when it opens,
// committing a change and reopening must show exactly the working copy.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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

// Every cell as the getters read it in place equals the same cell read
// through a derived view, which takes the engine's own path.
void CheckReads(const mk::View& v, const std::vector<std::string>& names) {
  const mk::View same = v.Project(names);
  for (int c = 0; c < v.PropertyCount(); ++c) {
    for (int r = 0; r < v.RowCount(); ++r) {
      if (v.GetInt(r, c) != same.GetInt(r, c) || v.GetText(r, c) != same.GetText(r, c) ||
          std::bit_cast<int32_t>(v.GetFloat(r, c)) != std::bit_cast<int32_t>(same.GetFloat(r, c)))
        std::abort();
    }
  }
}

// Sorts and selects on every property, checking the row maps.
void Derive(const mk::View& v) {
  std::vector<std::string> names;
  for (int c = 0; c < v.PropertyCount(); ++c) names.push_back(v.NthProperty(c).name);
  CheckReads(v, names);
  const mk::View sorted = v.SortOn(names);
  if (sorted.RowCount() != v.RowCount()) std::abort();
  for (int r = 0; r < sorted.RowCount(); ++r) {
    const int base = sorted.IndexInBase(r);
    if (base < 0 || base >= v.RowCount()) std::abort();
  }
  if (v.RowCount() == 0 || names.empty()) return;
  const mk::View sel = v.Select({{names[0], v.GetString(0, 0)}, {names.back(), int64_t{0}}});
  if (sel.RowCount() > v.RowCount()) std::abort();
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
    Derive(v);
    v.InsertRows(v.RowCount() / 2, 1);
  }
  if (!storage->Commit().ok()) return 0;
  if (Reopen(&fs) != mk::DumpJson(*storage)) std::abort();
  if (!storage->CommitPacked().ok()) return 0;
  if (Reopen(&fs) != mk::DumpJson(*storage)) std::abort();
  return 0;
}
