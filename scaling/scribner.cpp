#include "scaling/scribner.h"

#include <algorithm>

#include "scaling/volume_math.h"

namespace scaling {
namespace {

// Board feet per foot of length, indexed by diameter 0..99.
constexpr float kMainFactors[kMaxScribnerDiameter + 1] = {
    0,       0,       0.143,   0.39,    0.676,   1.07,    1.16,    1.4,     1.501,   2.084,
    3.126,   3.749,   4.9,     6.043,   7.14,    8.88,    10,      11.528,  13.29,   14.99,
    17.499,  18.99,   20.88,   23.51,   25.218,  28.677,  31.249,  34.22,   36.376,  38.04,
    41.06,   44.376,  45.975,  48.99,   50,      54.688,  57.66,   64.319,  66.73,   70,
    75.24,   79.48,   83.91,   87.19,   92.501,  94.99,   99.075,  103.501, 107.97,  112.292,
    116.99,  121.65,  126.525, 131.51,  136.51,  141.61,  146.912, 152.21,  157.71,  163.288,
    168.99,  174.85,  180.749, 186.623, 193.17,  199.12,  205.685, 211.81,  218.501, 225.685,
    232.499, 239.317, 246.615, 254.04,  261.525, 269.04,  276.63,  284.26,  292.501, 300.655,
    308.97,  317.36,  325.79,  334.217, 343.29,  350.785, 359.12,  368.38,  376.61,  385.135,
    393.38,  402.499, 410.834, 419.166, 428.38,  437.499, 446.565, 455.01,  464.15,  473.43,
};

// Long-log factors for diameters 6..11: lengths 16 to 31, then 32 to 40.
constexpr int kLongLogMinDiameter = 6;
constexpr int kLongLogMaxDiameter = 11;
constexpr float kLongLogFactors16To31[] = {1.249, 1.608, 1.854, 2.41, 3.542, 4.167};
constexpr float kLongLogFactors32To40[] = {1.57, 1.8, 2.2, 2.9, 3.815, 4.499};

// (L*1000 + D)*10 + s; s = 0 minus ten, s = 1 plus ten. Ascending.
constexpr int32_t kExceptions[] = {
    // L = 4
    40420,
    40460,
    40510,
    40520,
    40530,
    40540,
    40550,
    40600,
    40630,
    40650,
    40720,
    40730,
    40740,
    40750,
    40760,
    40800,
    40860,
    40880,
    40930,
    40960,
    40980,
    // L = 5
    50100,
    50191,
    50211,
    50410,
    50430,
    50460,
    50590,
    50640,
    50650,
    50740,
    50750,
    50810,
    50840,
    50860,
    50890,
    50900,
    50930,
    50950,
    50970,
    50990,
    // L = 6
    60201,
    60211,
    60821,
    60920,
    // L = 7
    70091,
    70110,
    70611,
    70710,
    70791,
    // L = 8
    80241,
    80291,
    80381,
    80640,
    80660,
    80671,
    80690,
    80711,
    80771,
    80790,
    80831,
    // L = 9
    90291,
    90431,
    90511,
    90611,
    90741,
    // L = 10
    100091,
    100230,
    100711,
    100740,
    100771,
    100831,
    100960,
    // L = 11
    110091,
    110250,
    110581,
    110611,
    110641,
    110731,
    // L = 12
    120100,
    // L = 13
    130060,
    130470,
    130521,
    130611,
    130661,
    130691,
    130770,
    130990,
    // L = 14
    140060,
    140440,
    140800,
    // L = 15
    150060,
    150280,
    150451,
    150511,
    150611,
    150741,
    150801,
    // L = 17
    170461,
    170611,
    170641,
    170751,
    170801,
    // L = 18
    180440,
    180701,
    180710,
    180770,
    180811,
    180830,
    180911,
    180931,
    180951,
    180981,
    // L = 19
    190080,
    190090,
    190100,
    190121,
    190131,
    190181,
    190190,
    190230,
    190250,
    // L = 20
    200080,
    200090,
    200621,
    200641,
    200661,
    200670,
    200691,
    200710,
    200770,
    200791,
};

int ClampDiameter(int diameter) { return std::clamp(diameter, 0, kMaxScribnerDiameter); }

}  // namespace

float ScribnerFactor(int diameter, int length) {
  const int d = ClampDiameter(diameter);
  if (d >= kLongLogMinDiameter && d <= kLongLogMaxDiameter) {
    if (length >= 16 && length <= 31) return kLongLogFactors16To31[d - kLongLogMinDiameter];
    if (length >= 32 && length <= 40) return kLongLogFactors32To40[d - kLongLogMinDiameter];
  }
  return kMainFactors[d];
}

int ScribnerCorrection(int length, int diameter) {
  // Only lengths 4..20 are listed; the guard also keeps the key from overflowing.
  if (length < 4 || length > 20) return 0;
  const int32_t key = length * 1000 + ClampDiameter(diameter);
  int lo = 0;
  int hi = static_cast<int>(std::size(kExceptions)) - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int32_t midKey = kExceptions[mid] / 10;
    if (midKey == key) return kExceptions[mid] % 10 == 1 ? 10 : -10;
    if (midKey < key) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return 0;
}

std::span<const int32_t> ScribnerExceptions() { return kExceptions; }

int Scribner(int diameter, int length) {
  const int len = std::max(length, 0);
  float v = ScribnerFactor(diameter, len) * static_cast<float>(len);
  v += static_cast<float>(ScribnerCorrection(len, diameter));
  const int tens = TruncToInt(v * 0.1 + 0.5);
  // Saturated lengths must not overflow the final multiplication.
  return tens > 200000000 ? 2000000000 : tens * 10;
}

}  // namespace scaling
