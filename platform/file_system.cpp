#include "platform/file_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace platform {
namespace {

// Owns a descriptor and closes it on every return path.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }
  // Closes now and says whether the close succeeded (it can report a failed
  // delayed write, which a writer must not ignore).
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// Whether no exclusive flock() holder blocks a shared lock on `fd`. A fresh
// descriptor conflicts with every exclusive holder, this process's other
// descriptors included, and with no other in-use check's probe (shared too).
// A storage that is opening holds its lock from the start, so a refusal is
// retried a few times before the file counts as locked. Other failures (a
// file system without flock) cannot tell us anything, so they do not block
// the user.
bool FlockFree(int fd) {
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
      flock(fd, LOCK_UN);
      return true;
    }
    if (errno != EWOULDBLOCK) return true;
  }
  return false;
}

// The errno of the last failed operation of this thread (LastErrorText).
thread_local int tLastError = 0;

FileResult FromErrno(int error) {
  tLastError = error;
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileResult::kNotFound;
    case EEXIST:
      return FileResult::kAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileResult::kAccessDenied;
    default:
      return FileResult::kIOError;
  }
}

bool IsRegularFile(int fd) {
  struct stat st {};
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool CopyContents(int in, int out) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(out, std::string_view(buffer, static_cast<size_t>(n)))) return false;
  }
}

// Flushes and closes a file this module created; removes it when anything
// failed so that no partial file stays behind.
FileResult FinishNewFile(Fd& out, const std::string& path, bool written) {
  const bool ok = written && fsync(out.get()) == 0 && out.Close();
  if (ok) return FileResult::kOk;
  tLastError = errno != 0 ? errno : EIO;
  unlink(path.c_str());
  return FileResult::kIOError;
}

// Opens for reading without blocking on a FIFO or taking a terminal.
int OpenForReading(const std::string& path) {
  return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

// The name WriteFile writes `path`'s new contents under before they take its
// place: unique per process, so that two programs never write into one.
std::string TemporaryName(const std::string& path, pid_t pid) {
  return path + "." + std::to_string(pid) + ".tmp";
}

// The process id in a temporary name's middle part, or 0.
pid_t PidOf(std::string_view digits) {
  if (digits.empty() || digits.size() > 9) return 0;
  pid_t pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// Removes the temporary files of `path` (TemporaryName) that writes cut
// short by the death of their process left behind. One whose process still
// runs may be a write in progress, and stays.
void RemoveStaleTemporariesOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() + 4 || !name.starts_with(prefix) || !name.ends_with(".tmp")) {
      continue;
    }
    const pid_t pid = PidOf(name.substr(prefix.size(), name.size() - prefix.size() - 4));
    if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH) unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

// Gives the new file `fd` the owner, group and permission bits of `old`,
// less write permission for others. False when that is not allowed.
bool KeepAccess(int fd, const struct stat& old) {
  struct stat now {};
  if (fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return fchmod(fd, old.st_mode & 07777 & ~S_IWOTH) == 0;
}

// Makes a rename in the folder of `path` durable.
void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.ok()) fsync(dir.get());
}

// Writes `contents` under the temporary name, makes it durable and renames
// it over `path`. With `keep`, the new file first gets that file's owner and
// permissions (KeepAccess); until then only its owner may read it.
FileResult ReplaceWith(const std::string& path, std::string_view contents,
                       const struct stat* keep) {
  const std::string temp = TemporaryName(path, getpid());
  const mode_t mode = keep != nullptr ? 0600 : 0666;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0 && errno == EEXIST) {
    // Left by a crashed earlier process that had our process id.
    unlink(temp.c_str());
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  }
  Fd out(fd);
  if (!out.ok()) return FromErrno(errno);
  const bool kept = keep == nullptr || KeepAccess(out.get(), *keep);
  const FileResult written = FinishNewFile(out, temp, kept && WriteAll(out.get(), contents));
  if (written != FileResult::kOk) return written;
  if (rename(temp.c_str(), path.c_str()) == 0) {
    SyncFolderOf(path);
    RemoveStaleTemporariesOf(path);
    return FileResult::kOk;
  }
  const int error = errno;
  unlink(temp.c_str());
  return FromErrno(error);
}

}  // namespace

FileResult FileSystem::RewriteFile(const std::string& path, std::string_view contents) {
  if (!Exists(path)) return FileResult::kNotFound;
  return WriteFile(path, contents);
}

bool PosixFileSystem::Exists(const std::string& path) const {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

FileResult PosixFileSystem::Copy(const std::string& from, const std::string& to) {
  Fd in(OpenForReading(from));
  if (!in.ok()) return FromErrno(errno);
  if (!IsRegularFile(in.get())) return FileResult::kIOError;
  // O_EXCL makes "never overwrite" one atomic step, with no window between a
  // check and the create. 0666 under the umask: a copy of a read-only setup
  // file must still be a writable scale file.
  Fd out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!out.ok()) return FromErrno(errno);
  return FinishNewFile(out, to, CopyContents(in.get(), out.get()));
}

FileResult PosixFileSystem::Move(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return FileResult::kOk;
  }
  const int error = errno;
  if (error == EXDEV) {
    const FileResult copied = Copy(from, to);
    if (copied != FileResult::kOk) return copied;
    if (unlink(from.c_str()) == 0) return FileResult::kOk;
    unlink(to.c_str());  // keep exactly one copy: the original
    return FileResult::kIOError;
  }
  if (error == EINVAL) {
    // The file system cannot rename without replacing; a check before the
    // rename is the best it allows.
    if (Exists(to)) return FileResult::kAlreadyExists;
    return rename(from.c_str(), to.c_str()) == 0 ? FileResult::kOk : FromErrno(errno);
  }
  return FromErrno(error);
}

FileResult PosixFileSystem::Delete(const std::string& path) {
  return unlink(path.c_str()) == 0 ? FileResult::kOk : FromErrno(errno);
}

FileResult PosixFileSystem::ReadFile(const std::string& path, size_t max_bytes,
                                     std::string* contents) const {
  contents->clear();
  Fd in(OpenForReading(path));
  if (!in.ok()) return FromErrno(errno);
  struct stat st {};
  if (fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileResult::kIOError;
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) return FileResult::kTooLarge;
  contents->reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(in.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (n == 0) return FileResult::kOk;
    // The file may grow while it is read: the limit holds for what is read.
    if (static_cast<size_t>(n) > max_bytes - contents->size()) {
      contents->clear();
      return FileResult::kTooLarge;
    }
    contents->append(buffer, static_cast<size_t>(n));
  }
  contents->clear();
  return FileResult::kIOError;
}

FileResult PosixFileSystem::WriteFile(const std::string& path, std::string_view contents) {
  return ReplaceWith(path, contents, nullptr);
}

FileResult PosixFileSystem::RewriteFile(const std::string& path, std::string_view contents) {
  // A link is followed, so that the file it names is rewritten in its own
  // folder and the link stays.
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return FromErrno(errno);
  const std::string target = resolved;
  free(resolved);
  struct stat old {};
  if (stat(target.c_str(), &old) != 0) return FromErrno(errno);
  if (!S_ISREG(old.st_mode)) return FileResult::kIOError;
  if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return FromErrno(errno);
  return ReplaceWith(target, contents, &old);
}

void PosixFileSystem::RemoveStaleTemporaries(const std::string& path) {
  RemoveStaleTemporariesOf(path);
}

std::string PosixFileSystem::LastErrorText() const {
  return tLastError == 0 ? std::string() : std::string(strerror(tLastError));
}

FileResult PosixFileSystem::CheckCanCreateIn(const std::string& folder) {
  const std::string where = folder.empty() ? "." : folder;
  // An unnamed file in the folder: the same permission and space checks as
  // a report's temporary file, and nothing left behind by a crash.
  const int fd = open(where.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    close(fd);
    return FileResult::kOk;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR) return FromErrno(errno);
  // A file system without unnamed files: the permission check alone.
  return access(where.c_str(), W_OK | X_OK) == 0 ? FileResult::kOk : FromErrno(errno);
}

bool PosixFileSystem::CanOpenExclusive(const std::string& path) const {
  Fd fd(OpenForReading(path));
  if (!fd.ok() || !IsRegularFile(fd.get())) return false;
  if (!FlockFree(fd.get())) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;  // conflicts with read and write locks alike
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;  // the whole file
  if (fcntl(fd.get(), F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return false;
  return true;
}

}  // namespace platform
