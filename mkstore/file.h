// The storage engine's file layer: every byte the engine reads or writes goes
// through these two interfaces, so that tests can substitute a file system
// that fails chosen writes or loses data that was never synced.
//
// Thread safety: implementations need not be thread-safe; a Storage uses its
// FileSystem from one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "mkstore/status.h"

namespace mk {

// One open file with random access.
class File {
 public:
  virtual ~File() = default;

  // The current length in bytes. IOError on failure.
  virtual Status Size(uint64_t* size) = 0;
  // Reads exactly `n` bytes at `offset` into *out. Reading past the end gives
  // IOError.
  virtual Status Read(uint64_t offset, size_t n, std::string* out) = 0;
  // Writes `data` at `offset`, extending the file when needed (a gap reads
  // as zeros). The data may stay volatile until Sync.
  virtual Status Write(uint64_t offset, std::string_view data) = 0;
  // Makes everything written so far durable.
  virtual Status Sync() = 0;
  // Marks the file as in use for as long as this File stays open: other
  // programs' in-use checks (an exclusive lock probe) then refuse it, as
  // the handheld refused a file some program had open. Opens by others
  // are not blocked. Best effort: a file system without locks keeps
  // working unmarked.
  virtual void MarkInUse() {}
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  enum class Mode { kRead, kReadWrite, kCreate };

  // Opens `path`: kRead and kReadWrite require the file to exist (NotFound
  // otherwise); kCreate creates it empty when missing. On success sets
  // *result (owned by the caller). IOError when the file cannot be opened.
  virtual Status Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) = 0;
  // True when `path` names an existing file.
  virtual bool Exists(const std::string& path) = 0;
  // Replaces `to` by `from` in one atomic step (rename). IOError on failure.
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  // Deletes `path`; NotFound when it does not exist.
  virtual Status Remove(const std::string& path) = 0;

  // The real file system (POSIX calls). Never null; lives for the program.
  static FileSystem* Default();
};

}  // namespace mk
