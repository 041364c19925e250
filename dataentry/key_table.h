// The data entry screen's command keys: the Ctrl letters of the Log grid
// and the plain letters (set in the file's keys) that press a button.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <utility>
#include <vector>

namespace tablestore {
class TableStore;
}

namespace dataentry {

// What a command key does.
enum class KeyCommand {
  kNone,            // not a command key
  kNewLog,          // Ctrl+A
  kSplit,           // Ctrl+S
  kVolumeOverride,  // Ctrl+O
  kLoadTotals,      // Ctrl+L
  kQuickEstimate,   // Ctrl+E
  kTaper,           // Ctrl+B
  kLogGrid,         // the keys' LogScreen letter
  kSegmentGrid,     // SegmentScreen
  kDefectGrid,      // DefectScreen
  kVolume,          // VolumeCalc
  kAdd,             // AddRec
};

// The letters the file's keys give the buttons (upper case; 0 when unset).
struct KeyLetters {
  int log = 'L', segment = 'S', defect = 'D', volume = 'V', add = 'A';
};

// Reads the letters of the keys LogScreen, SegmentScreen, DefectScreen,
// VolumeCalc and AddRec.
KeyLetters ReadKeyLetters(tablestore::TableStore& store);

class KeyTable {
 public:
  explicit KeyTable(const KeyLetters& letters = {});

  // The command of Ctrl+`code` (a letter, either case), kNone for others.
  KeyCommand FindCtrl(int code) const;
  // The command of the plain key `code`, kNone for others. A letter given
  // to two buttons runs the first of Log, Seg, Def, Vol, Add.
  KeyCommand FindPlain(int code) const;

 private:
  std::vector<std::pair<int, KeyCommand>> plain_;
};

}  // namespace dataentry
