#include "mkstore/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mk {
namespace {

Status PosixError(const std::string& path, const char* what) {
  return Status::IOError(path + ": " + what + ": " + std::strerror(errno));
}

class PosixFile : public File {
 public:
  PosixFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
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

  // A shared lock: several Storages (and programs) may hold one at once,
  // while any exclusive probe fails.
  void MarkInUse() override { ::flock(fd_, LOCK_SH | LOCK_NB); }

 private:
  std::string path_;
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  Status Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) override {
    int flags = mode == Mode::kRead ? O_RDONLY : O_RDWR;
    if (mode == Mode::kCreate) flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == ENOENT) return Status::NotFound(path + ": no such file");
      return PosixError(path, "open");
    }
    *result = std::make_unique<PosixFile>(path, fd);
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
};

}  // namespace

FileSystem* FileSystem::Default() {
  static PosixFileSystem fs;
  return &fs;
}

}  // namespace mk
