// Mt11213Generator: the MT11213A variant of the Mersenne Twister that draws
// the random numbers of 3P sample selection.
//
// The generator is fully determined by its seed, so a test can replay any
// sequence of draws. It keeps 351 words of state and an index into them; the
// whole state is regenerated every 351 draws.
//
// Thread safety: none. One generator serves one data entry screen on the
// user-interface thread.
#pragma once

#include <array>
#include <cstdint>

namespace sampling {

class Mt11213Generator {
 public:
  static constexpr int kStateWords = 351;

  // Seeds the generator with `seed` (see Seed).
  explicit Mt11213Generator(uint32_t seed);

  // Restarts the sequence: for i = 0..350, s = s * 29943829 - 1 (mod 2^32)
  // and state[i] = s. The next draw regenerates the whole state.
  void Seed(uint32_t seed);

  // The next tempered 32-bit value of the sequence.
  uint32_t NextU32();

  // A double in [0, 1) built from the next 32-bit value r: the IEEE double
  // whose high word is 0x3FF00000 | (r >> 12) and whose low word is r << 20,
  // minus 1.0. Consumes one value.
  double NextUniform();

  // min + trunc(NextUniform() * (max - min + 1)), capped at max; consumes one
  // value. When max < min nothing is drawn and the result is INT32_MIN, the
  // marker the 3P callers never produce since they always ask for 0..KZ.
  int32_t NextInRange(int32_t min, int32_t max);

 private:
  void Regenerate();

  std::array<uint32_t, kStateWords> state_{};
  int index_ = kStateWords;
};

}  // namespace sampling
