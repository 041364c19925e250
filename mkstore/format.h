// Low-level pieces of the Metakit 2.4 file format: varints, adaptive-width
// integer columns, header and tail markers. The byte layout is described in
// FORMAT.md beside this file; the topics named below are its headings. The
// engine writes exactly that layout; it adds no bytes of its own.
//
// These values are stored on disk: never change them.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace mk::format {

inline constexpr uint8_t kMagicLittle0 = 0x4A;  // 'J': column numbers little-endian
inline constexpr uint8_t kMagicBig0 = 0x4C;     // 'L': column numbers big-endian
inline constexpr uint8_t kHeaderValid = 0x1A;   // byte 2 of a valid header
inline constexpr uint8_t kHeaderOldEnd = 0x0A;  // byte 2 of an "old end" marker
inline constexpr uint8_t kTailMarker = 0x80;    // byte 0 of skip and commit tails
inline constexpr int kHeaderSize = 8;
inline constexpr int kTailSize = 8;

// Items longer than this are always stored as separate memo columns (see FORMAT.md, Items).
inline constexpr int64_t kMemoAlways = 10000;
// Items longer than this may become memos, depending on the row count (FORMAT.md, Items).
inline constexpr int64_t kMemoMinimum = 100;
inline constexpr int64_t kMemoBudget = 1000000;

// Appends the varint encoding of `value` (FORMAT.md, Numbers) to *out.
void PutVarint(std::string* out, int64_t value);

// Reads varints from a byte range; every read is bounds-checked.
class VarintReader {
 public:
  explicit VarintReader(std::string_view bytes) : bytes_(bytes) {}
  // Reads one varint into *value. False on end of input or an encoding that
  // does not fit 32 signed bits; the reader then stays failed.
  [[nodiscard]] bool Read(int64_t* value);
  // Reads `n` raw bytes into *out; false when fewer remain.
  [[nodiscard]] bool ReadBytes(size_t n, std::string_view* out);
  bool AtEnd() const { return pos_ == bytes_.size(); }
  size_t position() const { return pos_; }

 private:
  bool Fail();
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Width in bits of an integer column of `rows` rows stored in `size` bytes
// (FORMAT.md, Integer columns: the reader's side), or -1 when Metakit never writes that combination
// or the width would exceed `maxWidth`. REQUIRES: rows > 0, size >= 0.
int WidthFromSize(int64_t rows, int64_t size, int maxWidth);

// Size in bytes of a column of `rows` values at `width` bits, including the
// deliberately odd sizes of very small columns (FORMAT.md, Integer columns).
int64_t SizeForWidth(int64_t rows, int width);

// Bits needed to hold `value` in an adaptive integer column (FORMAT.md,
// Integer columns).
int WidthNeeded(int32_t value);

// The `n`-byte number at p in the given byte order.
// Written so that, with `n` known, the compiler makes it one load (plus a
// byte swap): this is on the per-value read path.
inline uint64_t LoadBytes(const uint8_t* p, int n, bool bigEndian) {
  uint64_t v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, static_cast<size_t>(n));
  } else {
    for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  }
  return bigEndian && n > 0 ? __builtin_bswap64(v) >> (64 - 8 * n) : v;
}

// Value `row` of a column of `width` bits at `data`. Widths 1, 2 and 4 are
// unsigned, 8 and up signed; `bigEndian` applies to 16, 32 and 64 bits.
// REQUIRES: the column holds at least row + 1 values.
inline int64_t GetPacked(const uint8_t* data, int width, bool bigEndian, int64_t row) {
  switch (width) {
    case 0:
      return 0;
    case 1:
    case 2:
    case 4: {
      const int64_t bit = row * width;
      return (data[bit / 8] >> (bit % 8)) & ((1 << width) - 1);
    }
    case 8:
      return static_cast<int8_t>(data[row]);
    case 16:
      return static_cast<int16_t>(LoadBytes(data + row * 2, 2, bigEndian));
    case 32:
      return static_cast<int32_t>(LoadBytes(data + row * 4, 4, bigEndian));
    default:
      return static_cast<int64_t>(LoadBytes(data + row * 8, 8, bigEndian));
  }
}

// All `rows` values of a column of `width` bits (at most 32) into out[0..rows).
// REQUIRES: the column holds at least `rows` values.
void GetAllPacked(const uint8_t* data, int width, bool bigEndian, int64_t rows, int32_t* out);

// Appends `value` (already known to fit) as element `row` of a column of
// `width` bits being built in *out, growing it as needed.
void PutPacked(std::string* out, int width, bool bigEndian, int64_t row, int64_t value);

// Big-endian 32-bit number at p (markers and headers).
uint32_t GetBig32(const uint8_t* p);
void PutBig32(std::string* out, uint32_t value);

}  // namespace mk::format
