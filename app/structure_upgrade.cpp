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

// A DataDictionary row as the upgrade steps write it, column by column of the
// projection they write through.
struct DictionaryRow {
  std::vector<std::string> texts;  // written with SetText, by column index
  std::vector<int> numbers;        // written with SetInt after the texts
};

// Appends one row to DataDictionary through a projection on `columnList`.
void AddDictionaryRow(TableStore& store, const std::string& columnList, const DictionaryRow& row) {
  tablestore::SlotGuard view(store, store.Select("DataDictionary", columnList, "", "", "", ""));
  int slot = view.slot();
  if (slot < 0) return;
  store.AddRow(slot, -1);
  // A projection without criteria shows every row, so the new row is its last.
  int last = store.RowCount(slot) - 1;
  int col = 0;
  for (const std::string& text : row.texts) store.SetText(slot, last, col++, text);
  for (int number : row.numbers) store.SetInt(slot, last, col++, number);
}

// Writes `value` into the DefaultValue of the dictionary row matching
// `criteria`, when that row exists.
void SetDictionaryDefault(TableStore& store, const std::string& criteria,
                          const std::string& value) {
  tablestore::SlotGuard view(store,
                             store.Select("DataDictionary", "DefaultValue", criteria, "", "", ""));
  if (view.slot() >= 0 && store.RowCount(view.slot()) > 0) store.SetText(view.slot(), 0, 0, value);
}

bool DictionaryHasTable(TableStore& store, const std::string& table) {
  tablestore::SlotGuard view(
      store, store.Select("DataDictionary", "TableName", "TableName=" + table, "", "", ""));
  return view.slot() >= 0 && store.RowCount(view.slot()) > 0;
}

// Ends a step: the stored version is raised first, so that a step is never
// run twice, then the journal records it.
long FinishStep(TableStore& store, long version) {
  std::string text = std::to_string(version);
  tablestore::WriteSetting(store, tablestore::kBlockSystem, tablestore::kKeyStructureVersion, text);
  store.LogProgramMessage("Data structure version updated to " + text);
  return version;
}

const char* const kFullColumns =
    "TableName,FieldType,Description,ColumnName,IsUsed,Length,DefaultValue,Order1";

long AddOverrideVolume(TableStore& store) {
  AddDictionaryRow(store, kFullColumns,
                   {{"Log", "I", "Override Volume", "OverrideVolume", "Y", "1", "0", "31"}, {}});
  store.RestructureTable("Log", "Order1");
  return FinishStep(store, 20060208);
}

long AddSkipSeg(TableStore& store) {
  SetDictionaryDefault(store, "TableName=Log,ColumnName=OverrideVolume", "V0");
  SetDictionaryDefault(store, "TableName=Log,ColumnName=P", "V1");
  AddDictionaryRow(store, kFullColumns,
                   {{"Log", "I", "Skip Segmentation", "SkipSeg", "Y", "1", "V0", "32"}, {}});
  store.RestructureTable("Log", "Order1");
  return FinishStep(store, 20060216);
}

long DescribeTapers(TableStore& store) {
  if (!DictionaryHasTable(store, "Tapers")) {
    const char* const columns = "TableName,FieldType,Description,ColumnName,IsUsed,Length,Order1";
    AddDictionaryRow(store, columns, {{"Tapers", "S", "Species", "SP", "Y"}, {2, 1}});
    AddDictionaryRow(store, columns, {{"Tapers", "S", "Region", "REGION", "Y"}, {2, 2}});
    AddDictionaryRow(store, columns, {{"Tapers", "S", "Forest", "FOREST", "Y"}, {2, 3}});
    AddDictionaryRow(store, columns, {{"Tapers", "S", "District", "DISTRICT", "Y"}, {2, 4}});
    AddDictionaryRow(store, columns, {{"Tapers", "F", "Taper per foot", "TAPER", "Y"}, {4, 5}});
  }
  return FinishStep(store, kCurrentStructureVersion);
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
  if (version >= kOldestStructureVersion && version < 20060208) version = AddOverrideVolume(store);
  if (version >= 20060208 && version < 20060216) version = AddSkipSeg(store);
  if (version >= 20060216 && version < kCurrentStructureVersion) version = DescribeTapers(store);
  if (version >= kCurrentStructureVersion) return UpgradeResult::kCurrent;
  platform::Message message;
  message.text = "This file has an old version of the data structure.";
  message.caption = "Cannot open file";
  message.icon = platform::Icon::kExclamation;
  ui.ShowMessage(message);
  return UpgradeResult::kTooOld;
}

}  // namespace app
