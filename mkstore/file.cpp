#include "mkstore/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace mk {
namespace {

Status PosixError(const std::string& path, const char* what) {
  return Status::IOError(path + ": " + what + ": " + std::strerror(errno));
}

Status OpenError(const std::string& path) {
  if (errno == ENOENT) return Status::NotFound(path + ": no such file");
  return PosixError(path, "open");
}

Status Busy(const std::string& path) {
  return Status::Busy(path + ": in use (another program, or another open of it, works on it)");
}

class PosixFile : public File {
 public:
  // `writeDenied`: the errno that refused opening the file for writing (it
  // was opened for reading only), or 0.
  PosixFile(std::string path, int fd, int writeDenied = 0)
      : path_(std::move(path)), fd_(fd), writeDenied_(writeDenied) {}
  ~PosixFile() override { ::close(fd_); }

  Status Size(uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return PosixError(path_, "stat");
    *size = static_cast<uint64_t>(st.st_size);
    return Status::Ok();
  }

  Status Read(uint64_t offset, size_t n, std::string* out) override {
    out->resize(n);
    size_t done = 0;
    while (done < n) {
      const ssize_t got =
          ::pread(fd_, out->data() + done, n - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return PosixError(path_, "read");
      if (got == 0) return Status::IOError(path_ + ": read past the end of the file");
      done += static_cast<size_t>(got);
    }
    return Status::Ok();
  }

  Status Write(uint64_t offset, std::string_view data) override {
    // The reason the system gave at the open, not the read-only
    // descriptor's "Bad file descriptor".
    if (writeDenied_ != 0) {
      errno = writeDenied_;
      return PosixError(path_, "write");
    }
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t put =
          ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return PosixError(path_, "write");
      done += static_cast<size_t>(put);
    }
    return Status::Ok();
  }

  Status Sync() override {
    if (::fdatasync(fd_) != 0) return PosixError(path_, "sync");
    return Status::Ok();
  }

  // An open-file-description record lock over the whole file: independent
  // of the flock() hold, and owned by this open rather than the process.
  void SetGuard(Guard guard) override {
    struct flock lock {};
    lock.l_type = guard == Guard::kWrite ? F_WRLCK : guard == Guard::kRead ? F_RDLCK : F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file, however it grows
    while (::fcntl(fd_, F_OFD_SETLKW, &lock) != 0 && errno == EINTR) {
    }
  }

 private:
  std::string path_;
  int fd_;
  int writeDenied_;
};

// Takes the exclusive flock() lock on `fd` without waiting. False when
// another open holds it. The in-use check of platform/file_system.h holds it
// for a moment while it probes, so a refusal is tried again a few times over
// some milliseconds first. A file system without flock() cannot hold files:
// as the in-use check does there, the file is then not refused.
bool Lock(int fd) {
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
  }
  return false;
}

// Whether `path` still names the file open as `fd`.
bool StillNamed(const std::string& path, int fd) {
  struct stat held, named;
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Opens an existing file for reading and writing (for reading only when it
// may not be written: its commits then fail with the system's reason, kept
// in *writeDenied; 0 otherwise).
int OpenForWork(const std::string& path, int* writeDenied) {
  *writeDenied = 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd >= 0 || (errno != EACCES && errno != EROFS)) return fd;
  const int denied = errno;
  const int readOnly = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (readOnly >= 0) *writeDenied = denied;
  return readOnly;
}

// The file `path` names through any symbolic links, which a whole-file
// commit must leave in place; `path` itself when it names no file (yet).
std::string ThroughLinks(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string target(real);
  std::free(real);
  return target;
}

// Gives the new file `fd` the owner (where the system allows it; only root
// may give a file away) and the permissions of the file it replaces.
Status KeepOwnerAndMode(int fd, const struct stat& old, const std::string& path) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
    return PosixError(path, "chown");
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) return PosixError(path, "chmod");
  return Status::Ok();
}

class PosixFileSystem : public FileSystem {
 public:
  Status Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) override {
    if (mode == Mode::kExclusive) return OpenExclusive(path, result);
    int flags = mode == Mode::kRead ? O_RDONLY : O_RDWR;
    if (mode == Mode::kCreate) flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return OpenError(path);
    *result = std::make_unique<PosixFile>(path, fd);
    return Status::Ok();
  }

  // Writes beside the file the path names, locks the new file before it
  // takes that name, and renames it there: a program that opens the path
  // from then on finds it held.
  Status Replace(const std::string& path, std::string_view image,
                 std::unique_ptr<File>* result) override {
    const std::string target = ThroughLinks(path);
    const std::string temp = target + ".new";
    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (::unlink(temp.c_str()) != 0 && errno != ENOENT) return PosixError(temp, "remove");
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return PosixError(temp, "create");
    auto file = std::make_unique<PosixFile>(path, fd);
    Status s = replacing ? KeepOwnerAndMode(fd, old, temp) : Status::Ok();
    if (s.ok() && !Lock(fd)) s = Busy(temp);
    if (s.ok()) s = file->Write(0, image);
    if (s.ok()) s = file->Sync();
    if (s.ok() && ::rename(temp.c_str(), target.c_str()) != 0) s = PosixError(temp, "rename");
    if (!s.ok()) {
      ::unlink(temp.c_str());
      return s;
    }
    *result = std::move(file);
    return Status::Ok();
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return PosixError(from, "rename");
    return Status::Ok();
  }

  Status Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) {
      if (errno == ENOENT) return Status::NotFound(path + ": no such file");
      return PosixError(path, "remove");
    }
    return Status::Ok();
  }

 private:
  // See the top of file.h: lock, then make sure the lock is on the file the
  // path names now. A holder that replaced the file between our open and
  // our lock has let go of the old one, so our lock on it would be
  // worthless; the path is opened again (a bounded number of times: each
  // round means another program committed meanwhile).
  Status OpenExclusive(const std::string& path, std::unique_ptr<File>* result) {
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
      int writeDenied = 0;
      const int fd = OpenForWork(path, &writeDenied);
      if (fd < 0) return OpenError(path);
      auto file = std::make_unique<PosixFile>(path, fd, writeDenied);
      if (!Lock(fd)) return Busy(path);
      if (StillNamed(path, fd)) {
        *result = std::move(file);
        return Status::Ok();
      }
    }
    return Busy(path);
  }
};

}  // namespace

Status FileSystem::Replace(const std::string& path, std::string_view image,
                           std::unique_ptr<File>* result) {
  const std::string temp = path + ".new";
  Status s = Remove(temp);
  if (!s.ok() && !s.IsNotFound()) return s;
  std::unique_ptr<File> file;
  s = Open(temp, Mode::kCreate, &file);
  if (s.ok()) s = file->Write(0, image);
  if (s.ok()) s = file->Sync();
  file.reset();
  if (s.ok()) s = Rename(temp, path);
  if (!s.ok()) {
    // The failure to report is `s`; a temporary file that cannot be removed
    // either is harmless (the next replace removes it first).
    (void)Remove(temp);
    return s;
  }
  return Open(path, Mode::kExclusive, result);
}

FileSystem* FileSystem::Default() {
  static PosixFileSystem fs;
  return &fs;
}

}  // namespace mk
