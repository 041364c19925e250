// mkstore-dump FILE: prints a Metakit storage's contents as JSON.
#include <cstdio>

#include "mkstore/json_dump.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkstore-dump FILE\n");
    return 2;
  }
  std::unique_ptr<mk::Storage> storage;
  const mk::Status s = mk::Storage::OpenReadOnly(argv[1], &storage);
  if (!s.ok()) {
    std::fprintf(stderr, "mkstore-dump: %s\n", s.ToString().c_str());
    return 1;
  }
  const std::string json = mk::DumpJson(*storage);
  std::fwrite(json.data(), 1, json.size(), stdout);
  return 0;
}
