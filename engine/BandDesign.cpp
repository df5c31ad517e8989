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
bool PolesInsideUnitCircle(const Biquad& section) {
    for (float c : {section.b[0], section.b[1], section.b[2], section.a[1], section.a[2]})
        if (!std::isfinite(c)) return false;
    const double a1 = section.a[1];
    const double a2 = section.a[2];
    return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

}  // namespace

Biquad DesignPeakingBand(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                         double bandwidthOctaves) {
    const double p = std::pow(2.0, static_cast<double>(band - layout.oneKilohertzBand) *
                                       layout.spacingOctaves);
    const double fs = static_cast<double>(sampleRateHz);
    // A centre at or above half the sample rate cannot be realised: the band passes audio
    // unchanged.
    if (!(p * 1000.0 * 2.0 < fs)) return Biquad{};

    const double w0 = p * 1000.0 * kTwoPi / fs;
    // The bandwidth term uses an angle narrowed by a factor that falls as the bandwidth grows.
    const double wc = (0.9883 - bandwidthOctaves * 0.1151) * w0;
    const double x = (wc / std::sin(wc)) * bandwidthOctaves * (gLn2 * 0.5);
    const double q = 0.5 / std::sinh(x);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double amplitude = std::sqrt(std::pow(10.0, gainDb * 0.05));
    const double cs = std::cos(w0);

    Biquad section;
    section.b[0] = static_cast<float>(1.0 + alpha * amplitude);
    section.b[1] = static_cast<float>(-2.0 * cs);
    section.b[2] = static_cast<float>(1.0 - alpha * amplitude);
    section.a[0] = static_cast<float>(1.0 + alpha / amplitude);
    section.a[1] = static_cast<float>(-2.0 * cs);
    section.a[2] = static_cast<float>(1.0 - alpha / amplitude);
    section.Normalize();

    // Close to 0 Hz or to half the sample rate the float coefficients can round onto or past the
    // unit circle; such a band is left flat rather than run unstable.
    if (!PolesInsideUnitCircle(section)) return Biquad{};
    return section;
}

}  // namespace lumo::engine
