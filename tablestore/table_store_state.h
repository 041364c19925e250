// The inside of a TableStore, shared by the files that implement it
// (table_store.cpp, selection.cpp, data_dictionary.cpp, journal.cpp). Not for
// callers: they use tablestore/table_store.h.
//
// Invariants:
//  - a slot is occupied exactly when `used` is true; a free slot is Slot{};
//  - every occupation gets a new `serial`, so a derived slot can tell whether
//    the parent it was made from (parentSlot, parentSerial) still holds the
//    view it was derived from;
//  - for a derived slot, `stages` lists the views from the first one derived
//    from the parent's view to `view` itself (stages.back() == view); each
//    stage's IndexInBase maps into the previous stage, the first into the
//    parent's view. No stages: the slot shows the parent's view unchanged;
//  - names and descriptions are kept as UTF-8; the engine sees 8-bit text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mkstore/storage.h"
#include "mkstore/view.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tablestore/table_store.h"

namespace tablestore::detail {

struct Slot {
  bool used = false;
  uint64_t serial = 0;
  std::string name;
  mk::View view;
  std::vector<mk::View> stages;
  int parentSlot = -1;
  uint64_t parentSerial = 0;
  std::string baseName;
  std::string description;
  bool inMemory = false;
  bool columnInfoLoaded = false;
  std::vector<ColumnInfo> columnInfo;
};

struct StoreState {
  mk::FileSystem* fs = nullptr;
  std::unique_ptr<mk::Storage> storage;  // null while closed
  std::string fileName;
  bool inMemoryDefault = false;
  std::vector<std::string> tableNames;
  std::string tableList;
  std::array<Slot, kSlotCount> slots;
  uint64_t nextSerial = 1;
  std::string lastError;
  const platform::Clock* clock = nullptr;  // null: the system clock
  std::string deviceIdentity;
  platform::FileSystem* files = nullptr;  // null: the real file system
};

// The slot a derived slot writes into; -1 for a slot that is not derived or
// whose parent has been released (and perhaps reused) since.
int LiveParent(const StoreState& s, const Slot& sl);

// UTF-8 to the stored 8-bit text and back.
std::string Narrow(std::string_view utf8);
std::string Widen(std::string_view stored);

// Blanks (spaces and tabs) removed at both ends / at the start.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);

}  // namespace tablestore::detail
