// A machine driven the way the host drives it, for the response graph tests: fake host callbacks
// with a title and an owner window, saved-state bytes in and out, and the curve the painter
// should see computed independently in double precision.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/RawParameters.h"
#include "graph/ResponseCurve.h"
#include "product/Parameters.h"
#include "shell/ParameterTable.h"
#include "tests/support/FakeHost.h"

namespace lumo::graphtest {

using product::kBandwidthParameter;
using product::kFirstBandParameter;
using product::kRangeParameter;

using engine::CoefficientSnapshot;
using graph::Curve;
using graph::CurvePoint;
using graph::kCurvePointCount;
using host::SavedStateReader;
using host::SavedStateWriter;
using test::FakeHost;

constexpr double kPi = 3.14159265358979323846;
constexpr int kNoValue = abi::kNoValue;
constexpr int kSliderCentre = engine::kSliderCentre;
inline const int kBandCount = test::BandCount();
inline const int kOneKhz = test::OneKilohertzBand();
inline const int kDefaultBandwidth = ThisDeliverable().defaultBandwidthTwelfths;

// The 10 saved bytes for a geometry and open flag.
inline std::vector<unsigned char> SavedState(int x, int y, int width, int height, int open) {
    std::vector<unsigned char> bytes = {1};
    for (int value : {x, y, width, height}) {
        const auto low16 = static_cast<uint16_t>(value);
        bytes.push_back(static_cast<unsigned char>(low16 & 0xFF));
        bytes.push_back(static_cast<unsigned char>(low16 >> 8));
    }
    bytes.push_back(static_cast<unsigned char>(open));
    return bytes;
}

struct GraphHarness {
    explicit GraphHarness(int sampleRateHz = 44100) : info{120, 4, sampleRateHz} {}

    // Creates the machine and initialises it, from saved bytes when given.
    EqualiserMachine& Create(const std::vector<unsigned char>* saved = nullptr) {
        machine = test::NewMachine();
        machine->hostInfo = &info;
        machine->callbacks = host.Callbacks();
        if (saved != nullptr) {
            SavedStateReader reader(*saved);
            machine->Initialise(&reader);
        } else {
            machine->Initialise(nullptr);
        }
        return *machine;
    }

    graph::GraphView& Graph() { return machine->Graph(); }
    HWND Window() { return machine->Graph().Window(); }

    // Writes one byte per parameter (kNoValue for "no new value") and applies them.
    void Apply(int range, int bandwidth, const std::vector<int>& sliders) {
        machine->parameterBlock[kRangeParameter] = static_cast<unsigned char>(range);
        machine->parameterBlock[kBandwidthParameter] = static_cast<unsigned char>(bandwidth);
        for (int band = 0; band < kBandCount; ++band)
            machine->parameterBlock[kFirstBandParameter + band] =
                static_cast<unsigned char>(sliders[band]);
        machine->ApplyParameters();
    }
    void ApplyAll(int range, int bandwidth, int slider) {
        Apply(range, bandwidth, std::vector<int>(kBandCount, slider));
    }
    void ApplyNothingNew() { ApplyAll(kNoValue, kNoValue, kNoValue); }

    // The coefficients the engine last published (this thread reads them).
    const CoefficientSnapshot& Coefficients() { return machine->Engine().Coefficients(); }

    std::vector<unsigned char> Save() {
        SavedStateWriter writer;
        machine->SaveState(&writer);
        return writer.Take();
    }

    abi::HostInfo info;
    FakeHost host;
    test::MachinePointer machine;
};

// The combined response of the machine's stored coefficients in decibels divided by 30, computed
// in double with complex arithmetic at the point the curve samples for angle w (radians per
// sample): cos w and sin w rounded to float. Near
// 20 Hz the poles sit so close to the unit circle that this rounding alone moves the response by
// tenths of a decibel.
inline double ReferenceResponse(const CoefficientSnapshot& bands, double w) {
    const std::complex<double> z(double(float(std::cos(w))), -double(float(std::sin(w))));
    std::complex<double> product = 1.0;
    for (int band = 0; band < bands.bandCount; ++band) {
        const engine::BiquadCoefficients& q = bands.bands[band];
        // Numerator and denominator times z, with conj(z) for 1/z as the sampled point lies only
        // nearly on the unit circle.
        const std::complex<double> numerator =
            double(q.b0) * z + double(q.b1) + double(q.b2) * std::conj(z);
        const std::complex<double> denominator =
            z + double(q.a1) + double(q.a2) * std::conj(z);
        product *= numerator / denominator;
    }
    return 10.0 * std::log10(std::norm(product)) / 30.0;
}

// How far float arithmetic may take the curve's y from ReferenceResponse: a few
// roundings of each term of every band's numerator and denominator, relative to the value they
// cancel down to (narrow low bands cancel 2 - 2 cos w down to almost nothing).
inline double FloatRoundingBound(const CoefficientSnapshot& bands, double w) {
    const double c = std::abs(double(float(std::cos(w)))), s = std::abs(double(float(std::sin(w))));
    const double z = std::cos(w), zs = std::sin(w);
    const double epsilon = 1.2e-7;
    double relative = 0.0;
    for (int band = 0; band < bands.bandCount; ++band) {
        const engine::BiquadCoefficients& q = bands.bands[band];
        const double b0 = q.b0, b1 = q.b1, b2 = q.b2, a1 = q.a1, a2 = q.a2;
        const double numerator = std::hypot(b1 + (b0 + b2) * z, (b2 - b0) * zs);
        const double denominator = std::hypot(a1 + (1.0 + a2) * z, (a2 - 1.0) * zs);
        const double numeratorTerms = std::abs(b1) + (std::abs(b0) + std::abs(b2)) * (c + s);
        const double denominatorTerms = std::abs(a1) + (1.0 + std::abs(a2)) * (c + s);
        relative += 8.0 * epsilon * (numeratorTerms / numerator + denominatorTerms / denominator);
    }
    return 1e-5 + 10.0 / std::log(10.0) / 30.0 * relative;
}

// Frequency of curve point i of n: 20 Hz to 20 kHz on a logarithmic axis.
inline double PointHz(int i, int n) { return 20.0 * std::pow(1000.0, double(i) / (n - 1)); }

inline double CentreHz(int band) {
    return 1000.0 * std::pow(2.0, (band - kOneKhz) * ThisDeliverable().layout.spacingOctaves);
}

}  // namespace lumo::graphtest
