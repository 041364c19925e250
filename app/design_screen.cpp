#include "app/design_screen.h"

#include <iterator>

#include "platform/text.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace app {
namespace {

// The index of the entry that equals `text` exactly, or -1.
template <size_t N>
int EntryOf(const char* const (&entries)[N], const std::string& text) {
  for (size_t i = 0; i < N; ++i) {
    if (text == entries[i]) return static_cast<int>(i);
  }
  return -1;
}

// The text of entry `index`, or `fallback` when no entry is selected.
template <size_t N>
std::string TextOf(const char* const (&entries)[N], int index, const std::string& fallback) {
  return index >= 0 && index < static_cast<int>(N) ? entries[index] : fallback;
}

}  // namespace

DesignScreen::DesignScreen(Application& app) : app_(app), kzBinding_(*app.store(), kzGrid_, &app.ui) {
  ReadLoadTexts();
  view_.scaleType = EntryOf(kScaleTypes, scaleUnits_);
  view_.scaleSample = EntryOf(kScaleSamples, scaleSample_);
  BindKz();
  ApplyEnablingRule();
}

void DesignScreen::ReadLoadTexts() {
  tablestore::TableStore& store = *app_.store();
  const int slot = store.Select("Load", "ST,SCALESYS", "", "", "", "");
  if (slot < 0) return;
  // A Load table without a row reads as two empty texts.
  if (store.RowCount(slot) > 0) {
    if (store.GetText(slot, 0, 0, scaleSample_) < 0) scaleSample_.clear();
    if (store.GetText(slot, 0, 1, scaleUnits_) < 0) scaleUnits_.clear();
  }
  (void)store.ReleaseView(slot);  // a read-only selection: nothing to save
}

void DesignScreen::BindKz() {
  const int slot = app_.store()->FindView("KZ");
  // Without a KZ table the grid stays without columns and OK writes nothing.
  // Bind's only failure is a slot that is not open, excluded here.
  if (slot >= 0) static_cast<void>(kzBinding_.Bind(slot, ""));
}

void DesignScreen::ApplyEnablingRule() {
  const bool threeP = platform::EqualsIgnoringAsciiCase(scaleSample_, "3P");
  view_.kzShown = view_.kzEnabled = threeP;
  const bool locked = app_.hasLogs() && !app_.loadInfoEditable();
  view_.scaleSampleEnabled = !locked;
  if (locked) view_.kzEnabled = false;
}

void DesignScreen::OnScaleTypeChanged(int index) {
  if (index < -1 || index >= static_cast<int>(std::size(kScaleTypes))) return;
  view_.scaleType = index;
}

void DesignScreen::OnScaleSampleChanged(int index) {
  if (!view_.scaleSampleEnabled || index < 0 ||
      index >= static_cast<int>(std::size(kScaleSamples))) {
    return;
  }
  view_.scaleSample = index;
  scaleSample_ = kScaleSamples[index];
  ApplyEnablingRule();
}

void DesignScreen::OnAddRecord() {
  if (!view_.kzEnabled || kzBinding_.slot() < 0) return;
  const int row = kzBinding_.AppendRow();
  kzGrid_.SetCurrentCell(row, 0);
}

void DesignScreen::OnDeleteRecord() {
  if (!view_.kzEnabled || kzGrid_.CurrentRow() < 1) return;
  kzGrid_.DeleteRow(kzGrid_.CurrentRow());
}

std::optional<DesignChoice> DesignScreen::OnOk() {
  if (kzGrid_.IsEditing()) kzGrid_.CommitEdit(kzGrid_.EditText());
  tablestore::TableStore& store = *app_.store();
  if (kzBinding_.slot() >= 0) {
    if (kzBinding_.WriteBackReplace() < 0) {
      ShowError("The KZ table could not be written:\n" + store.LastError());
      return std::nullopt;
    }
    if (store.Commit() != tablestore::kOk) {
      ShowError("The file could not be written:\n" + store.LastError());
      return std::nullopt;
    }
  }
  return DesignChoice{TextOf(kScaleSamples, view_.scaleSample, scaleSample_),
                      TextOf(kScaleTypes, view_.scaleType, scaleUnits_)};
}

void DesignScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

std::string DesignOrderColumn(const std::string& design, const std::string& units) {
  const int byUnits = platform::EqualsIgnoringAsciiCase(units, "Cubic")   ? 0
                      : platform::EqualsIgnoringAsciiCase(units, "Board") ? 1
                                                                          : 2;
  return "Order" + std::to_string((design == "100" ? 2 : 5) + byUnits);
}

}  // namespace app
