#include "dataentry/key_table.h"

#include <cctype>
#include <string>

#include "tablestore/settings.h"

namespace dataentry {

namespace {

constexpr std::pair<int, KeyCommand> kCtrlKeys[] = {
    {'A', KeyCommand::kNewLog},         {'S', KeyCommand::kSplit},
    {'O', KeyCommand::kVolumeOverride}, {'L', KeyCommand::kLoadTotals},
    {'E', KeyCommand::kQuickEstimate},  {'B', KeyCommand::kTaper}};

KeyCommand Find(int code, const auto& table) {
  for (const auto& [letter, command] : table) {
    if (letter != 0 && code == letter) return command;
  }
  return KeyCommand::kNone;
}

}  // namespace

KeyLetters ReadKeyLetters(tablestore::TableStore& store) {
  const auto letter = [&](const char* key) {
    const std::string text = tablestore::KeyLetter(store, key);
    return text.empty() ? 0 : std::toupper(static_cast<unsigned char>(text[0]));
  };
  KeyLetters letters;
  letters.log = letter("LogScreen");
  letters.segment = letter("SegmentScreen");
  letters.defect = letter("DefectScreen");
  letters.volume = letter("VolumeCalc");
  letters.add = letter("AddRec");
  return letters;
}

KeyTable::KeyTable(const KeyLetters& letters)
    : plain_{{letters.log, KeyCommand::kLogGrid},
             {letters.segment, KeyCommand::kSegmentGrid},
             {letters.defect, KeyCommand::kDefectGrid},
             {letters.volume, KeyCommand::kVolume},
             {letters.add, KeyCommand::kAdd}} {}

KeyCommand KeyTable::FindCtrl(int code) const {
  return Find(code >= 'a' && code <= 'z' ? code - ('a' - 'A') : code, kCtrlKeys);
}

KeyCommand KeyTable::FindPlain(int code) const { return Find(code, plain_); }

}  // namespace dataentry
