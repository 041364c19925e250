// Scope guards for TableStore slots: a slot taken for the length of one
// operation is released on every path out of it.
//
// Declare the guard of a table before the guards of views derived from it, so
// that derived slots are released first (C++ destroys in reverse order).
// Thread safety: as TableStore.
#pragma once

#include <string>

#include "tablestore/table_store.h"

namespace tablestore {

// Releases `slot` (when >= 0) on destruction. `store` is borrowed and must
// outlive the guard.
class SlotGuard {
 public:
  SlotGuard(TableStore& store, int slot) : store_(store), slot_(slot) {}
  // A destructor cannot report: a guard over an in-memory table slot whose
  // changes must be known to have reached the file is ended with Release.
  ~SlotGuard() { (void)Release(); }
  SlotGuard(const SlotGuard&) = delete;
  SlotGuard& operator=(const SlotGuard&) = delete;

  // The slot, or the negative result that was given instead.
  int slot() const { return slot_; }

  // Releases the slot now (TableStore::ReleaseView) and returns the result:
  // 0, or -4 when an in-memory slot's commit failed. 0 when there is no slot
  // (any more).
  [[nodiscard]] int Release() {
    if (slot_ < 0) return kOk;
    const int rc = store_.ReleaseView(slot_);
    slot_ = -1;
    return rc == kWriteFailed ? kWriteFailed : kOk;
  }

 private:
  TableStore& store_;
  int slot_;
};

// The slot carrying table `name`: the one already open (FindView), or the
// table opened with the store's in-memory default for the guard's lifetime
// and released (so committed, when in memory) at its end.
class TableLease {
 public:
  TableLease(TableStore& store, const std::string& name)
      : slot_(store.FindView(name)),
        opened_(store, slot_ >= 0 ? -1 : store.OpenAView(name, store.InMemoryDefault())) {
    if (slot_ < 0) slot_ = opened_.slot();
  }

  // The table's slot, or the negative result of opening it.
  int slot() const { return slot_; }

  // Ends the lease now: releases the table when the lease opened it (which
  // commits an in-memory copy). Returns 0, or -4 when that commit failed.
  [[nodiscard]] int Release() { return opened_.Release(); }

 private:
  int slot_;
  SlotGuard opened_;
};

}  // namespace tablestore
