// The rounding and the cubic formula that every stored or shown volume passes
// through. Volumes are paid on these digits, so the arithmetic below is part of
// the contract: change nothing here without changing every stored volume.
//
// Thread safety: pure functions; safe from any thread.
#pragma once

#include <cstdint>

namespace scaling {

// Rounds `x` to `n` decimals, half away from zero, the way every volume of
// the program is rounded: y = x * 10^(n+1), plus 5 (minus 5 when x < 0), then
// y / 10 split into whole part and fraction; a fraction above 0.999 counts as
// one more whole (this absorbs the binary error of values such as 2.65).
// Returns the result as a float. REQUIRES: 0 <= n <= 6.
float RoundTo(double x, int n);

// Truncates `x` toward zero to an int, saturating at the int range (a NaN
// gives 0). Used wherever a computed value becomes a whole number, so that
// damaged measurements cannot overflow.
int TruncToInt(double x);

// a - b, clamped to the int range (damaged measurements must not overflow).
int ClampedDifference(int a, int b);

// The integer product (d*d + D*D) * L of Smalian's formula, formed in 64-bit
// integers. Measurements are clamped to +/-1,000,000 first, far beyond any
// real log, so that damaged rows cannot overflow.
int64_t SmalianProduct(int smallEnd, int largeEnd, int length);

// Smalian's gross cubic volume of a segment with small-end diameter
// `smallEnd`, large-end diameter `largeEnd` (inches) and length `length`
// (feet): RoundTo((d*d + D*D) * L * 0.002727, 1) cubic feet.
float SmalianCubicFeet(int smallEnd, int largeEnd, int length);

}  // namespace scaling
