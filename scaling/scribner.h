// The Scribner board-foot rule as the program computes it: a factor per foot
// of length for each diameter (with special factors for long small logs), and
// a fixed list of (length, diameter) pairs where the printed rule differs from
// factor * length by ten board feet.
//
// Thread safety: pure functions over constant tables; safe from any thread.
#pragma once

#include <cstdint>
#include <span>

namespace scaling {

// Largest diameter the factor tables cover, inches.
inline constexpr int kMaxScribnerDiameter = 99;

// The factor F (board feet per foot of length) for a diameter and length:
// the long-log factors when 6 <= D <= 11 and 16 <= L <= 40, otherwise the main
// table's. Diameters below 0 are treated as 0 and above 99 as 99.
float ScribnerFactor(int diameter, int length);

// The exception list's correction for (length, diameter): -10, +10 or 0 when
// the pair is not listed. Found by bisection over ScribnerExceptions().
int ScribnerCorrection(int length, int diameter);

// The exception list itself: 132 numbers (L*1000 + D)*10 + s, ascending, with
// s = 0 for "minus 10" and s = 1 for "plus 10". The span refers to static
// storage and lives as long as the program.
std::span<const int32_t> ScribnerExceptions();

// Scribner board feet of a log of diameter `diameter` (inches) and length
// `length` (feet), in whole tens: v = F * L in single precision, corrected by
// the exception list, then trunc(v * 0.1 + 0.5) * 10. Diameters outside 0..99
// are clamped into it; a negative length (a defect longer than what is left of
// a segment) counts as 0 feet and gives 0.
int Scribner(int diameter, int length);

}  // namespace scaling
