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
  for (size_t i = 0; i < spans_.size(); ++i)
    strings_[i].assign(*buffer_, spans_[i].first, spans_[i].second);
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

void Ints::AssignPacked(std::shared_ptr<const std::string> buffer, size_t offset, int width,
                        bool bigEndian, size_t rows) {
  packed_ = true;
  buffer_ = std::move(buffer);
  data_ = reinterpret_cast<const uint8_t*>(buffer_->data()) + offset;
  width_ = width;
  big_ = bigEndian;
  rows_ = rows;
  values_.clear();
}

void Ints::Unpack() {
  if (!packed_) return;
  values_.resize(rows_);
  format::GetAllPacked(data_, width_, big_, static_cast<int64_t>(rows_), values_.data());
  packed_ = false;
  buffer_.reset();
  data_ = nullptr;
}

void Ints::Set(size_t i, int32_t value) {
  Unpack();
  values_[i] = value;
}

void Ints::Insert(size_t pos, size_t count) {
  Unpack();
  values_.insert(values_.begin() + static_cast<std::ptrdiff_t>(pos), count, 0);
}

void Ints::Erase(size_t pos, size_t count) {
  Unpack();
  const auto first = values_.begin() + static_cast<std::ptrdiff_t>(pos);
  values_.erase(first, first + static_cast<std::ptrdiff_t>(count));
}

void Ints::AssignZeros(size_t count) {
  packed_ = false;
  buffer_.reset();
  data_ = nullptr;
  values_.assign(count, 0);
}

}  // namespace mk
