// Renders fixed scenarios through every plug-in in a directory and writes each output as raw
// little-endian 32-bit floats (OUT_DIR/<short name>-<scenario>.f32). Built for both platforms, so
// the Windows DLLs under Wine and the native plug-ins can be compared sample for sample.
#include <cstdint>
#include <cstdio>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"

namespace {

using lumo::host::HostedMachine;
using lumo::host::HostSettings;
using lumo::host::PluginLibrary;

struct Scenario {
    const char* name;
    int sampleRateHz;
    int blockFrames;
    int rangeDb;
    int bandwidthTwelfths;
    uint32_t sliderSeed;  // 0: every slider at 64 but a few fixed ones
};

const Scenario kScenarios[] = {
    {"moderate-44k", 44100, 256, 12, 8, 0},
    {"random-48k-odd-blocks", 48000, 101, 32, 3, 12345u},
    {"wide-22k-near-nyquist", 22050, 256, 24, 24, 777u},
    {"narrow-96k-tiny-blocks", 96000, 7, 16, 1, 4242u},
};

uint32_t NextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Noise, a square wave and an impulse: made from integers with exact float scaling, so the input
// has the same bits on every platform.
std::vector<float> TestSignal(int frames) {
    std::vector<float> signal(static_cast<size_t>(frames) * 2);
    uint32_t state = 0x12345678u;
    for (int i = 0; i < frames; ++i) {
        const float noiseLeft = static_cast<float>(static_cast<int32_t>(NextRandom(state))) * (0.25f / 2147483648.0f);
        const float noiseRight = static_cast<float>(static_cast<int32_t>(NextRandom(state))) * (0.25f / 2147483648.0f);
        // A square-ish wave from integer phase: identical everywhere, rich in harmonics.
        const float square = ((i / 50) % 2 == 0) ? 0.2f : -0.2f;
        signal[2 * i] = noiseLeft + square;
        signal[2 * i + 1] = noiseRight - square;
    }
    signal[2 * (frames / 3)] += 0.9f;
    return signal;
}

void WriteFloats(const std::string& path, const std::vector<float>& samples) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    const size_t written = std::fwrite(samples.data(), sizeof(float), samples.size(), file);
    std::fclose(file);
    if (written != samples.size()) throw std::runtime_error("short write to " + path);
}

void Render(const PluginLibrary& library, const Scenario& scenario, const std::string& outDir) {
    HostSettings settings;
    settings.sampleRateHz = scenario.sampleRateHz;
    settings.maxBlockFrames = scenario.blockFrames;
    HostedMachine machine(library, settings);
    machine.Initialise();
    machine.SetParameter(0, scenario.rangeDb);
    machine.SetParameter(1, scenario.bandwidthTwelfths);
    const int parameterCount = machine.ParameterCount();
    uint32_t seed = scenario.sliderSeed;
    for (int index = 2; index < parameterCount; ++index) {
        int slider = 64;
        if (seed != 0) slider = static_cast<int>(NextRandom(seed) % 129u);
        else if (index % 5 == 0) slider = 100;
        else if (index % 7 == 0) slider = 20;
        machine.SetParameter(index, slider);
    }
    machine.ApplyParameters();
    const std::vector<float> output = machine.ProcessSignal(TestSignal(scenario.sampleRateHz / 2), scenario.blockFrames);
    const std::string path = outDir + "/" + machine.Description().shortName + "-" + scenario.name + ".f32";
    WriteFloats(path, output);
    std::printf("%s: %zu frames\n", path.c_str(), output.size() / 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: render-scenarios PLUGIN_DIR OUT_DIR\n");
        return 2;
    }
    try {
        const std::vector<std::string> plugins = lumo::host::ListPlugins(argv[1]);
        if (plugins.empty()) throw std::runtime_error(std::string("no plug-ins in ") + argv[1]);
        for (const std::string& path : plugins) {
            PluginLibrary library(path);
            for (const Scenario& scenario : kScenarios) Render(library, scenario, argv[2]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render-scenarios: %s\n", error.what());
        return 1;
    }
    return 0;
}
