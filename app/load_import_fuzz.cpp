// Fuzz target for the load import: any bytes as a load text file, imported
// into a scale file with every load table and a data dictionary. A refused
// file must give -1 with a reason and leave nothing written; nothing may
// crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/load_import.h"
#include "tablestore/table_store.h"

namespace {

std::string ScratchFolder() {
  std::string dir = (std::filesystem::temp_directory_path() / "load-import-fuzz-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) std::abort();
  return dir;
}

void DefineTables(tablestore::TableStore& store) {
  store.DefineTable("DataDictionary[TableName:S,ColumnName:S,IsUsed:S,DefaultValue:S,Order1:I]");
  store.DefineTable("Load[SALE:S,LLR:S,ST:S,CFSAWCU:F,MAXLEN:I]");
  store.DefineTable("Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,KPI:I,HIT:I,LN:I,VOID:I,N:L,D:D]");
  store.DefineTable("Seg[SALE:S,LLR:S,LOG:I,Seg:I,LN:I]");
  store.DefineTable("DefC[LOG:I,Seg:I,M:I]");
  store.DefineTable("DefB[LOG:I,Seg:I,M:I]");
  store.DefineTable("KZ[SP:S,P:I,KZ:I]");
  const int dd = store.OpenAView("DataDictionary", false);
  const char* rows[][3] = {{"Log", "LOG", "I1"}, {"Log", "SALE", "C"}, {"Log", "HIT", "V-1"}};
  for (const auto& r : rows) {
    const int row = store.AddRow(dd, -1);
    store.SetText(dd, row, 0, r[0]);
    store.SetText(dd, row, 1, r[1]);
    store.SetText(dd, row, 3, r[2]);
  }
  store.ReleaseView(dd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = ScratchFolder();
  const std::string path = folder + "/fuzz.scl";
  std::filesystem::remove(path);
  tablestore::TableStore store;
  if (store.Open(path, false) != 0) std::abort();
  DefineTables(store);
  app::ImportSummary summary;
  const int rc = app::ImportLoadText(
      store, std::string_view(reinterpret_cast<const char*>(data), size), {}, &summary);
  if (rc != 0 && (rc != -1 || summary.error.empty())) std::abort();
  store.Close();
  return 0;
}
