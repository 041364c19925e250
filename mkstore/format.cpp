#include "mkstore/format.h"

#include <algorithm>
#include <cstring>

namespace mk::format {

void PutVarint(std::string* out, int64_t value) {
  uint64_t v = static_cast<uint64_t>(value);
  if (value < 0) {
    out->push_back('\0');
    v = static_cast<uint64_t>(~value);
  }
  int shift = 0;
  while (shift + 7 < 64 && (v >> (shift + 7)) != 0) shift += 7;
  for (; shift > 0; shift -= 7) out->push_back(static_cast<char>((v >> shift) & 0x7F));
  out->push_back(static_cast<char>((v & 0x7F) | 0x80));
}

bool VarintReader::Read(int64_t* value) {
  if (pos_ >= bytes_.size()) return Fail();
  const bool negative = static_cast<uint8_t>(bytes_[pos_]) == 0;
  uint64_t acc = 0;
  for (int n = 0;; ++n) {
    // A positive value takes at most 5 bytes, a negative one 6.
    if (pos_ >= bytes_.size() || n >= 6) return Fail();
    const uint8_t b = static_cast<uint8_t>(bytes_[pos_++]);
    acc = (acc << 7) | (b & 0x7F);
    if (b & 0x80) break;
  }
  if (acc > 0x7FFFFFFFu) return Fail();
  *value = negative ? ~static_cast<int64_t>(acc) : static_cast<int64_t>(acc);
  return true;
}

bool VarintReader::Fail() {
  pos_ = bytes_.size() + 1;
  return false;
}

bool VarintReader::ReadBytes(size_t n, std::string_view* out) {
  if (pos_ > bytes_.size() || bytes_.size() - pos_ < n) return Fail();
  *out = bytes_.substr(pos_, n);
  pos_ += n;
  return true;
}

namespace {

// The reader's width table of small integer columns (FORMAT.md, Integer
// columns) for N <= 7 and S <= 6; 0 marks "never written".
constexpr int8_t kSmallWidths[7][6] = {
    {8, 16, 1, 32, 2, 4}, {4, 8, 1, 16, 2, 0}, {2, 4, 8, 1, 0, 16}, {2, 4, 0, 8, 1, 0},
    {1, 2, 4, 0, 8, 0},   {1, 2, 4, 0, 0, 8},  {1, 2, 0, 4, 0, 0},
};

// The writer's odd sizes of small integer columns for N <= 4 and W of 1, 2, 4.
constexpr int8_t kSmallSizes[3][4] = {{3, 3, 4, 5}, {5, 5, 1, 1}, {6, 1, 2, 2}};

}  // namespace

int WidthFromSize(int64_t rows, int64_t size, int maxWidth) {
  if (size == 0) return 0;
  int width;
  if (rows <= 7 && size <= 6) {
    width = kSmallWidths[rows - 1][size - 1];
    if (width == 0) return -1;
  } else {
    const int64_t w = size * 8 / rows;
    if (w != 1 && w != 2 && w != 4 && w != 8 && w != 16 && w != 32 && w != 64) return -1;
    width = static_cast<int>(w);
  }
  return width <= maxWidth ? width : -1;
}

int64_t SizeForWidth(int64_t rows, int width) {
  if (rows >= 1 && rows <= 4 && width >= 1 && width <= 4) {
    const int wi = width == 1 ? 0 : width == 2 ? 1 : 2;
    return kSmallSizes[wi][rows - 1];
  }
  return (rows * width + 7) / 8;
}

int WidthNeeded(int32_t value) {
  if (value == 0) return 0;
  if (value == 1) return 1;
  if (value >= 2 && value <= 3) return 2;
  if (value >= 4 && value <= 15) return 4;
  if (value >= -128 && value <= 127) return 8;
  if (value >= -32768 && value <= 32767) return 16;
  return 32;
}

namespace {

// GetAllPacked for widths below 8: whole bytes at a time, with the shifts
// known at compile time.
template <int W>
void GetAllSmall(const uint8_t* data, int64_t rows, int32_t* out) {
  constexpr int kPerByte = 8 / W;
  constexpr int kMask = (1 << W) - 1;
  const int64_t whole = rows / kPerByte;
  for (int64_t b = 0; b < whole; ++b) {
    const uint8_t byte = data[b];
    for (int k = 0; k < kPerByte; ++k) out[b * kPerByte + k] = (byte >> (k * W)) & kMask;
  }
  for (int64_t r = whole * kPerByte; r < rows; ++r)
    out[r] = (data[r / kPerByte] >> ((r % kPerByte) * W)) & kMask;
}

}  // namespace

void GetAllPacked(const uint8_t* data, int width, bool bigEndian, int64_t rows, int32_t* out) {
  // One loop per width: this is the hot path of opening a large file.
  switch (width) {
    case 0:
      std::fill(out, out + rows, 0);
      return;
    case 8:
      for (int64_t r = 0; r < rows; ++r) out[r] = static_cast<int8_t>(data[r]);
      return;
    case 16:
      for (int64_t r = 0; r < rows; ++r)
        out[r] = static_cast<int16_t>(LoadBytes(data + r * 2, 2, bigEndian));
      return;
    case 32:
      for (int64_t r = 0; r < rows; ++r)
        out[r] = static_cast<int32_t>(LoadBytes(data + r * 4, 4, bigEndian));
      return;
    case 1:
      return GetAllSmall<1>(data, rows, out);
    case 2:
      return GetAllSmall<2>(data, rows, out);
    default:
      return GetAllSmall<4>(data, rows, out);
  }
}

void PutPacked(std::string* out, int width, bool bigEndian, int64_t row, int64_t value) {
  if (width == 0) return;
  const size_t need = static_cast<size_t>((row + 1) * width + 7) / 8;
  if (out->size() < need) out->resize(need, '\0');
  if (width < 8) {
    const int64_t bit = row * width;
    auto& byte = reinterpret_cast<uint8_t&>((*out)[bit / 8]);
    const int mask = ((1 << width) - 1) << (bit % 8);
    byte = static_cast<uint8_t>((byte & ~mask) | ((value << (bit % 8)) & mask));
    return;
  }
  const int n = width / 8;
  const uint64_t v = static_cast<uint64_t>(value);
  for (int i = 0; i < n; ++i) {
    const int shift = bigEndian ? 8 * (n - 1 - i) : 8 * i;
    (*out)[row * n + i] = static_cast<char>((v >> shift) & 0xFF);
  }
}

uint32_t GetBig32(const uint8_t* p) { return static_cast<uint32_t>(LoadBytes(p, 4, true)); }

void PutBig32(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace mk::format
