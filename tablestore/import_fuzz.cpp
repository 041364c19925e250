// Fuzz target for the import reader: any bytes as an import file, imported in
// both modes into a table that exists and into one that does not. Problems
// must give -1 and a journal entry, never a crash, hang or huge allocation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "tablestore/table_store.h"

namespace {

std::string ScratchFolder() {
  std::string dir = (std::filesystem::temp_directory_path() / "import-fuzz-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = ScratchFolder();
  static platform::FixedClock clock;
  platform::MemFileSystem files;
  files.SetFile("/in.csv", std::string(reinterpret_cast<const char*>(data), size));
  for (int mode = 1; mode <= 2; ++mode) {
    // Journal entries commit the file; each run starts from no file.
    const std::string path = folder + "/fuzz.scl";
    std::filesystem::remove(path);
    tablestore::TableStore store;
    if (store.Open(path, false) != 0) std::abort();
    store.SetFileSystem(&files);
    store.SetJournalSource(&clock, "fuzz");
    if (mode == 2) store.DefineTable("SaleData[SALE:S,LLR:S,CFSAWCU:F,MINLEN:I,N:L,D:D]");
    const int rc = store.ImportView(mode, "/in.csv", "SaleData", 2);
    if (rc != 0 && rc != -1) std::abort();
    store.Close();
  }
  return 0;
}
