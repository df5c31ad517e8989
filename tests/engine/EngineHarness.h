// A machine driven the way the host drives it, with fake host callbacks that record what the
// machine asks of them.
#pragma once

#include <algorithm>
#include <array>
#include <complex>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "engine/RawParameters.h"
#include "product/Parameters.h"
#include "shell/ParameterTable.h"
#include "tests/support/FakeHost.h"

namespace lumo::test {

using product::kBandwidthParameter;
using product::kFirstBandParameter;
using product::kRangeParameter;

using engine::BandActivity;
using engine::BiquadCoefficients;

constexpr double kPi = 3.14159265358979323846;
constexpr int kNoValue = abi::kNoValue;
inline const int kBandCount = BandCount();
inline const int kOneKhz = OneKilohertzBand();
inline const double kSpacingOctaves = ThisDeliverable().layout.spacingOctaves;
inline const int kDefaultBandwidth = ThisDeliverable().defaultBandwidthTwelfths;

struct Harness {
    explicit Harness(int sampleRateHz = 44100) : info{120, 4, sampleRateHz}, machine(NewMachine()) {
        machine->hostInfo = &info;
        machine->callbacks = host.Callbacks();
        machine->Initialise(nullptr);
    }

    engine::Equaliser& Engine() { return machine->Engine(); }
    // A band's coefficients as the engine publishes them.
    const BiquadCoefficients& Coefficients(int band) { return Engine().Coefficients().bands[band]; }

    // Writes one value (or 255) for every parameter and applies them.
    void Apply(int range, int bandwidth, const std::vector<int>& sliders) {
        machine->parameterBlock[kRangeParameter] = static_cast<unsigned char>(range);
        machine->parameterBlock[kBandwidthParameter] = static_cast<unsigned char>(bandwidth);
        for (int band = 0; band < kBandCount; ++band)
            machine->parameterBlock[kFirstBandParameter + band] = static_cast<unsigned char>(sliders[band]);
        machine->ApplyParameters();
    }
    void ApplyAll(int range, int bandwidth, int slider) {
        Apply(range, bandwidth, std::vector<int>(kBandCount, slider));
    }
    // One band's slider, every other byte "no new value".
    void ApplySlider(int band, int slider) {
        std::vector<int> sliders(kBandCount, kNoValue);
        sliders[band] = slider;
        Apply(kNoValue, kNoValue, sliders);
    }

    bool Process(std::vector<float>& frames, int mode = 3) {
        return machine->ProcessAudio(frames.data(), static_cast<int>(frames.size() / 2), mode);
    }

    // What a call may change, band by band: activity, filter state, coefficients.
    std::vector<float> EngineState() {
        std::vector<float> state;
        for (int band = 0; band < kBandCount; ++band) {
            const engine::StereoBiquadState s = Engine().BandState(band);
            const BiquadCoefficients& c = Coefficients(band);
            state.insert(state.end(), {static_cast<float>(Engine().Activity(band)), s.left1,
                                       s.left2, s.right1, s.right2, c.b0, c.b1, c.b2, c.a1, c.a2});
        }
        state.push_back(static_cast<float>(Engine().OutputFramesLeft()));
        return state;
    }

    // The ring-out a flat band has left, found by running it out: the frames of silence, one
    // per call, until the band sleeps.
    int RingOutLeft(int band) {
        std::vector<float> frame(2);
        int frames = 0;
        while (Engine().Activity(band) == BandActivity::RingingOut) {
            frame.assign(2, 0.0f);
            Process(frame);
            ++frames;
        }
        return frames;
    }

    abi::HostInfo info;
    FakeHost host;
    MachinePointer machine;
};

inline double CentreHz(int band) {
    return 1000.0 * std::pow(2.0, (band - kOneKhz) * kSpacingOctaves);
}

// The response of a stored coefficient set at angle w (radians per sample), in double.
inline std::complex<double> Response(const BiquadCoefficients& section, double w) {
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> num = double(section.b0) + double(section.b1) * z1 + double(section.b2) * z2;
    const std::complex<double> den = 1.0 + double(section.a1) * z1 + double(section.a2) * z2;
    return num / den;
}

inline double ResponseDb(const BiquadCoefficients& section, double w) {
    return 20.0 * std::log10(std::abs(Response(section, w)));
}

// Largest pole magnitude of the stored denominator, from the roots of z^2 + a1 z + a2.
inline double LargestPoleMagnitude(const BiquadCoefficients& section) {
    const double a0 = 1.0, a1 = section.a1, a2 = section.a2;
    const std::complex<double> disc = std::sqrt(std::complex<double>(a1 * a1 - 4.0 * a0 * a2));
    const std::complex<double> p1 = (-a1 + disc) / (2.0 * a0);
    const std::complex<double> p2 = (-a1 - disc) / (2.0 * a0);
    return std::max(std::abs(p1), std::abs(p2));
}

inline std::vector<float> Noise(int frames, unsigned seed, float level = 0.5f) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-level, level);
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (float& v : out) v = dist(rng);
    return out;
}

}  // namespace lumo::test
