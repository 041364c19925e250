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
                                 std::vector<std::string> selected)
    : selected_(std::move(selected)) {
  for (std::string& column : columns) {
    if (!Has(selected_, column)) available_.push_back(std::move(column));
  }
}

void ColumnSelectionScreen::ChooseAvailable(int index) { chosenAvailable_ = Clamp(index, available_); }
void ColumnSelectionScreen::ChooseSelected(int index) { chosenSelected_ = Clamp(index, selected_); }

void ColumnSelectionScreen::Move(std::vector<std::string>& from, int& chosenFrom,
                           std::vector<std::string>& to, int& chosenTo) {
  if (chosenFrom < 0) return;
  to.push_back(std::move(from[chosenFrom]));
  from.erase(from.begin() + chosenFrom);
  chosenTo = static_cast<int>(to.size()) - 1;
  chosenFrom =
      Clamp(chosenFrom < static_cast<int>(from.size()) ? chosenFrom : chosenFrom - 1, from);
}

void ColumnSelectionScreen::Include() { Move(available_, chosenAvailable_, selected_, chosenSelected_); }
void ColumnSelectionScreen::Exclude() { Move(selected_, chosenSelected_, available_, chosenAvailable_); }

void ColumnSelectionScreen::IncludeAll() {
  for (std::string& name : available_) selected_.push_back(std::move(name));
  available_.clear();
  chosenAvailable_ = -1;
}

void ColumnSelectionScreen::ExcludeAll() {
  for (std::string& name : selected_) available_.push_back(std::move(name));
  selected_.clear();
  chosenSelected_ = -1;
}

void ColumnSelectionScreen::Swap(int offset) {
  const int other = chosenSelected_ + offset;
  if (chosenSelected_ < 0 || Clamp(other, selected_) < 0) return;
  std::swap(selected_[chosenSelected_], selected_[other]);
  chosenSelected_ = other;
}

void ColumnSelectionScreen::Up() { Swap(-1); }
void ColumnSelectionScreen::Down() { Swap(1); }

std::string ColumnSelectionScreen::Result() const { return JoinColumns(selected_); }

}  // namespace setup
