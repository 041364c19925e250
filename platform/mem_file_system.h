// MemFileSystem: a FileSystem held in memory, for tests.
//
// Files are a map from path to bytes. Folders are not modelled: every folder
// exists, and Exists() is true for files only. Tests can mark a file as in use
// by another program (CanOpenExclusive then fails for it) and make writes to a
// path fail, to reach the program's "file in use" and "cannot create" paths
// without real processes or permissions.
//
// Thread safety: none; one test thread.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace platform {

class MemFileSystem : public FileSystem {
 public:
  // Puts a file in place, replacing one of the same path.
  void SetFile(const std::string& path, std::string contents);
  // The file's bytes, or nullptr when there is no such file. The pointer stays
  // valid until the next change to this object.
  const std::string* File(const std::string& path) const;
  // All files, by path.
  const std::map<std::string, std::string>& files() const { return files_; }

  // Marks (or unmarks) path as held open by another program.
  void SetInUse(const std::string& path, bool in_use);
  // Makes every later creation or replacement of path (WriteFile, and Copy or
  // Move to it) fail with `result` (kIOError as for a failing disk,
  // kAccessDenied as for a write-protected file), and, for a folder path
  // ending in "/", CheckCanCreateIn of it; false undoes it. LastErrorText
  // then gives "Permission denied".
  void SetWriteFails(const std::string& path, bool fails, FileResult result = FileResult::kIOError);

  // FileSystem.
  bool Exists(const std::string& path) const override;
  FileResult Copy(const std::string& from, const std::string& to) override;
  FileResult Move(const std::string& from, const std::string& to) override;
  FileResult Delete(const std::string& path) override;
  FileResult ReadFile(const std::string& path, size_t max_bytes,
                      std::string* contents) const override;
  FileResult WriteFile(const std::string& path, std::string_view contents) override;
  bool CanOpenExclusive(const std::string& path) const override;
  std::string LastErrorText() const override { return last_error_; }
  FileResult CheckCanCreateIn(const std::string& folder) override;

 private:
  // The failure `result` of a path made to fail, remembering why.
  FileResult WriteFails(FileResult result);

  // The check shared by Copy and Move: kOk when from can go to to.
  FileResult CheckTransfer(const std::string& from, const std::string& to) const;

  std::map<std::string, std::string> files_;
  std::set<std::string> in_use_;
  std::map<std::string, FileResult> write_fails_;
  std::string last_error_;
};

}  // namespace platform
