#include "setup/column_selection_screen.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "tablestore/table_store.h"

namespace setup {

namespace {

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
    return platform::EqualsIgnoringAsciiCase(n, name);
  });
}

int Clamp(int index, const std::vector<std::string>& list) {
  return index >= 0 && index < static_cast<int>(list.size()) ? index : -1;
}

}  // namespace

std::vector<std::string> SplitColumns(const std::string& list) {
  std::vector<std::string> names;
  std::string rest = list, name;
  while (!rest.empty()) {
    tablestore::TableStore::NextToken(rest, name, ",");
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

std::string JoinColumns(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ",") + name;
  return list;
}

ColumnSelectionScreen::ColumnSelectionScreen(std::vector<std::string> columns,
                                             std::vector<std::string> selected) {
  view_.selected = std::move(selected);
  for (std::string& column : columns) {
    if (!Has(view_.selected, column)) view_.available.push_back(std::move(column));
  }
}

void ColumnSelectionScreen::SetFocus(ListFocus focus) {
  view_.focus = focus;
  view_.includeEnabled = focus == ListFocus::kAvailable;
  view_.excludeEnabled = view_.upEnabled = view_.downEnabled = focus == ListFocus::kSelected;
}

void ColumnSelectionScreen::ChooseAvailable(int index) {
  view_.chosenAvailable = Clamp(index, view_.available);
}
void ColumnSelectionScreen::ChooseSelected(int index) {
  view_.chosenSelected = Clamp(index, view_.selected);
}

void ColumnSelectionScreen::Move(std::vector<std::string>& from, int& chosenFrom,
                                 std::vector<std::string>& to, int& chosenTo) {
  if (chosenFrom < 0) return;
  to.push_back(std::move(from[chosenFrom]));
  from.erase(from.begin() + chosenFrom);
  chosenTo = static_cast<int>(to.size()) - 1;
  chosenFrom =
      Clamp(chosenFrom < static_cast<int>(from.size()) ? chosenFrom : chosenFrom - 1, from);
}

void ColumnSelectionScreen::Include() {
  Move(view_.available, view_.chosenAvailable, view_.selected, view_.chosenSelected);
}
void ColumnSelectionScreen::Exclude() {
  Move(view_.selected, view_.chosenSelected, view_.available, view_.chosenAvailable);
}

void ColumnSelectionScreen::IncludeAll() {
  for (std::string& name : view_.available) view_.selected.push_back(std::move(name));
  view_.available.clear();
  view_.chosenAvailable = -1;
}

void ColumnSelectionScreen::ExcludeAll() {
  for (std::string& name : view_.selected) view_.available.push_back(std::move(name));
  view_.selected.clear();
  view_.chosenSelected = -1;
}

void ColumnSelectionScreen::Swap(int offset) {
  const int other = view_.chosenSelected + offset;
  if (view_.chosenSelected < 0 || Clamp(other, view_.selected) < 0) return;
  std::swap(view_.selected[view_.chosenSelected], view_.selected[other]);
  view_.chosenSelected = other;
}

void ColumnSelectionScreen::Up() { Swap(-1); }
void ColumnSelectionScreen::Down() { Swap(1); }

std::string ColumnSelectionScreen::Result() const { return JoinColumns(view_.selected); }

}  // namespace setup
