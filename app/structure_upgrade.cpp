#include "app/structure_upgrade.h"

#include <climits>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

using tablestore::TableStore;

const char* const kFullColumns =
    "TableName,FieldType,Description,ColumnName,IsUsed,Length,DefaultValue,Order1";

// A DataDictionary row as the upgrade steps write it, column by column of the
// projection they write through.
struct DictionaryRow {
  std::vector<std::string> texts;  // written with SetText, by column index
  std::vector<int> numbers;        // written with SetInt after the texts
};

// Appends one row to DataDictionary through a projection on `columnList`.
// False when the row could not be added or written.
bool AddDictionaryRow(TableStore& store, const std::string& columnList, const DictionaryRow& row) {
  tablestore::SlotGuard view(store, store.Select("DataDictionary", columnList, "", "", "", ""));
  const int slot = view.slot();
  if (slot < 0 || store.AddRow(slot, -1) < 0) return false;
  // A projection without criteria shows every row, so the new row is its last.
  const int last = store.RowCount(slot) - 1;
  int col = 0;
  bool written = true;
  for (const std::string& text : row.texts) {
    written = store.SetText(slot, last, col++, text) == tablestore::kOk && written;
  }
  for (int number : row.numbers) {
    written = store.SetInt(slot, last, col++, number) == tablestore::kOk && written;
  }
  return written;
}

// True when DataDictionary has a row matching `criteria`.
bool DictionaryHas(TableStore& store, const std::string& criteria) {
  tablestore::SlotGuard view(store,
                             store.Select("DataDictionary", "TableName", criteria, "", "", ""));
  return view.slot() >= 0 && store.RowCount(view.slot()) > 0;
}

// Adds the Log column row `row` (ColumnName in texts[3]) unless a step that
// stopped after its commit already added it.
bool AddLogColumnOnce(TableStore& store, const DictionaryRow& row) {
  if (DictionaryHas(store, "TableName=Log,ColumnName=" + row.texts[3])) return true;
  return AddDictionaryRow(store, kFullColumns, row);
}

// Writes `value` into the DefaultValue of the dictionary row matching
// `criteria`, when that row exists. False when it exists and the write failed.
bool SetDictionaryDefault(TableStore& store, const std::string& criteria,
                          const std::string& value) {
  tablestore::SlotGuard view(store,
                             store.Select("DataDictionary", "DefaultValue", criteria, "", "", ""));
  if (view.slot() < 0 || store.RowCount(view.slot()) == 0) return true;
  return store.SetText(view.slot(), 0, 0, value) == tablestore::kOk;
}

bool AddOverrideVolume(TableStore& store) {
  return AddLogColumnOnce(
      store, {{"Log", "I", "Override Volume", "OverrideVolume", "Y", "1", "0", "31"}, {}});
}

bool AddSkipSeg(TableStore& store) {
  return SetDictionaryDefault(store, "TableName=Log,ColumnName=OverrideVolume", "V0") &&
         SetDictionaryDefault(store, "TableName=Log,ColumnName=P", "V1") &&
         AddLogColumnOnce(store,
                          {{"Log", "I", "Skip Segmentation", "SkipSeg", "Y", "1", "V0", "32"}, {}});
}

bool DescribeTapers(TableStore& store) {
  if (DictionaryHas(store, "TableName=Tapers")) return true;
  const char* const columns = "TableName,FieldType,Description,ColumnName,IsUsed,Length,Order1";
  const DictionaryRow rows[] = {
      {{"Tapers", "S", "Species", "SP", "Y"}, {2, 1}},
      {{"Tapers", "S", "Region", "REGION", "Y"}, {2, 2}},
      {{"Tapers", "S", "Forest", "FOREST", "Y"}, {2, 3}},
      {{"Tapers", "S", "District", "DISTRICT", "Y"}, {2, 4}},
      {{"Tapers", "F", "Taper per foot", "TAPER", "Y"}, {4, 5}},
  };
  for (const DictionaryRow& row : rows) {
    if (!AddDictionaryRow(store, columns, row)) return false;
  }
  return true;
}

// One upgrade step: the version it starts from (inclusive), the one it
// reaches, its changes to DataDictionary (made without a commit), and
// whether Log is then rebuilt from the dictionary.
struct Step {
  long from;
  long to;
  bool (*change)(TableStore& store);
  bool restructureLog;
};

constexpr Step kSteps[] = {
    {kOldestStructureVersion, 20060208, AddOverrideVolume, true},
    {20060208, 20060216, AddSkipSeg, true},
    {20060216, kCurrentStructureVersion, DescribeTapers, false},
};

// Runs `step` on a file at `version`: its dictionary changes and the new
// version go into the open file, then one commit takes them together (the
// restructure of Log when the step has one, else the journal entry), so the
// file is at the old version or the new one with everything that goes with
// it. The journal entry follows. Returns the version the file holds
// afterwards; *ok is false when something could not be written.
long RunStep(TableStore& store, const Step& step, long version, bool* ok) {
  const std::string text = std::to_string(step.to);
  *ok = step.change(store) &&
        tablestore::WriteSetting(store, tablestore::kBlockSystem, tablestore::kKeyStructureVersion,
                                 text) == tablestore::kOk &&
        (!step.restructureLog || store.RestructureTable("Log", "Order1") == tablestore::kOk);
  if (!*ok) return version;
  *ok = store.LogProgramMessage("Data structure version updated to " + text) == tablestore::kOk;
  return *ok || step.restructureLog ? step.to : version;
}

void ShowCannotOpen(platform::Ui& ui, const std::string& text) {
  platform::Message message;
  message.text = text;
  message.caption = "Cannot open file";
  message.icon = platform::Icon::kExclamation;
  ui.ShowMessage(message);
}

}  // namespace

long ParseVersion(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (value > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

long ReadStructureVersion(TableStore& store) {
  std::string text;
  if (tablestore::ReadSetting(store, tablestore::kBlockSystem, tablestore::kKeyStructureVersion,
                              text) != tablestore::kOk) {
    return 0;
  }
  return ParseVersion(text);
}

UpgradeResult UpgradeStructure(TableStore& store, platform::Ui& ui) {
  long version = ReadStructureVersion(store);
  for (const Step& step : kSteps) {
    if (version < step.from || version >= step.to) continue;
    bool ok = false;
    version = RunStep(store, step, version, &ok);
    if (!ok) {
      ShowCannotOpen(ui, std::string(kUpgradeFailedText) + std::to_string(version) + ":\n" +
                             store.LastError());
      return UpgradeResult::kFailed;
    }
  }
  if (version >= kCurrentStructureVersion) return UpgradeResult::kCurrent;
  ShowCannotOpen(ui, "This file has an old version of the data structure.");
  return UpgradeResult::kTooOld;
}

}  // namespace app
