#include "mkstore/items.h"

namespace mk {

void Items::AssignPacked(std::shared_ptr<const std::string> buffer, std::vector<Span> spans) {
  packed_ = true;
  buffer_ = std::move(buffer);
  spans_ = std::move(spans);
  strings_.clear();
}

void Items::Unpack() {
  if (!packed_) return;
  strings_.resize(spans_.size());
  for (size_t i = 0; i < spans_.size(); ++i) strings_[i].assign(*buffer_, spans_[i].first, spans_[i].second);
  packed_ = false;
  buffer_.reset();
  spans_ = std::vector<Span>();
}

void Items::Set(size_t i, std::string_view bytes) {
  Unpack();
  strings_[i].assign(bytes.data(), bytes.size());
}

void Items::Insert(size_t pos, size_t count) {
  Unpack();
  strings_.insert(strings_.begin() + static_cast<std::ptrdiff_t>(pos), count, std::string());
}

void Items::Erase(size_t pos, size_t count) {
  Unpack();
  const auto first = strings_.begin() + static_cast<std::ptrdiff_t>(pos);
  strings_.erase(first, first + static_cast<std::ptrdiff_t>(count));
}

void Items::AssignEmpty(size_t count) {
  packed_ = false;
  buffer_.reset();
  spans_ = std::vector<Span>();
  strings_.assign(count, std::string());
}

}  // namespace mk
