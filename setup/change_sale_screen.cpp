#include "setup/change_sale_screen.h"

#include <set>
#include <string_view>
#include <utility>

#include "app/load_actions.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace setup {
namespace {

using Pair = std::pair<std::string, std::string>;

// The cell as text; "" for a missing column or a failed read.
std::string Cell(const tablestore::TableStore& store, int slot, int row, int column) {
  std::string text;
  if (column < 0 || store.GetText(slot, row, column, text) < 0) return {};
  return text;
}

// The distinct values of `column` in table slot `slot`, sorted.
std::vector<std::string> DistinctValues(const tablestore::TableStore& store, int slot,
                                        const char* column) {
  std::set<std::string> values;
  const int col = store.ColumnIndex(slot, column);
  if (col >= 0) {
    for (int row = 0; row < store.RowCount(slot); ++row) values.insert(Cell(store, slot, row, col));
  }
  return {values.begin(), values.end()};
}

// The first `limit` characters of UTF-8 `text` (a character's continuation
// bytes stay with it).
std::string FirstChars(const std::string& text, size_t limit) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts && chars++ == limit) return text.substr(0, i);
  }
  return text;
}

// Adds the (SALE, LLR) key of every row of table slot `slot` to `keys`, and
// the key as `rename` leaves it to `renamedKeys`.
template <typename RenameKey>
void AddKeys(const tablestore::TableStore& store, int slot, const RenameKey& rename,
             std::set<Pair>& keys, std::set<Pair>& renamedKeys) {
  const int sale = store.ColumnIndex(slot, "SALE");
  const int llr = store.ColumnIndex(slot, "LLR");
  if (sale < 0 || llr < 0) return;
  for (int row = 0; row < store.RowCount(slot); ++row) {
    Pair key{Cell(store, slot, row, sale), Cell(store, slot, row, llr)};
    keys.insert(key);
    renamedKeys.insert(rename(std::move(key)));
  }
}

}  // namespace

ChangeSaleScreen::ChangeSaleScreen(app::Application& app) : app_(app) {
  const tablestore::TableStore& store = *app.store();
  view_.sales = DistinctValues(store, app.slots().log, "SALE");
  view_.llrs = DistinctValues(store, app.slots().log, "LLR");
  view_.sale = view_.sales.empty() ? -1 : 0;
  view_.llr = view_.llrs.empty() ? -1 : 0;
}

void ChangeSaleScreen::OnSaleChosen(int index) {
  if (index >= -1 && index < static_cast<int>(view_.sales.size())) view_.sale = index;
}

void ChangeSaleScreen::OnLlrChosen(int index) {
  if (index >= -1 && index < static_cast<int>(view_.llrs.size())) view_.llr = index;
}

void ChangeSaleScreen::OnNewSaleChanged(const std::string& text) {
  view_.newSale = FirstChars(text, kMaxSaleChars);
}

void ChangeSaleScreen::OnNewLlrChanged(const std::string& text) {
  view_.newLlr = FirstChars(text, kMaxLlrChars);
}

std::vector<ChangeSaleScreen::Rename> ChangeSaleScreen::Renames() const {
  std::vector<Rename> renames;
  if (!view_.newSale.empty() && view_.sale >= 0 && view_.sales[view_.sale] != view_.newSale) {
    renames.push_back({"SALE", view_.sales[view_.sale], view_.newSale});
  }
  if (!view_.newLlr.empty() && view_.llr >= 0 && view_.llrs[view_.llr] != view_.newLlr) {
    renames.push_back({"LLR", view_.llrs[view_.llr], view_.newLlr});
  }
  return renames;
}

bool ChangeSaleScreen::MergesLoads(const std::vector<Rename>& renames) const {
  auto rename = [&renames](Pair key) {
    for (const Rename& r : renames) {
      std::string& value = std::string_view(r.column) == "SALE" ? key.first : key.second;
      if (value == r.from) value = r.to;
    }
    return key;
  };
  // A rename maps every load key to one key; it merges two loads exactly
  // when it leaves fewer distinct keys than there were.
  std::set<Pair> keys, renamedKeys;
  const tablestore::TableStore& store = *app_.store();
  AddKeys(store, app_.slots().load, rename, keys, renamedKeys);
  AddKeys(store, app_.slots().log, rename, keys, renamedKeys);
  return renamedKeys.size() < keys.size();
}

bool ChangeSaleScreen::RenameInTables(const Rename& rename) {
  tablestore::TableStore& store = *app_.store();
  const app::TableSlots& slots = app_.slots();
  for (int slot : {slots.log, slots.seg, slots.defC, slots.defB, slots.load}) {
    const int col = store.ColumnIndex(slot, rename.column);
    if (slot < 0 || col < 0) continue;
    for (int row = 0; row < store.RowCount(slot); ++row) {
      if (Cell(store, slot, row, col) != rename.from) continue;
      if (store.SetText(slot, row, col, rename.to) != tablestore::kOk) {
        ShowError("The file could not be written:\n" + store.LastError());
        return false;
      }
    }
  }
  return app::Journal(
      store, app_.ui,
      std::string("Changed ") + rename.column + " from " + rename.from + " to " + rename.to);
}

bool ChangeSaleScreen::OnOk() {
  const std::vector<Rename> renames = Renames();
  if (MergesLoads(renames)) {
    ShowError(
        "Another load already has this SALE and LLR.\nRenaming would merge the logs of two "
        "loads, so nothing was changed.");
    return false;
  }
  for (const Rename& rename : renames) {
    if (!RenameInTables(rename)) return false;
  }
  return true;
}

void ChangeSaleScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

}  // namespace setup
