// make_default_setup: builds the default setup file "DefaultScaler.SetupScl"
// from its readable source (data/DefaultScaler.setup.txt) at build time.
//
// Usage: make_default_setup <source.txt> <output.SetupScl>
//
// The source holds the sections DataDictionary, Globals, KZ and Tapers in the
// table store's import text. They are imported into a fresh storage, then the
// empty domain tables (and Tapers again, keeping its rows) are built from the
// imported DataDictionary, so that the file declares exactly what its
// dictionary says. Any problem fails the build with a message naming it.
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "tablestore/table_store.h"

namespace {

constexpr const char* kImportedTables[] = {"DataDictionary", "Globals", "KZ", "Tapers"};
constexpr const char* kBuiltTables[] = {"Load", "Log", "Seg", "DefC", "DefB", "Tapers"};

int Fail(const std::string& what) {
  std::fprintf(stderr, "make_default_setup: %s\n", what.c_str());
  return 1;
}

int Build(tablestore::TableStore& store, const std::string& source) {
  for (const char* table : kImportedTables) {
    if (store.ImportView(1, source, table, 2) != tablestore::kOk) {
      return Fail(std::string("cannot import ") + table + " from " + source);
    }
  }
  for (const char* table : kBuiltTables) {
    if (store.RestructureTable(table, "Order1") != tablestore::kOk) {
      return Fail(std::string("DataDictionary does not describe ") + table);
    }
  }
  // Import problems are journaled, never shown: a journal means one happened.
  if (store.TableExists("MessageLog") >= 0) return Fail("the import reported problems");
  if (store.Commit() != tablestore::kOk) return Fail("cannot write: " + store.LastError());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: make_default_setup <source.txt> <output.SetupScl>");
  std::string source = argv[1];
  std::string output = argv[2];
  platform::PosixFileSystem fs;
  if (fs.Exists(output) && fs.Delete(output) != platform::FileResult::kOk) {
    return Fail("cannot replace " + output);
  }
  tablestore::TableStore store;
  if (store.Open(output, false) != tablestore::kOk) {
    return Fail("cannot create " + output + ": " + store.LastError());
  }
  int result = Build(store, source);
  // Build committed (and checked) everything; nothing is left for Close.
  (void)store.Close();
  // The build has failed either way; a half-made file that stays is overwritten next time.
  if (result != 0) static_cast<void>(fs.Delete(output));
  return result;
}
