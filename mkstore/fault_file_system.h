// FaultFileSystem: an in-memory FileSystem for tests that can fail writes and
// lose data that was never synced, to check that commits survive crashes.
//
// Model: each file has its current bytes and its durable bytes (as of the
// last Sync of any handle on it). Crash() throws away everything not durable.
// A write can be made to fail: the N-th write from now returns IOError after
// storing only its first `tornBytes` bytes, and every later write and sync
// fails too, as if the machine had stopped there. Rename is atomic and
// durable; it carries the source's current bytes.
//
// Thread safety: none.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "mkstore/file.h"

namespace mk {

class FaultFileSystem : public FileSystem {
 public:
  Status Open(const std::string& path, Mode mode, std::unique_ptr<File>* result) override;
  bool Exists(const std::string& path) override;
  Status Rename(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;

  // Makes the `n`-th write from now (1 = the next) fail after storing its
  // first `tornBytes` bytes; later writes and syncs fail as well. n <= 0
  // turns failures off.
  void FailWrite(int n, size_t tornBytes = 0);
  // Number of writes attempted since construction.
  int writes() const { return writes_; }
  // Total bytes stored by writes since construction.
  int64_t bytesWritten() const { return bytesWritten_; }
  // Throws away everything written but not synced, and turns failures off.
  void Crash();
  // Like Crash, but the unsynced writes for which keep(i) is true (i counts
  // them from 0 over all files, in the order they were made) survive, as a
  // disk may persist some of them in any order.
  void CrashKeeping(const std::function<bool(int)>& keep);
  // Number of writes made since the last sync of their file.
  int unsyncedWrites() const;

  // Direct access to a file's current bytes (empty when missing), and
  // replacing them (durably).
  std::string Contents(const std::string& path) const;
  void SetContents(const std::string& path, const std::string& bytes);

 private:
  friend class FaultFile;
  struct Data {
    std::string current;
    std::string durable;
    std::vector<std::pair<uint64_t, std::string>> unsynced;  // (offset, bytes)
  };
  Status CountWrite(Data* target, uint64_t offset, std::string_view bytes);
  bool failing() const { return failAt_ > 0 && writes_ >= failAt_; }

  std::map<std::string, std::shared_ptr<Data>> files_;
  int writes_ = 0;
  int failAt_ = 0;
  size_t torn_ = 0;
  int64_t bytesWritten_ = 0;
};

}  // namespace mk
