#include "mkstore/items.h"

#include <bit>

namespace mk {

void Items::DropPacked() {
  terminated_ = false;
  buffer_.reset();
  bytes_ = nullptr;
  ends_ = std::vector<uint32_t>();
  spans_ = std::vector<Span>();
}

void Items::AssignEnds(std::shared_ptr<const std::string> buffer, std::vector<uint32_t> ends,
                       bool text, bool terminated) {
  DropPacked();
  form_ = Form::kEnds;
  text_ = text;
  terminated_ = text && terminated;
  buffer_ = std::move(buffer);
  bytes_ = buffer_->data();
  ends_ = std::move(ends);
  strings_.clear();
}

void Items::AssignPacked(std::shared_ptr<const std::string> buffer, std::vector<Span> spans) {
  DropPacked();
  form_ = Form::kSpans;
  buffer_ = std::move(buffer);
  bytes_ = buffer_->data();
  spans_ = std::move(spans);
  strings_.clear();
}

void Items::Describe(detail::CellColumn* out) const {
  if (!terminated_) return;
  out->kind = detail::CellKind::kText;
  out->offsets = ends_.data();
  out->bytes = bytes_;
}

void Items::Unpack() {
  if (form_ == Form::kStrings) return;
  const size_t n = size();
  strings_.resize(n);
  for (size_t i = 0; i < n; ++i) strings_[i].assign((*this)[i]);
  form_ = Form::kStrings;
  DropPacked();
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
  form_ = Form::kStrings;
  DropPacked();
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

void Ints::Describe(bool isFloat, detail::CellColumn* out) const {
  using detail::CellKind;
  // The in-place reads load whole little-endian words.
  if constexpr (std::endian::native != std::endian::little) return;
  const bool packedBig = packed_ && big_;
  const int width = packed_ ? width_ : 32;
  const uint8_t* values = packed_ ? data_ : reinterpret_cast<const uint8_t*>(values_.data());
  if (isFloat) {
    if (width == 32 && !packedBig) {
      out->kind = CellKind::kFloat;
      out->values = values;
    }
    return;
  }
  if (width == 1 || width == 2 || width == 4) {
    out->kind = CellKind::kBits;
    out->shift = static_cast<uint8_t>(std::countr_zero(static_cast<unsigned>(width)));
    out->mask = static_cast<uint8_t>((1 << width) - 1);
    out->values = values;
    return;
  }
  // Width 0 has no bytes to read; wider big-endian values need a swap.
  if (width == 0 || (width > 8 && packedBig)) return;
  // Values narrower than a word are read as the top of the word that ends
  // with them, which starts before the first value: the bytes must be there.
  const int back = 4 - width / 8;
  if (packed_ && data_ - reinterpret_cast<const uint8_t*>(buffer_->data()) < back) return;
  out->kind = CellKind::kInt;
  out->shift = static_cast<uint8_t>(std::countr_zero(static_cast<unsigned>(width / 8)));
  out->drop = static_cast<uint8_t>(32 - width);
  out->words = values - back;
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
