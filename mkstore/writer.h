// Writing datasets: commits that leave unchanged columns in place, and packed
// rewrites (see FORMAT.md, Free space and Commit). The layout written is
// exactly the one described there; nothing of our own is added.
//
// An incremental commit never overwrites bytes the last committed dataset
// references, nor its tails. Its order is: new columns and table of contents
// into free space or past the end; sync; the tail markers (the commit point);
// sync; the header with the new length; sync. Because the header is written
// last, a reader that finds the file's end cut short still reaches the
// previous dataset through the header's length field (see reader.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "mkstore/file.h"
#include "mkstore/reader.h"
#include "mkstore/status.h"

namespace mk {

// What a commit will write and how the columns' disk state changes with it.
struct CommitPlan {
  struct Update {
    Column* column;
    DiskColumn disk;
  };
  std::vector<std::pair<int64_t, std::string>> writes;  // (position, bytes), ascending
  std::vector<Update> updates;
  std::string toc;
  Ref tocRef;
  int64_t end = 0;         // dataset length once committed
  bool inPlace = false;    // everything fitted below the old tails
  bool unchanged = false;  // the table of contents is the committed one: nothing to write
};

// The byte ranges (relative to the dataset's header) that the committed
// dataset `ds` references, sorted by position: header, every column, the
// table of contents and the tails. Empty when `ds` is in no file.
std::vector<Ref> CommittedAreas(const Dataset& ds);

// Plans writing `ds`'s working copy. With `packed`, every column is written
// afresh from offset 8 in commit order (the layout of Metakit's SaveTo and of
// a first commit); otherwise unchanged columns keep their place and new ones
// go to the first free gap outside `areas`, or past the end.
// Integer columns are never written narrower than they were read.
CommitPlan PlanCommit(Dataset* ds, const std::vector<Ref>& areas, bool packed);

// The complete bytes of a dataset planned with `packed`.
std::string PackedImage(const CommitPlan& plan, bool bigEndian);

// Carries out an incremental plan on `file`, where `ds` is committed, in the
// crash-safe order described above. IOError on a failure before the commit
// tail is synced: the file then holds the old dataset. Once the tail is
// synced the new dataset is the file's, so a failure to update the header's
// length after it is not a failure of the commit: Ok is returned with
// *staleHeader set (the header then still holds ds.headerLength, which the
// next commit repairs first, as for files other writers left stale).
Status WriteIncremental(File* file, const Dataset& ds, const CommitPlan& plan, bool* staleHeader);

// Records a plan as committed: updates the columns' disk state and `ds`'s
// end and table of contents, and recomputes *areas. `base` is the file offset
// of the dataset's header.
void AdoptPlan(CommitPlan* plan, int64_t base, Dataset* ds, std::vector<Ref>* areas);

}  // namespace mk
