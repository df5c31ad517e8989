#include "engine/BandDesign.h"

#include <cmath>
#include <initializer_list>

namespace lumo::engine {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// ln 2, computed once when the module is loaded.
const double gLn2 = std::log(2.0);

// Both poles of the stored (float) denominator strictly inside the unit circle: |a2| < 1 and
// |a1| < 1 + a2. Sums of two floats are exact in double.
bool PolesInsideUnitCircle(const BiquadCoefficients& section) {
    for (float c : {section.b0, section.b1, section.b2, section.a1, section.a2})
        if (!std::isfinite(c)) return false;
    const double a1 = section.a1;
    const double a2 = section.a2;
    return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

}  // namespace

BiquadCoefficients DesignPeakingBand(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                         double bandwidthOctaves) {
    const double p = std::pow(2.0, static_cast<double>(band - layout.oneKilohertzBand) *
                                       layout.spacingOctaves);
    const double fs = static_cast<double>(sampleRateHz);
    // A centre at or above half the sample rate cannot be realised: the band passes audio
    // unchanged.
    if (!(p * 1000.0 * 2.0 < fs)) return BiquadCoefficients{};

    const double w0 = p * 1000.0 * kTwoPi / fs;
    // The bandwidth term uses an angle narrowed by a factor that falls as the bandwidth grows.
    const double wc = (0.9883 - bandwidthOctaves * 0.1151) * w0;
    const double x = (wc / std::sin(wc)) * bandwidthOctaves * (gLn2 * 0.5);
    const double q = 0.5 / std::sinh(x);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double amplitude = std::sqrt(std::pow(10.0, gainDb * 0.05));
    const double cs = std::cos(w0);

    // Each coefficient is first rounded to float, then divided by the float a0 in double and
    // rounded to float again.
    const double r = 1.0 / static_cast<double>(static_cast<float>(1.0 + alpha / amplitude));
    auto normalised = [r](double coefficient) {
        return static_cast<float>(static_cast<double>(static_cast<float>(coefficient)) * r);
    };
    BiquadCoefficients section;
    section.b0 = normalised(1.0 + alpha * amplitude);
    section.b1 = normalised(-2.0 * cs);
    section.b2 = normalised(1.0 - alpha * amplitude);
    section.a1 = normalised(-2.0 * cs);
    section.a2 = normalised(1.0 - alpha / amplitude);

    // Close to 0 Hz or to half the sample rate the float coefficients can round onto or past the
    // unit circle; such a band is left flat rather than run unstable.
    if (!PolesInsideUnitCircle(section)) return BiquadCoefficients{};
    return section;
}

}  // namespace lumo::engine
