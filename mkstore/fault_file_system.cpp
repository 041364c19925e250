#include "mkstore/fault_file_system.h"

namespace mk {

class FaultFile : public File {
 public:
  FaultFile(FaultFileSystem* fs, std::string path, std::shared_ptr<FaultFileSystem::Data> data)
      : fs_(fs), path_(std::move(path)), data_(std::move(data)) {}

  Status Size(uint64_t* size) override {
    *size = data_->current.size();
    return Status::Ok();
  }

  Status Read(uint64_t offset, size_t n, std::string* out) override {
    if (offset > data_->current.size() || data_->current.size() - offset < n) {
      return Status::IOError(path_ + ": read past the end of the file");
    }
    out->assign(data_->current, static_cast<size_t>(offset), n);
    return Status::Ok();
  }

  Status Write(uint64_t offset, std::string_view bytes) override {
    return fs_->CountWrite(data_.get(), offset, bytes);
  }

  Status Sync() override {
    if (fs_->failing()) return Status::IOError(path_ + ": sync failed (injected)");
    data_->durable = data_->current;
    data_->unsynced.clear();
    return Status::Ok();
  }

 private:
  FaultFileSystem* fs_;
  std::string path_;
  std::shared_ptr<FaultFileSystem::Data> data_;
};

Status FaultFileSystem::Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) {
  auto it = files_.find(path);
  if (it == files_.end()) {
    if (mode != Mode::kCreate) return Status::NotFound(path + ": no such file");
    it = files_.emplace(path, std::make_shared<Data>()).first;
  }
  *result = std::make_unique<FaultFile>(this, path, it->second);
  return Status::Ok();
}

bool FaultFileSystem::Exists(const std::string& path) { return files_.count(path) > 0; }

Status FaultFileSystem::Rename(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return Status::NotFound(from + ": no such file");
  if (failing()) return Status::IOError(from + ": rename failed (injected)");
  auto data = std::make_shared<Data>(Data{it->second->current, it->second->current, {}});
  files_.erase(it);
  files_[to] = std::move(data);
  return Status::Ok();
}

Status FaultFileSystem::Remove(const std::string& path) {
  if (files_.erase(path) == 0) return Status::NotFound(path + ": no such file");
  return Status::Ok();
}

void FaultFileSystem::FailWrite(int n, size_t tornBytes) {
  failAt_ = n > 0 ? writes_ + n : 0;
  torn_ = tornBytes;
}

namespace {

void Apply(std::string* target, uint64_t offset, std::string_view bytes) {
  if (target->size() < offset + bytes.size())
    target->resize(static_cast<size_t>(offset + bytes.size()), '\0');
  target->replace(static_cast<size_t>(offset), bytes.size(), bytes);
}

}  // namespace

Status FaultFileSystem::CountWrite(Data* target, uint64_t offset, std::string_view bytes) {
  ++writes_;
  if (failAt_ > 0 && writes_ > failAt_) return Status::IOError("write failed (injected)");
  const bool fail = failAt_ > 0 && writes_ == failAt_;
  const std::string_view stored = fail ? bytes.substr(0, std::min(torn_, bytes.size())) : bytes;
  Apply(&target->current, offset, stored);
  target->unsynced.emplace_back(offset, std::string(stored));
  bytesWritten_ += static_cast<int64_t>(stored.size());
  return fail ? Status::IOError("write failed (injected)") : Status::Ok();
}

void FaultFileSystem::Crash() {
  CrashKeeping([](int) { return false; });
}

void FaultFileSystem::CrashKeeping(const std::function<bool(int)>& keep) {
  int i = 0;
  for (auto& [path, data] : files_) {
    data->current = data->durable;
    for (const auto& [offset, bytes] : data->unsynced) {
      if (keep(i++)) Apply(&data->current, offset, bytes);
    }
    data->durable = data->current;
    data->unsynced.clear();
  }
  failAt_ = 0;
}

int FaultFileSystem::unsyncedWrites() const {
  int n = 0;
  for (const auto& [path, data] : files_) n += static_cast<int>(data->unsynced.size());
  return n;
}

std::string FaultFileSystem::Contents(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second->current;
}

void FaultFileSystem::SetContents(const std::string& path, const std::string& bytes) {
  files_[path] = std::make_shared<Data>(Data{bytes, bytes, {}});
}

}  // namespace mk
