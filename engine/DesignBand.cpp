// Peaking (bell) biquad design for one band, in double precision; the six coefficients are
// stored as floats and normalised so that a0 is 1.
#include <cmath>
#include <initializer_list>

#include "shell/EqualiserMachine.h"

namespace lumo {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// True when the stored (float) denominator has both poles strictly inside the unit circle:
// |a2| < 1 and |a1| < 1 + a2. Sums of two floats are exact in double.
bool PolesInsideUnitCircle(const Biquad& section) {
    const double a1 = section.a[1];
    const double a2 = section.a[2];
    for (float c : {section.b[0], section.b[1], section.b[2], section.a[1], section.a[2]})
        if (!std::isfinite(c)) return false;
    return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

void MakeIdentity(Biquad& section) {
    section.b[0] = 1.0f;
    section.b[1] = 0.0f;
    section.b[2] = 0.0f;
    section.a[0] = 1.0f;
    section.a[1] = 0.0f;
    section.a[2] = 0.0f;
}

}  // namespace

void EqualiserMachine::DesignBand(int band) {
    Biquad& section = bandFilters[band].left;

    const double p = std::pow(2.0, static_cast<double>(band - layout::kOneKilohertzBand) *
                                       layout::kBandSpacingOctaves);
    const double sampleRateHz = static_cast<double>(SampleRateHz());
    const double centreHz = p * 1000.0;

    // A centre at or above half the sample rate cannot be realised: the band passes audio
    // unchanged (and ApplyActivityRule puts it to sleep).
    if (!(centreHz * 2.0 < sampleRateHz)) {
        MakeIdentity(section);
        return;
    }

    const double w0 = p * 1000.0 * kTwoPi / sampleRateHz;
    const double gainDb = gainScale.Value(bandSlider[band]);
    const double bandwidthOct = bandwidthOctaves;
    // The bandwidth term uses an angle narrowed by a factor that falls as the bandwidth grows.
    const double wc = (0.9883 - bandwidthOct * 0.1151) * w0;
    const double x = (wc / std::sin(wc)) * bandwidthOct * (gLn2 * 0.5);
    const double q = 0.5 / std::sinh(x);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double amplitude = std::sqrt(std::pow(10.0, gainDb * 0.05));
    const double cs = std::cos(w0);

    section.b[0] = static_cast<float>(1.0 + alpha * amplitude);
    section.b[1] = static_cast<float>(-2.0 * cs);
    section.b[2] = static_cast<float>(1.0 - alpha * amplitude);
    section.a[0] = static_cast<float>(1.0 + alpha / amplitude);
    section.a[1] = static_cast<float>(-2.0 * cs);
    section.a[2] = static_cast<float>(1.0 - alpha / amplitude);
    section.Normalize();

    // Close to 0 Hz or to half the sample rate the float coefficients can round onto or past
    // the unit circle; such a band is left flat rather than run unstable.
    if (!PolesInsideUnitCircle(section)) MakeIdentity(section);
}

}  // namespace lumo
