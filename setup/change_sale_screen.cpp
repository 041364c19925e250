#include "setup/change_sale_screen.h"

#include "app/load_rename.h"
#include "platform/ui.h"
#include "tablestore/table_store.h"

namespace setup {
namespace {

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

// `text` with its first letter made a capital.
std::string Sentence(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

}  // namespace

ChangeSaleScreen::ChangeSaleScreen(app::Application& app) : app_(app) {
  view_.sales = app::RenameChoices(*app.store(), "SALE");
  view_.llrs = app::RenameChoices(*app.store(), "LLR");
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

bool ChangeSaleScreen::OnOk() {
  const auto change = [](const std::vector<std::string>& list, int chosen,
                         const std::string& newValue) {
    return chosen < 0 ? app::ValueChange{} : app::ValueChange{list[chosen], newValue};
  };
  const app::RenameOutcome outcome =
      app::RenameSaleOrLlr(*app_.store(), app_.ui, change(view_.sales, view_.sale, view_.newSale),
                           change(view_.llrs, view_.llr, view_.newLlr));
  if (outcome.status == app::RenameStatus::kRefused) {
    ShowError(outcome.wouldMerge
                  ? "Another load already has this SALE and LLR.\nRenaming would merge the logs "
                    "of two loads, so nothing was changed."
                  : Sentence(outcome.reason) + ", so nothing was changed.");
  }
  return outcome.status == app::RenameStatus::kRenamed ||
         outcome.status == app::RenameStatus::kNothing;
}

void ChangeSaleScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

}  // namespace setup
