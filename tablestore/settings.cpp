#include "tablestore/settings.h"

#include "tablestore/slot_guard.h"

namespace tablestore {
namespace {

// Rows of Globals with this block and key, or the negative result of opening
// Globals (-1) or of selecting (-2).
int CountRows(TableStore& store, std::string_view block, std::string_view key) {
  TableLease globals(store, kGlobals);
  if (globals.slot() < 0) return kNotFound;
  SlotGuard sel(store, store.Select(kGlobals, "Value", SettingCriteria(block, key), "", "", ""));
  return sel.slot() < 0 ? kNoFile : store.RowCount(sel.slot());
}

}  // namespace

std::string SettingCriteria(std::string_view block, std::string_view key) {
  return "Block=" + std::string(block) + ",Key=" + std::string(key);
}

int ReadSetting(TableStore& store, std::string_view block, std::string_view key,
                std::string& value) {
  return store.KeyRetrieve(kGlobals, SettingCriteria(block, key), "Value", value, false);
}

int WriteSetting(TableStore& store, std::string_view block, std::string_view key,
                 const std::string& value) {
  std::string text = value;
  return store.KeyRetrieve(kGlobals, SettingCriteria(block, key), "Value", text, true);
}

int AddSetting(TableStore& store, std::string_view block, std::string_view key,
               std::string_view value) {
  TableLease globals(store, kGlobals);
  if (globals.slot() < 0) return kNotFound;
  const int row = store.AddRow(globals.slot(), -1);
  if (row < 0) return kNotFound;
  const std::string texts[] = {std::string(block), std::string(key), std::string(value)};
  for (int col = 0; col < 3; ++col) {
    if (store.SetText(globals.slot(), row, col, texts[col]) != kOk) return kNotFound;
  }
  return globals.Release();
}

int EnsureSetting(TableStore& store, std::string_view block, std::string_view key,
                  std::string_view value) {
  const int rows = CountRows(store, block, key);
  if (rows < 0) return rows;
  return rows == 0 ? AddSetting(store, block, key, value) : kOk;
}

int StoreSetting(TableStore& store, std::string_view block, std::string_view key,
                 const std::string& value) {
  {
    TableLease globals(store, kGlobals);
    if (globals.slot() < 0) return kNotFound;
    SlotGuard sel(store, store.Select(kGlobals, "Value", SettingCriteria(block, key), "", "", ""));
    if (sel.slot() < 0) return kNoFile;
    if (store.RowCount(sel.slot()) > 0) {
      if (store.SetText(sel.slot(), 0, 0, value) != kOk) return kNotFound;
      if (sel.Release() != kOk || globals.Release() != kOk) return kWriteFailed;
      return kOk;
    }
  }
  return AddSetting(store, block, key, value);
}

int AddMissingOptions(TableStore& store) {
  for (const SettingDefault& d : kOptionDefaults) {
    const int rc = EnsureSetting(store, d.block, d.key, d.value);
    if (rc < 0) return rc;
  }
  return kOk;
}

std::string KeyLetter(TableStore& store, std::string_view key) {
  std::string letter;
  {
    TableLease globals(store, kGlobals);
    SlotGuard sel(
        store, globals.slot() < 0
                   ? -1
                   : store.Select(kGlobals, "Value", SettingCriteria(kBlockKeys, key), "", "", ""));
    if (store.RowCount(sel.slot()) > 0) store.GetText(sel.slot(), 0, 0, letter);
  }
  if (!letter.empty()) return letter;
  for (const SettingDefault& d : kKeyDefaults) {
    if (key == d.key) return d.value;
  }
  return std::string();
}

}  // namespace tablestore
