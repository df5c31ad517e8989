#include "Quantiser.h"

#include <cmath>

namespace lumo::cli {
namespace {

constexpr uint64_t kDitherSeed = 0x9E3779B97F4A7C15u;

// Adding and subtracting 1.5 x 2^52 leaves a double rounded to an integer (to nearest, ties to
// even, the default rounding mode) while |v| < 2^51; the build keeps float arithmetic exact
// (no fast-math, no contraction).
constexpr double kRoundingMagic = 6755399441055744.0;

}  // namespace

Quantiser::Quantiser(int bits, bool dither)
    : scale_(std::ldexp(1.0, bits - 1)),
      lowest_(-scale_),
      highest_(scale_ - 1.0),
      alignment_(bits >= 32 ? 1 : static_cast<int32_t>(1) << (32 - bits)),
      dither_(dither),
      state_(kDitherSeed) {}

// Triangular on (-1, 1): the difference of two uniform values, each 32 bits of one splitmix64
// output.
double Quantiser::NextDither() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    constexpr double kUnit = 1.0 / 4294967296.0;
    return (static_cast<double>(z >> 32) - static_cast<double>(z & 0xFFFFFFFFu)) * kUnit;
}

void Quantiser::Convert(const float* samples, int32_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (samples[i] == 0.0f) {
            out[i] = 0;
            continue;
        }
        double v = samples[i] * scale_;
        if (dither_) v += NextDither();
        double rounded;
        if (v >= lowest_ - 0.5 && v < highest_ + 0.5) {
            rounded = (v + kRoundingMagic) - kRoundingMagic;
        } else {
            rounded = v > 0.0 ? highest_ : v < 0.0 ? lowest_ : 0.0;  // NaN becomes 0
            if (!std::isnan(v)) ++clipped_;
        }
        out[i] = static_cast<int32_t>(rounded) * alignment_;
    }
}

}  // namespace lumo::cli
