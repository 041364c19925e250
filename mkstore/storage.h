// Storage: one Metakit 2.4 storage file, opened for reading and writing.
//
// The file format is described in mkstore/FORMAT.md; mkstore/format.h holds
// its constants.
//
// A Storage holds named top-level views. Changes made through its views stay in
// the working copy until Commit, which writes them as "stable storage": new
// data goes to free space (or the end of the file), the header that makes it
// current last, so that a crash at any moment leaves the last committed state.
//
// A Storage opened by Open holds its file from before the first byte is read
// until it is destroyed (FileSystem::Mode::kExclusive, see mkstore/file.h):
// every other Open of the same file, by this program or another, is refused
// with Busy meanwhile, and so is the in-use check of platform/file_system.h.
// A commit that replaces the file whole moves the hold to the new file with
// no gap. So at most one Storage at a time can write a file, and what it read
// at its open is what the file still holds when it commits. OpenReadOnly
// holds nothing and refuses nobody.
//
// Thread safety: none; use a Storage and its views from one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mkstore/status.h"
#include "mkstore/view.h"

namespace mk {

class FileSystem;  // the injectable file layer (mkstore/file.h)

class Storage {
 public:
  ~Storage();
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;

  // Opens the storage file at `path` for reading and writing, creating an empty
  // storage when the file does not exist (nothing is written until Commit).
  // On success sets *result and returns OK. A file that is not a Metakit
  // storage, or is damaged, gives Corruption; a file that uses a feature the
  // engine cannot handle gives NotSupported; a file held by another Storage
  // (of this or another program) gives Busy; a file that cannot be opened
  // gives IOError. `fs` (borrowed; must outlive the Storage) is the file
  // layer; null means the real file system.
  static Status Open(const std::string& path, std::unique_ptr<Storage>* result,
                     FileSystem* fs = nullptr);

  // Opens the storage read-only: the file is read once, in full, and not
  // kept open; Commit then fails with NotSupported. It is not refused while
  // another Storage holds the file: it waits for a commit being written to
  // finish (File::Guard) and reads the last committed state. NotFound for a
  // missing file.
  static Status OpenReadOnly(const std::string& path, std::unique_ptr<Storage>* result,
                             FileSystem* fs = nullptr);

  // The structure string, exactly as Metakit's Description() gives it,
  // e.g. "Globals[Block:S,Key:S,Value:S],Log[LOG:I,GCV:F]"; "" when empty.
  std::string Description() const;

  // The names of the top-level views, in storage order.
  std::vector<std::string> ViewNames() const;

  // The top-level view named `name` (compared without regard to ASCII letter
  // case). Not found: an invalid View (IsValid() false).
  View GetView(const std::string& name) const;

  // Metakit's GetAs: restructures (or creates) a top-level view from a
  // description such as "MessageLog[MsgNum:S,Msg:S,Date:S]". Properties that
  // stay (matched by name, without regard to letter case) keep their data,
  // new ones start empty or zero, unlisted ones are dropped; a property whose
  // type changes is dropped and added anew. A bare name ("MessageLog") deletes
  // that view. An unparsable description gives InvalidArgument and changes
  // nothing. Handles of the view obtained earlier see the new properties;
  // views derived from it before the change show no rows from then on.
  Status Restructure(const std::string& description);

  // Writes the working copy to the file as described above. Columns that did not
  // change are not rewritten and space freed by earlier commits is reused.
  Status Commit();

  // Like Commit, but rewrites the whole file packed, with no free space.
  Status CommitPacked();

  // The root: a view of exactly one row whose properties are the top-level
  // ones (normally all subviews). For engine tools such as the JSON dump;
  // its subview values are not reachable through View's interface.
  View Root() const;

  // The path given to Open.
  const std::string& path() const;

 private:
  class Impl;
  explicit Storage(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace mk
