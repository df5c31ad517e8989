#include "engine/BandDesign.h"

#include <cmath>
#include <initializer_list>

#include "engine/PortableMath.h"

namespace lumo::engine {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// ln 2, computed once when the module is loaded.
const double gLn2 = std::log(2.0);

// The C library's functions: the float design, as it has always been computed.
struct LibraryMath {
    static double Ln2() { return gLn2; }
    static double PowerOf2(double y) { return std::pow(2.0, y); }
    static double PowerOf10(double y) { return std::pow(10.0, y); }
    static double Sin(double x) { return std::sin(x); }
    static double Cos(double x) { return std::cos(x); }
    static double Sinh(double x) { return std::sinh(x); }
};

// The same functions with the same bits on every platform (PortableMath.h): the double design and
// the check of the float design.
struct PortableMath {
    static double Ln2() { return portable::kLn2; }
    static double PowerOf2(double y) { return portable::Exp(y * portable::kLn2); }
    static double PowerOf10(double y) { return portable::Exp(y * portable::kLn10); }
    static double Sin(double x) { return portable::Sin(x); }
    static double Cos(double x) { return portable::Cos(x); }
    static double Sinh(double x) { return portable::Sinh(x); }
};

// A band's design before any rounding: its centre in radians per sample, the bandwidth term,
// the square root of the linear gain and cos(w0).
struct PeakingTerms {
    double w0, alpha, amplitude, cs;
};

// False for a centre at or above half the sample rate, which cannot be realised.
template <class Math>
bool PeakingTermsOf(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                    double bandwidthOctaves, PeakingTerms& terms) {
    const double p = Math::PowerOf2(static_cast<double>(band - layout.oneKilohertzBand) *
                                    layout.spacingOctaves);
    const double fs = static_cast<double>(sampleRateHz);
    if (!(p * 1000.0 * 2.0 < fs)) return false;

    terms.w0 = p * 1000.0 * kTwoPi / fs;
    // The bandwidth term uses an angle narrowed by a factor that falls as the bandwidth grows.
    const double wc = (0.9883 - bandwidthOctaves * 0.1151) * terms.w0;
    const double x = (wc / Math::Sin(wc)) * bandwidthOctaves * (Math::Ln2() * 0.5);
    const double q = 0.5 / Math::Sinh(x);
    terms.alpha = Math::Sin(terms.w0) / (2.0 * q);
    terms.amplitude = std::sqrt(Math::PowerOf10(gainDb * 0.05));
    terms.cs = Math::Cos(terms.w0);
    return true;
}

// Each coefficient is first rounded to float, then divided by the float a0 in double and
// rounded to float again.
BiquadCoefficients FloatSet(const PeakingTerms& t) {
    const double r = 1.0 / static_cast<double>(static_cast<float>(1.0 + t.alpha / t.amplitude));
    auto normalised = [r](double coefficient) {
        return static_cast<float>(static_cast<double>(static_cast<float>(coefficient)) * r);
    };
    BiquadCoefficients section;
    section.b0 = normalised(1.0 + t.alpha * t.amplitude);
    section.b1 = normalised(-2.0 * t.cs);
    section.b2 = normalised(1.0 - t.alpha * t.amplitude);
    section.a1 = normalised(-2.0 * t.cs);
    section.a2 = normalised(1.0 - t.alpha / t.amplitude);
    return section;
}

// The same steps with no rounding to float.
WideBiquadCoefficients DoubleSet(const PeakingTerms& t) {
    const double r = 1.0 / (1.0 + t.alpha / t.amplitude);
    WideBiquadCoefficients section;
    section.b0 = (1.0 + t.alpha * t.amplitude) * r;
    section.b1 = (-2.0 * t.cs) * r;
    section.b2 = (1.0 - t.alpha * t.amplitude) * r;
    section.a1 = (-2.0 * t.cs) * r;
    section.a2 = (1.0 - t.alpha / t.amplitude) * r;
    return section;
}

WideBiquadCoefficients Widened(const BiquadCoefficients& c) { return {c.b0, c.b1, c.b2, c.a1, c.a2}; }

// Finite, and both poles strictly inside the unit circle: |a2| < 1 and |a1| < 1 + a2. (For a
// widened float set the sum is exact.)
bool PolesInsideUnitCircle(const WideBiquadCoefficients& c) {
    for (double value : {c.b0, c.b1, c.b2, c.a1, c.a2})
        if (!std::isfinite(value)) return false;
    return std::fabs(c.a2) < 1.0 && std::fabs(c.a1) < 1.0 + c.a2;
}

// |H(e^jw)|^2 in double. With phi = sin^2(w/2), |b0 + b1 z^-1 + b2 z^-2|^2 on the unit circle
// is (b0 + b1 + b2)^2 - 4 phi (b0 b1 + b1 b2 + 4 b0 b2) + 16 phi^2 b0 b2, and likewise for the
// denominator; unlike cos(w), phi keeps its precision near 0 Hz.
double SquaredMagnitude(const WideBiquadCoefficients& c, double w) {
    const double s = portable::Sin(0.5 * w);
    const double phi = s * s;
    auto squared = [phi](double c0, double c1, double c2) {
        const double sum = c0 + c1 + c2;
        return sum * sum - 4.0 * phi * (c0 * c1 + c1 * c2 + 4.0 * c0 * c2) + 16.0 * phi * phi * c0 * c2;
    };
    return squared(c.b0, c.b1, c.b2) / squared(1.0, c.a1, c.a2);
}

// |10 log10(powerRatio)| <= toleranceDb, compared as powers (false for NaN).
bool WithinDb(double powerRatio, double toleranceDb) {
    const double bound = portable::Exp(toleranceDb * 0.1 * portable::kLn10);
    return powerRatio >= 1.0 / bound && powerRatio <= bound;
}

}  // namespace

BiquadCoefficients DesignPeakingBand(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                                     double bandwidthOctaves) {
    PeakingTerms terms;
    // A centre at or above half the sample rate: the band passes audio unchanged.
    if (!PeakingTermsOf<LibraryMath>(layout, band, sampleRateHz, gainDb, bandwidthOctaves, terms))
        return {};
    const BiquadCoefficients section = FloatSet(terms);
    // Close to 0 Hz or to half the sample rate the float coefficients can round onto or past the
    // unit circle; such a band is left flat rather than run unstable.
    if (!PolesInsideUnitCircle(Widened(section))) return {};
    return section;
}

// The rule. For a low centre at a high sample rate, or a narrow bandwidth, 1 - cos(w0) comes near
// float's resolution, and rounding the coefficients to float moves the poles and zeros: a boost
// shrinks, turns into a cut, or its poles land on the unit circle. So the float set is checked,
// in double, against what the design promises:
//   - its poles pass the stability test above,
//   - |H| at the centre w0 is within 0.5 dB of gainDb,
//   - |H| at 0 Hz is within 0.2 dB of 0 dB.
// A float set that passes runs as it is: the same coefficients, the same float kernels, the same
// bits. One that fails runs in double: the same steps without the roundings to float (the six
// raw values, r = 1 / (1 + alpha / A), each raw value times r) and the same recurrence in
// doubles. Only a double set that is not finite or not stable leaves the band flat (identity).
// The check and the double set take their sines, cosines and powers from PortableMath.h, so that
// the choice and the double coefficients are the same bits on every platform.
BandDesign DesignBandToRun(const BandLayout& layout, int band, int sampleRateHz, double gainDb,
                           double bandwidthOctaves) {
    BandDesign design;
    PeakingTerms terms, portableTerms;
    if (!PeakingTermsOf<LibraryMath>(layout, band, sampleRateHz, gainDb, bandwidthOctaves, terms) ||
        !PeakingTermsOf<PortableMath>(layout, band, sampleRateHz, gainDb, bandwidthOctaves,
                                      portableTerms))
        return design;

    const BiquadCoefficients single = FloatSet(terms);
    const WideBiquadCoefficients singleWidened = Widened(single);
    if (PolesInsideUnitCircle(singleWidened)) {
        design.single = single;
        design.wide = singleWidened;
        const double gainPower = portable::Exp(gainDb * 0.1 * portable::kLn10);
        if (WithinDb(SquaredMagnitude(singleWidened, portableTerms.w0) / gainPower, 0.5) &&
            WithinDb(SquaredMagnitude(singleWidened, 0.0), 0.2))
            return design;
    }

    const WideBiquadCoefficients wide = DoubleSet(portableTerms);
    if (!PolesInsideUnitCircle(wide)) return BandDesign{};
    design.runsInDouble = true;
    design.wide = wide;
    return design;
}

}  // namespace lumo::engine
