#include "scaling/log_segmenter.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace scaling {

void SpreadOverSegments(int buttValue, int topValue, int count, std::vector<int>* buttEnds,
                        std::vector<int>* topEnds) {
  const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  buttEnds->assign(n, 0);
  topEnds->assign(n, 0);
  if (n == 0) return;
  (*buttEnds)[0] = buttValue;
  (*topEnds)[n - 1] = topValue;
  // 64 bits: the difference of two damaged values may not fit an int.
  int64_t remaining = std::llabs(static_cast<int64_t>(buttValue) - topValue);
  const int64_t sign = buttValue >= topValue ? 1 : -1;
  for (size_t i = n - 1; i >= 1; --i) {
    const int64_t parts = static_cast<int64_t>(i) + 1;
    const int64_t share = (remaining + parts - 1) / parts;
    remaining -= share;
    (*buttEnds)[i] = static_cast<int>((*topEnds)[i] + sign * share);
    (*topEnds)[i - 1] = (*buttEnds)[i];
  }
}

int LogSegmenter::SetLog(int length, int diameterA, int diameterB) {
  length_ = length;
  count_ = -1;
  status_ = kEnough;
  lengths_.clear();
  smallEnds_.clear();
  largeEnds_.clear();
  if (diameterA > diameterB && diameterB != 0) {
    small_ = diameterB;
    large_ = diameterA;
    return 1;
  }
  small_ = diameterA;
  large_ = diameterB;
  return 0;
}

void LogSegmenter::SetScaleSystem(std::string_view scaleSystem) {
  scaleSystem_ = scaleSystem.empty()
                     ? ' '
                     : static_cast<char>(std::toupper(static_cast<unsigned char>(scaleSystem[0])));
}

int LogSegmenter::CheckMeasurements() {
  status_ = kEnough;
  if (small_ < 1) status_ = kNoSmallDiameter;
  if (length_ < 1 || length_ > kMaxLogLength) status_ = kNoLength;
  if (large_ < 1 && (scaleSystem_ == 'C' || length_ > kMaxSegmentLength)) {
    status_ = kNoLargeDiameter;
  }
  return status_;
}

int LogSegmenter::ComputeLengths() {
  const int len = length_;
  int n = 0;
  if (len >= 1 && len <= kMaxLogLength) {
    n = len / kMaxSegmentLength + (len % kMaxSegmentLength > 0 ? 1 : 0);
  }
  count_ = n;
  smallEnds_.assign(n, 0);
  largeEnds_.assign(n, 0);
  if (n == 0) {
    lengths_.clear();
    return 0;
  }
  const int q = len / n;
  lengths_.assign(n, q);
  // Odd lengths are evened out in outer pairs; a middle segment stays odd.
  if (q % 2 == 1) {
    for (int i = 0; i < n - 1 - i; ++i) {
      ++lengths_[i];
      --lengths_[n - 1 - i];
    }
  }
  PlaceRemainder(len - n * q);
  return n;
}

void LogSegmenter::PlaceRemainder(int remainder) {
  const int n = count_;
  int r = remainder;
  if (r <= 0) return;
  if (n % 2 == 1) {
    for (int i = 0; i < n && r > 0; ++i) {
      if (lengths_[i] % 2 != 0) {
        ++lengths_[i];
        --r;
      }
    }
  }
  for (int i = 0; i < n && r > 0; ++i) {
    if (lengths_[i] >= kMaxSegmentLength) continue;
    const int k = r >= 2 ? 2 : 1;
    // For the last segment the first test always holds, so i + 1 stays in range.
    if (lengths_[i] == lengths_[n - 1]) {
      lengths_[i] += k;
    } else if (lengths_[i] > lengths_[i + 1]) {
      lengths_[i + 1] += k;
    } else {
      continue;
    }
    r -= k;
  }
}

int LogSegmenter::ComputeDiameters() {
  if (count_ < 0) ComputeLengths();
  if (small_ < 1) return -1;
  const int n = count_;
  if (n == 0) return 0;
  if (n == 1) {
    smallEnds_[0] = small_;
    largeEnds_[0] = large_;
  } else if (large_ < 1) {
    smallEnds_.assign(n, 0);
    largeEnds_.assign(n, 0);
    smallEnds_[n - 1] = small_;
  } else {
    SpreadOverSegments(large_, small_, n, &largeEnds_, &smallEnds_);
  }
  return 0;
}

}  // namespace scaling
