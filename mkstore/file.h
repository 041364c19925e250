// The storage engine's file layer: every byte the engine reads or writes goes
// through these two interfaces, so that tests can substitute a file system
// that fails chosen writes or loses data that was never synced.
//
// Holding a file. A Storage that may write keeps its file open in
// Mode::kExclusive from the moment it opens it until it is destroyed. The
// hold is an advisory lock on the file itself (on Linux a flock() lock on its
// inode), so it refuses every other exclusive open of the same file, by this
// program or another, and the platform's in-use check
// (platform/file_system.h) sees it; plain reads are not blocked. Because a
// whole-file commit puts a new file in the old one's place (Replace), the
// hold must move with it, with no moment at which the path names a file that
// nobody holds:
// - Replace locks the new file before it is renamed into place, and the
//   Storage closes the old one only afterwards;
// - an exclusive open that got its lock checks afterwards that the path
//   still names the file it locked; if a holder replaced it meanwhile (and
//   so gave up the old one) it opens the path again.
// Together these make "took the lock" and "works on the file the path names"
// one fact: two exclusive opens of one path can never both succeed.
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

  // Guards of the file's bytes, between opens of one file (of this program
  // or others): while an open holds kWrite no other open holds a guard;
  // several may hold kRead. Taking a guard waits for conflicting ones to go
  // (both kinds are held for one commit or one read of the file, never
  // longer); kNone gives this open's guard up. A commit that writes into the
  // file holds kWrite meanwhile, and a reader that does not hold the file
  // holds kRead while it reads it, so that it never sees a commit half
  // written. Best effort: where the file system has no record locks, the
  // work goes on unguarded. The default, for file systems with no other
  // programs, has nothing to wait for.
  enum class Guard { kNone, kRead, kWrite };
  virtual void SetGuard(Guard guard) {}
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  enum class Mode {
    kRead,       // an existing file, for reading
    kReadWrite,  // an existing file, for reading and writing
    kCreate,     // for reading and writing, created empty when missing
    kExclusive,  // an existing file, for reading and writing, held (see the
                 // top of this file) until the File is destroyed
  };

  // Opens `path`: kRead, kReadWrite and kExclusive require the file to exist
  // (NotFound otherwise); kCreate creates it empty when missing. On success
  // sets *result (owned by the caller). kExclusive gives Busy when another
  // open holds the file (nothing stays open then). IOError when the file
  // cannot be opened. File systems with no other programs (the test ones)
  // may treat kExclusive as kReadWrite.
  virtual Status Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) = 0;
  // True when `path` names an existing file.
  virtual bool Exists(const std::string& path) = 0;
  // Replaces `to` by `from` in one atomic step (rename). IOError on failure.
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  // Deletes `path`; NotFound when it does not exist.
  virtual Status Remove(const std::string& path) = 0;

  // The whole-file commit: replaces the file at `path` (or creates it) by
  // one holding exactly `image`, in one atomic step, so that a crash leaves
  // the old file or the new one, and sets *result to the new file held as
  // kExclusive (owned by the caller). The caller, if it holds the old file,
  // closes that only afterwards. On failure nothing at `path` changed and
  // no new file stays behind. REQUIRES: the caller holds the file at `path`
  // (or it does not exist).
  // The real file system writes through a symbolic link to the file it
  // names (the link stays a link) and gives the new file the old one's
  // permissions and, where allowed, its owner. This default writes
  // `path` + ".new", syncs it and renames it over `path` through the methods
  // above, then opens the result.
  virtual Status Replace(const std::string& path, std::string_view image,
                         std::unique_ptr<File>* result);

  // The real file system (POSIX calls). Never null; lives for the program.
  static FileSystem* Default();
};

}  // namespace mk
