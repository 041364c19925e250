#include "sampling/log_row.h"

#include "platform/text.h"
#include "sampling/cell_text.h"

namespace sampling {

int RowCells::GetInt(std::string_view column) const { return CellInt(Get(column)); }

int TextRow::Find(std::string_view column) const {
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (platform::EqualsIgnoringAsciiCase(cells_[i].first, column)) return static_cast<int>(i);
  }
  return -1;
}

bool TextRow::Has(std::string_view column) const { return Find(column) >= 0; }

std::string TextRow::Get(std::string_view column) const {
  const int i = Find(column);
  return i >= 0 ? cells_[i].second : std::string();
}

void TextRow::Set(std::string_view column, std::string_view text) {
  const int i = Find(column);
  if (i >= 0) cells_[i].second = std::string(text);
}

void TextRow::Put(std::string_view column, std::string_view text) {
  if (Has(column)) {
    Set(column, text);
  } else {
    cells_.emplace_back(std::string(column), std::string(text));
  }
}

}  // namespace sampling
