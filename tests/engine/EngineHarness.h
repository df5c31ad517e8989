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

#include "shell/EqualiserMachine.h"

namespace lumo::test {

constexpr double kPi = 3.14159265358979323846;

class FakeHost final : public HostCallbacks {
public:
    float* ScratchBuffer() override {
        ++scratchCalls;
        return scratch.data();
    }
    void RegisterExtension(MachineExtension*) override {}
    void* OwnHandle() override { return &handleTag; }
    const char* MachineTitle(void*) override { return "test"; }
    void* HostWindow() override { return nullptr; }
    void ParameterTextChanged(void* handle, int parameterIndex) override {
        textChangedHandles.push_back(handle);
        textChanged.push_back(parameterIndex);
    }

    int handleTag = 0;
    std::vector<float> scratch = std::vector<float>(2 * 16384, 12345.0f);
    int scratchCalls = 0;
    std::vector<void*> textChangedHandles;
    std::vector<int> textChanged;
};

struct Harness {
    explicit Harness(int sampleRateHz = 44100) : info{120, 4, sampleRateHz} {
        machine = std::make_unique<EqualiserMachine>();
        machine->hostInfo = &info;
        machine->callbacks = &host;
        machine->Initialise(nullptr);
    }

    // Writes one value (or 255) for every parameter and applies them.
    void Apply(int range, int bandwidth, const std::vector<int>& sliders) {
        machine->parameters[kRangeParameter] = static_cast<unsigned char>(range);
        machine->parameters[kBandwidthParameter] = static_cast<unsigned char>(bandwidth);
        for (int band = 0; band < kBandCount; ++band)
            machine->parameters[kFirstBandParameter + band] = static_cast<unsigned char>(sliders[band]);
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

    HostInfo info;
    FakeHost host;
    std::unique_ptr<EqualiserMachine> machine;
};

inline double CentreHz(int band) {
    return 1000.0 * std::pow(2.0, (band - layout::kOneKilohertzBand) * layout::kBandSpacingOctaves);
}

// The response of a stored coefficient set at angle w (radians per sample), in double.
inline std::complex<double> Response(const Biquad& section, double w) {
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> num = double(section.b[0]) + double(section.b[1]) * z1 + double(section.b[2]) * z2;
    const std::complex<double> den = double(section.a[0]) + double(section.a[1]) * z1 + double(section.a[2]) * z2;
    return num / den;
}

inline double ResponseDb(const Biquad& section, double w) {
    return 20.0 * std::log10(std::abs(Response(section, w)));
}

// Largest pole magnitude of the stored denominator, from the roots of z^2 + a1 z + a2.
inline double LargestPoleMagnitude(const Biquad& section) {
    const double a0 = section.a[0], a1 = section.a[1], a2 = section.a[2];
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
