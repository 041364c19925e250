// FileSystem: the one gateway for whole-file operations outside the storage
// engine.
//
// The file lifecycle copies setup files, moves old files to backup names,
// deletes undated copies and checks that a file is not in use; the reports,
// the remembered folder, the password file, the sale list and the device
// identity are read or written as whole files. All of it goes through a
// FileSystem so that tests can use MemFileSystem (mem_file_system.h) and
// simulate files in use. The storage engine keeps its own file layer.
//
// Paths are used as given (absolute, or relative to the working directory);
// bytes are read and written verbatim, with no line-end translation.
//
// The in-use check (CanOpenExclusive). The handheld opened the file for
// reading with exclusive sharing; here a file counts as in use when another
// open of it holds an advisory lock of either kind Linux offers:
// - an exclusive flock() lock on any open file description, including one
//   of this same process (every open storage holds one): probed with
//   flock(LOCK_SH | LOCK_NB) on a fresh descriptor, released at once. The
//   probe is shared so that checks of one file by several programs at the
//   same moment (two creates from one setup file) never see each other's
//   probe as a holder, however long the machine keeps one of them waiting
//   while it holds its probe. A shared flock() of another program is no hold;
//   a refusal is tried again a few times over some milliseconds;
// - a POSIX record lock (fcntl F_SETLK) or open-file-description lock
//   (F_OFD_SETLK), read or write, on any byte: probed with F_OFD_GETLK, which
//   also sees the record locks of this same process.
// A program that wants a file it keeps open to count as in use holds such a
// lock on it: flock(fd, LOCK_EX) or an F_OFD_SETLK lock after opening, as
// every open storage does for its file (mkstore/file.h). This check is a
// probe for files about to be copied or moved; it cannot keep anyone out
// after it returns. Not a
// classic F_SETLK record lock: POSIX drops those when the same process closes
// any descriptor of the file, which this check itself does. Opens without a
// lock cannot be seen on Linux and do not count.
//
// Thread safety: PosixFileSystem has no state and may be used from any thread;
// concurrent operations on the same path race as the underlying calls do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The outcome of a file operation. Callers branch on it and show their own
// fixed messages; the system's own words for a failure are asked of
// LastErrorText.
enum class [[nodiscard]] FileResult{
    kOk,
    kNotFound,       // the source file (or a folder on its path) does not exist
    kAlreadyExists,  // the target exists and the operation does not overwrite
    kTooLarge,       // the file is larger than the caller's limit
    kAccessDenied,   // the user may not write there (permissions, a read-only mount)
    kIOError,        // anything else: full disk, a folder as file, ...
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when path names an existing file or folder. False when it does not
  // exist or cannot be examined.
  virtual bool Exists(const std::string& path) const = 0;

  // Copies the bytes of the regular file from into a new file to. Never
  // overwrites: kAlreadyExists when to exists (nothing changes). kNotFound when
  // from does not exist. On any failure after to was created, to is removed
  // again, so a failed copy leaves no partial file.
  virtual FileResult Copy(const std::string& from, const std::string& to) = 0;

  // Renames from to to, also across file systems (then as copy and delete).
  // Never overwrites: kAlreadyExists when to exists. kNotFound when from does
  // not exist.
  virtual FileResult Move(const std::string& from, const std::string& to) = 0;

  // Deletes the file. kNotFound when it does not exist; kIOError for a folder
  // or a file that cannot be removed.
  virtual FileResult Delete(const std::string& path) = 0;

  // Reads the whole regular file into *contents (replacing what it held).
  // kTooLarge when it holds more than max_bytes bytes (*contents is then
  // empty), so damaged or hostile input never causes a huge allocation.
  // kNotFound when it does not exist. REQUIRES: contents != nullptr.
  virtual FileResult ReadFile(const std::string& path, size_t max_bytes,
                              std::string* contents) const = 0;

  // Writes contents as the whole file, creating it or replacing an existing
  // one. The new contents are written beside the file first and then put in
  // its place, so a failure or crash leaves either the old file or the new one,
  // never a mix. kNotFound when the folder does not exist. A successful write
  // also removes what earlier writes of `path` cut short by a crash left
  // beside it (the real file system: path + "." + process id + ".tmp" of a
  // process that no longer runs).
  virtual FileResult WriteFile(const std::string& path, std::string_view contents) = 0;

  // Replaces the contents of the existing file `path` as WriteFile does (the
  // old file or the new one, never a mix), for files an administrator set up
  // (the password file): the new file keeps the old one's owner, group and
  // permission bits, less write permission for others, so a rewrite never
  // leaves it writable by everyone. Refused, with the file unchanged, when the
  // file does not exist (kNotFound: never creates one), when this program
  // may not write the file itself (kIOError: a read-only file stays read-only
  // even in a folder the program may write), or when its owner or group
  // cannot be kept (kIOError). File systems without owners and permissions
  // (the in-memory ones of tests) only check that the file exists.
  [[nodiscard]] virtual FileResult RewriteFile(const std::string& path, std::string_view contents);

  // The in-use check: true when path is an existing regular file that can be
  // opened for reading and that no other open holds locked (see the top of
  // this file). False for a missing file, a folder or other non-regular file,
  // an unreadable file, and a locked file, as the handheld's exclusive open
  // failed for all of these. Leaves nothing open.
  virtual bool CanOpenExclusive(const std::string& path) const = 0;

  // Removes what writes of `path` cut short by a crash left beside it (as a
  // successful WriteFile of `path` does), so that a command that writes some
  // reports also clears the leftovers of the others. Nothing else changes.
  virtual void RemoveStaleTemporaries(const std::string& path) { (void)path; }

  // The system's reason for the last operation of this thread that failed,
  // in its own words ("Permission denied", "No space left on device"); ""
  // when none failed or the file system cannot tell.
  virtual std::string LastErrorText() const { return {}; }

  // Whether a new file can be created in `folder` (a path ending in "/", or
  // "" for the working folder) at this moment: kOk, kNotFound for a missing
  // folder, kIOError when the user may not write there (LastErrorText says
  // why). Asked before an action whose files must follow it, so that the
  // action is refused rather than done without them. Leaves nothing behind.
  virtual FileResult CheckCanCreateIn(const std::string& folder) {
    (void)folder;
    return FileResult::kOk;
  }
};

// The machine's file system, through POSIX calls.
class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) const override;
  FileResult Copy(const std::string& from, const std::string& to) override;
  FileResult Move(const std::string& from, const std::string& to) override;
  FileResult Delete(const std::string& path) override;
  FileResult ReadFile(const std::string& path, size_t max_bytes,
                      std::string* contents) const override;
  FileResult WriteFile(const std::string& path, std::string_view contents) override;
  FileResult RewriteFile(const std::string& path, std::string_view contents) override;
  bool CanOpenExclusive(const std::string& path) const override;
  void RemoveStaleTemporaries(const std::string& path) override;
  std::string LastErrorText() const override;
  FileResult CheckCanCreateIn(const std::string& folder) override;
};

}  // namespace platform
