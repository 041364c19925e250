// Items: the values of an S or B column.
//
// A column read from a file stays packed: (start, length) spans into the
// file's bytes, shared by all columns, which costs one allocation instead of
// one per row. The first change unpacks it into one string per row, where
// edits are cheap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mk {

class Items {
 public:
  using Span = std::pair<uint32_t, uint32_t>;  // start in the buffer, length

  size_t size() const { return packed_ ? spans_.size() : strings_.size(); }

  // Item `i`; valid until the next change. REQUIRES: i < size().
  std::string_view operator[](size_t i) const {
    if (!packed_) return strings_[i];
    return std::string_view(buffer_->data() + spans_[i].first, spans_[i].second);
  }

  // Replaces the contents by packed items, keeping `buffer` alive.
  // REQUIRES: every span lies in *buffer.
  void AssignPacked(std::shared_ptr<const std::string> buffer, std::vector<Span> spans);

  // Changes. REQUIRES: positions inside (or, for Insert, at the end of) the items.
  void Set(size_t i, std::string_view bytes);
  void Insert(size_t pos, size_t count);  // empty items
  void Erase(size_t pos, size_t count);
  void AssignEmpty(size_t count);

 private:
  void Unpack();

  bool packed_ = false;
  std::shared_ptr<const std::string> buffer_;
  std::vector<Span> spans_;
  std::vector<std::string> strings_;
};

}  // namespace mk
