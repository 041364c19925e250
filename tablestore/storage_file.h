// A look at a file before it is opened as a store.
//
// Thread safety: a pure function of the file system's answers.
#pragma once

#include <string>

namespace platform {
class FileSystem;
}

namespace tablestore {

// Why `path` cannot be a scale or setup file to open, or "" when it may be
// one: "no such file", "the file is empty: it holds no scale data" or "not a
// file that can be read (a folder, or a file without read permission)".
// Asked before opening, since the store creates a missing file and takes an
// empty one for a new one, and the in-use check would blame another
// application for a folder or a missing file.
std::string NotAStorageFile(const platform::FileSystem& fs, const std::string& path);

}  // namespace tablestore
