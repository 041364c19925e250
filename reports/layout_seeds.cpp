// Writes the program's own layout texts into a folder, one file each, as the
// starting corpus of the layout fuzz target: the fuzzer then begins from
// layouts that work instead of from nothing. Usage: layout_seeds FOLDER
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.h"
#include "reports/report_text.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: layout_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::pair<const char*, std::string_view> layouts[] = {
      {"portrait.layout", reports::kPortraitLayout},
      {"comprehensive.layout", reports::kComprehensiveLayout},
  };
  platform::PosixFileSystem fs;
  for (const auto& [name, text] : layouts) {
    if (fs.WriteFile(folder + "/" + name, text) != platform::FileResult::kOk) {
      std::fprintf(stderr, "layout_seeds: %s/%s could not be written\n", folder.c_str(), name);
      return 1;
    }
  }
  return 0;
}
