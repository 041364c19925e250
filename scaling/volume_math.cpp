#include "scaling/volume_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scaling {
namespace {

constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1e3, 1e4, 1e5, 1e6, 1e7};

// Cubic feet per (square inch * foot) in Smalian's formula.
constexpr double kSmalianFactor = 0.002727;

int64_t ClampMeasure(int v) { return std::clamp<int64_t>(v, -1000000, 1000000); }

}  // namespace

float RoundTo(double x, int n) {
  n = std::clamp(n, 0, 6);
  double y = x * kPowersOfTen[n + 1];
  y += x >= 0 ? 5.0 : -5.0;
  double whole = 0;
  const double fraction = std::modf(y * 0.1, &whole);
  if (fraction + 0.001 > 1.0) whole += 1.0;
  // Damaged measurements can give values past the float range, where the
  // narrowing conversion would be undefined.
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(whole / kPowersOfTen[n], -kMax, kMax));
}

int TruncToInt(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (x <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(x);
}

int ClampedDifference(int a, int b) {
  const int64_t d = static_cast<int64_t>(a) - b;
  return static_cast<int>(
      std::clamp<int64_t>(d, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int64_t SmalianProduct(int smallEnd, int largeEnd, int length) {
  const int64_t d = ClampMeasure(smallEnd);
  const int64_t big = ClampMeasure(largeEnd);
  return (d * d + big * big) * ClampMeasure(length);
}

float SmalianCubicFeet(int smallEnd, int largeEnd, int length) {
  return RoundTo(static_cast<double>(SmalianProduct(smallEnd, largeEnd, length)) * kSmalianFactor,
                 1);
}

}  // namespace scaling
