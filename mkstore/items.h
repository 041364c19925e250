// Items and Ints: the values of S/B columns and of I/F columns.
//
// Columns read from a file stay packed in the file's bytes (shared by all
// columns), which costs one allocation per column instead of one per value
// and nothing to decode until a value is read. The first change unpacks a
// column into one value per row, where edits are cheap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mkstore/cells.h"
#include "mkstore/format.h"

namespace mk {

// S/B items: packed in the file's bytes, either end to end (one offset per
// item) or, when some items lie elsewhere (memos), as (start, length) spans.
class Items {
 public:
  using Span = std::pair<uint32_t, uint32_t>;  // start in the buffer, length

  size_t size() const {
    if (form_ == Form::kEnds) return ends_.size() - 1;
    return form_ == Form::kSpans ? spans_.size() : strings_.size();
  }

  // Item `i`; valid until the next change. REQUIRES: i < size().
  std::string_view operator[](size_t i) const {
    // The usual case first: S items end to end, as Metakit writes them.
    if (terminated_)
      return detail::TerminatedTextAt(bytes_, ends_.data(), static_cast<uint32_t>(i));
    if (form_ == Form::kEnds)
      return detail::ItemAt(bytes_, ends_.data(), static_cast<uint32_t>(i), text_);
    if (form_ == Form::kSpans) return std::string_view(bytes_ + spans_[i].first, spans_[i].second);
    return strings_[i];
  }

  // Replaces the contents by items lying end to end in *buffer, keeping
  // `buffer` alive: item i is [ends[i], ends[i + 1]), less its terminating
  // NUL for S items (`text`). `terminated`: every non-empty S item has one
  // (as Metakit writes them). REQUIRES: ends non-empty and non-decreasing,
  // its last entry at most buffer->size().
  void AssignEnds(std::shared_ptr<const std::string> buffer, std::vector<uint32_t> ends, bool text,
                  bool terminated);
  // Replaces the contents by packed items, keeping `buffer` alive.
  // REQUIRES: every span lies in *buffer.
  void AssignPacked(std::shared_ptr<const std::string> buffer, std::vector<Span> spans);

  // Fills *out (see cells.h) for S items held end to end and terminated;
  // else leaves it as it is.
  void Describe(detail::CellColumn* out) const;

  // Changes. REQUIRES: positions inside (or, for Insert, at the end of) the items.
  void Set(size_t i, std::string_view bytes);
  void Insert(size_t pos, size_t count);  // empty items
  void Erase(size_t pos, size_t count);
  void AssignEmpty(size_t count);

 private:
  enum class Form : uint8_t { kStrings, kEnds, kSpans };
  void Unpack();
  void DropPacked();

  Form form_ = Form::kStrings;
  bool text_ = false;        // kEnds: items are S texts ...
  bool terminated_ = false;  // ... every non-empty one ending in a NUL (kEnds only)
  std::shared_ptr<const std::string> buffer_;
  const char* bytes_ = nullptr;  // buffer_'s bytes
  std::vector<uint32_t> ends_;
  std::vector<Span> spans_;
  std::vector<std::string> strings_;
};

// The values of an I column (or an F column's bit patterns). A column read
// from a file stays packed in the file's bytes at its stored width until the
// first change unpacks it into one int per row.
class Ints {
 public:
  size_t size() const { return packed_ ? rows_ : values_.size(); }

  // Value `i`. REQUIRES: i < size().
  int32_t operator[](size_t i) const {
    if (!packed_) return values_[i];
    return static_cast<int32_t>(format::GetPacked(data_, width_, big_, static_cast<int64_t>(i)));
  }

  // Replaces the contents by `rows` values of `width` bits (as format.h
  // packs them) at `offset` in *buffer, keeping `buffer` alive.
  // REQUIRES: the bytes are there.
  void AssignPacked(std::shared_ptr<const std::string> buffer, size_t offset, int width,
                    bool bigEndian, size_t rows);

  // Fills *out (see cells.h) when the values can be read in place as 'I'
  // values, or as 'F' values for `isFloat`; else leaves it as it is.
  void Describe(bool isFloat, detail::CellColumn* out) const;

  // Changes. REQUIRES: positions inside (or, for Insert, at the end of) the values.
  void Set(size_t i, int32_t value);
  void Insert(size_t pos, size_t count);  // zeros
  void Erase(size_t pos, size_t count);
  void AssignZeros(size_t count);

 private:
  void Unpack();

  bool packed_ = false;
  std::shared_ptr<const std::string> buffer_;
  const uint8_t* data_ = nullptr;
  int width_ = 0;
  bool big_ = false;
  size_t rows_ = 0;
  std::vector<int32_t> values_;
};

}  // namespace mk
