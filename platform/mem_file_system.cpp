#include "platform/mem_file_system.h"

#include <utility>

namespace platform {

void MemFileSystem::SetFile(const std::string& path, std::string contents) {
  files_[path] = std::move(contents);
}

const std::string* MemFileSystem::File(const std::string& path) const {
  const auto it = files_.find(path);
  return it == files_.end() ? nullptr : &it->second;
}

void MemFileSystem::SetInUse(const std::string& path, bool in_use) {
  if (in_use) {
    in_use_.insert(path);
  } else {
    in_use_.erase(path);
  }
}

void MemFileSystem::SetWriteFails(const std::string& path, bool fails, FileResult result) {
  if (fails) {
    write_fails_[path] = result;
  } else {
    write_fails_.erase(path);
  }
}

bool MemFileSystem::Exists(const std::string& path) const { return files_.count(path) != 0; }

FileResult MemFileSystem::CheckTransfer(const std::string& from, const std::string& to) const {
  if (!Exists(from)) return FileResult::kNotFound;
  if (Exists(to)) return FileResult::kAlreadyExists;
  if (auto fails = write_fails_.find(to); fails != write_fails_.end()) return fails->second;
  return FileResult::kOk;
}

FileResult MemFileSystem::WriteFails(FileResult result) {
  last_error_ = "Permission denied";
  return result;
}

FileResult MemFileSystem::Copy(const std::string& from, const std::string& to) {
  const FileResult check = CheckTransfer(from, to);
  if (write_fails_.count(to) != 0 && check != FileResult::kNotFound &&
      check != FileResult::kAlreadyExists) {
    return WriteFails(check);
  }
  if (check == FileResult::kOk) files_[to] = files_[from];
  return check;
}

FileResult MemFileSystem::Move(const std::string& from, const std::string& to) {
  const FileResult check = CheckTransfer(from, to);
  if (write_fails_.count(to) != 0 && check != FileResult::kNotFound &&
      check != FileResult::kAlreadyExists) {
    return WriteFails(check);
  }
  if (check != FileResult::kOk) return check;
  files_[to] = std::move(files_[from]);
  files_.erase(from);
  return FileResult::kOk;
}

FileResult MemFileSystem::Delete(const std::string& path) {
  return files_.erase(path) != 0 ? FileResult::kOk : FileResult::kNotFound;
}

FileResult MemFileSystem::ReadFile(const std::string& path, size_t max_bytes,
                                   std::string* contents) const {
  contents->clear();
  const std::string* file = File(path);
  if (file == nullptr) return FileResult::kNotFound;
  if (file->size() > max_bytes) return FileResult::kTooLarge;
  *contents = *file;
  return FileResult::kOk;
}

FileResult MemFileSystem::WriteFile(const std::string& path, std::string_view contents) {
  if (auto fails = write_fails_.find(path); fails != write_fails_.end()) {
    return WriteFails(fails->second);
  }
  files_[path] = std::string(contents);
  return FileResult::kOk;
}

FileResult MemFileSystem::CheckCanCreateIn(const std::string& folder) {
  const auto fails = write_fails_.find(folder);
  return fails != write_fails_.end() ? WriteFails(fails->second) : FileResult::kOk;
}

bool MemFileSystem::CanOpenExclusive(const std::string& path) const {
  return Exists(path) && in_use_.count(path) == 0;
}

}  // namespace platform
