#include "tablestore/storage_file.h"

#include "platform/file_system.h"

namespace tablestore {

std::string NotAStorageFile(const platform::FileSystem& fs, const std::string& path) {
  std::string none;
  switch (fs.ReadFile(path, 0, &none)) {
    case platform::FileResult::kTooLarge:
      return "";  // it holds bytes: the open tells whether they are a store
    case platform::FileResult::kNotFound:
      return "no such file";
    case platform::FileResult::kOk:
      return "the file is empty: it holds no scale data";
    default:
      return "not a file that can be read (a folder, or a file without read permission)";
  }
}

}  // namespace tablestore
