// Engine speed. ProcessAudio of the plug-in file, loaded and driven through its table as the host
// does, per stereo frame with every band active, half of them or none, next to the literal loop
// (each band in turn over the block, frame by frame) and the cascade kernel alone on the same
// coefficients in the same run; the cascade on a band decaying into denormals next to one fed
// noise; parameter changes.
#include <benchmark/benchmark.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/support/LiteralRecurrence.h"

#include "engine/BandDesign.h"
#include "engine/Equaliser.h"
#include "engine/FloatEnvironment.h"
#include "engine/RawParameters.h"
#include "lumo/host/HostedMachine.h"
#include "product/Deliverables.h"

namespace lumo {
namespace {

// The machine of this program (engine_bench_31, _20, _15).
const product::Deliverable& ThisDeliverable() { return product::DeliverableAt(LUMO_DELIVERABLE_INDEX); }

constexpr int kSampleRateHz = 44100;
constexpr int kRangeDb = 16;
constexpr int kBandwidthTwelfths = 8;
constexpr int kMaxBlockFrames = 8192;

std::vector<float> Noise(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (float& v : out) v = dist(rng);
    return out;
}

// activeEvery: 1 = every band active, 2 = every other band, 0 = every band flat. Active sliders
// run from 40 up, stepping over the centre (0 dB).
int SliderFor(int band, int activeEvery) {
    const bool active = activeEvery != 0 && band % activeEvery == 0;
    const int slider = 40 + band;
    return !active ? engine::kSliderCentre : slider < engine::kSliderCentre ? slider : slider + 1;
}

// The plug-in file of this program's deliverable, with the bands set and rung out.
struct PluginUnderTest {
    explicit PluginUnderTest(int activeEvery)
        : library(std::string(LUMO_PLUGIN_DIR) + "/" + ThisDeliverable().fullName + host::PluginSuffix()),
          machine(library, Settings()) {
        machine.Initialise();
        machine.SetParameter(0, kRangeDb);
        machine.SetParameter(1, kBandwidthTwelfths);
        for (int band = 0; band < ThisDeliverable().layout.bandCount; ++band)
            machine.SetParameter(2 + band, SliderFor(band, activeEvery));
        machine.ApplyParameters();
        // Flat bands ring out for 0.2 s; run past that so only the active ones remain.
        std::vector<float> silence(2 * 4096, 0.0f);
        for (int frames = 0; frames < kSampleRateHz; frames += 4096)
            machine.ProcessAudio(silence.data(), 4096, 3);
    }
    static host::HostSettings Settings() {
        host::HostSettings settings;
        settings.sampleRateHz = kSampleRateHz;
        settings.maxBlockFrames = kMaxBlockFrames;
        return settings;
    }
    host::PluginLibrary library;
    host::HostedMachine machine;
};

// The same design in this process, for the literal loop's coefficients.
std::vector<engine::BiquadCoefficients> ActiveCoefficients(int activeEvery) {
    engine::Equaliser equaliser(ThisDeliverable().layout);
    equaliser.Initialise(kSampleRateHz);
    engine::ParameterChanges changes;
    changes.rangeDb = kRangeDb;
    changes.bandwidthTwelfths = kBandwidthTwelfths;
    const int bands = ThisDeliverable().layout.bandCount;
    for (int band = 0; band < bands; ++band) changes.slider[band] = SliderFor(band, activeEvery);
    equaliser.ApplyParameters(changes, kSampleRateHz);
    std::vector<engine::BiquadCoefficients> active;
    for (int band = 0; band < bands; ++band)
        if (equaliser.Activity(band) == engine::BandActivity::Active)
            active.push_back(equaliser.Coefficients().bands[band]);
    return active;
}

// Seconds per stereo frame (shown with an SI prefix: 76n is 76 ns).
void SetPerFrame(benchmark::State& state, int frames) {
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * frames,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// hostFlushes: the host already runs its audio thread with flush-to-zero and denormals-are-zero,
// as most audio hosts do, so the machine leaves MXCSR alone.
void BM_ProcessAudio(benchmark::State& state) {
    const int activeEvery = static_cast<int>(state.range(0));
    const int frames = static_cast<int>(state.range(1));
    PluginUnderTest plugin(activeEvery);
    const std::vector<float> noise = Noise(frames, 1);
    std::vector<float> audio(noise.size());
    std::unique_ptr<engine::DenormalsOff> hostFlushes;
    if (state.range(2)) hostFlushes = std::make_unique<engine::DenormalsOff>();
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());  // fresh input every call
        plugin.machine.ProcessAudio(audio.data(), frames, 3);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state, frames);
}

// `run` (bands, states, count, interleaved, frames) over the active bands, in the engine's
// floating-point mode, on a fresh copy of the same noise every call.
template <class Run>
void RunOnActiveBands(benchmark::State& state, Run run) {
    const int activeEvery = static_cast<int>(state.range(0));
    const int frames = static_cast<int>(state.range(1));
    const std::vector<engine::BiquadCoefficients> bands = ActiveCoefficients(activeEvery);
    std::vector<engine::StereoBiquadState> states(bands.size(), engine::StereoBiquadState{});
    const std::vector<float> noise = Noise(frames, 1);
    std::vector<float> audio(noise.size());
    engine::DenormalsOff denormalsOff;  // as ProcessAudio runs
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());
        run(bands.data(), states.data(), static_cast<int>(bands.size()), audio.data(), frames);
        benchmark::DoNotOptimize(audio.data());
        benchmark::ClobberMemory();
    }
    SetPerFrame(state, frames);
}

void BM_LiteralLoop(benchmark::State& state) { RunOnActiveBands(state, test::RunLiteralRecurrence); }

// The cascade kernel alone (the one this CPU runs) on the same coefficients: what a call costs
// beyond its bands is ProcessAudio's time less this.
void BM_CascadeKernel(benchmark::State& state) {
    RunOnActiveBands(state, engine::SelectedCascadeKernel());
}

// Every band active at the block lengths hosts send: 1 to 16 frames (blocks split at parameter
// changes and ticks, lilv's one-frame runs), then powers of two up to 8192; half the bands at 256.
void BlockArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"activeEvery", "frames", "hostFlushes"});
    for (int frames = 1; frames <= 16; ++frames) b->Args({1, frames, 0});
    for (int frames = 32; frames <= kMaxBlockFrames; frames *= 2) b->Args({1, frames, 0});
    b->Args({2, 256, 0});
}
BENCHMARK(BM_ProcessAudio)
    ->Apply(BlockArguments)
    ->Args({0, 256, 0})
    ->Args({1, 1, 1})
    ->Args({1, 4, 1})
    ->Args({1, 256, 1});
BENCHMARK(BM_LiteralLoop)->Apply(BlockArguments);
BENCHMARK(BM_CascadeKernel)->Apply([](benchmark::internal::Benchmark* b) {
    b->ArgNames({"activeEvery", "frames"});
    for (int frames = 1; frames <= 16; ++frames) b->Args({1, frames});
    for (int frames = 32; frames <= kMaxBlockFrames; frames *= 2) b->Args({1, frames});
});

// The 1 kHz band at +16 dB, 2/3 octave wide.
engine::BiquadCoefficients BoostedOneKilohertzBand() {
    const engine::BandLayout& layout = ThisDeliverable().layout;
    return engine::DesignPeakingBand(layout, layout.oneKilohertzBand, kSampleRateHz, 16.0, 2.0 / 3.0);
}

// One band (1 kHz, +16 dB) whose state has decayed into the denormal range on silence, run on
// silence from that state each iteration; arg 1 runs it with flush-to-zero and
// denormals-are-zero set, as the audio path does.
void BM_BandSilenceAfterImpulse(benchmark::State& state) {
    constexpr int kFrames = 256;
    const engine::BiquadCoefficients c = BoostedOneKilohertzBand();
    engine::StereoBiquadState decayed{};
    std::vector<float> audio(2 * kFrames, 0.0f);
    audio[0] = audio[1] = 1.0f;
    engine::SelectedCascadeKernel()(&c, &decayed, 1, audio.data(), kFrames);
    for (int block = 0; block < 100000 && std::fabs(decayed.left1) >= FLT_MIN; ++block) {
        std::fill(audio.begin(), audio.end(), 0.0f);
        engine::SelectedCascadeKernel()(&c, &decayed, 1, audio.data(), kFrames);
    }
    state.counters["state1"] = decayed.left1;
    std::unique_ptr<engine::DenormalsOff> flush;
    if (state.range(0)) flush = std::make_unique<engine::DenormalsOff>();
    for (auto _ : state) {
        engine::StereoBiquadState s = decayed;
        std::fill(audio.begin(), audio.end(), 0.0f);
        engine::SelectedCascadeKernel()(&c, &s, 1, audio.data(), kFrames);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state, kFrames);
}
BENCHMARK(BM_BandSilenceAfterImpulse)->ArgName("flushToZero")->Arg(0)->Arg(1);

void BM_BandNoise(benchmark::State& state) {
    constexpr int kFrames = 256;
    const engine::BiquadCoefficients c = BoostedOneKilohertzBand();
    engine::StereoBiquadState s{};
    const std::vector<float> noise = Noise(kFrames, 2);
    std::vector<float> audio(noise.size());
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());
        engine::SelectedCascadeKernel()(&c, &s, 1, audio.data(), kFrames);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state, kFrames);
}
BENCHMARK(BM_BandNoise);

// A slider change redesigns one band; a Range change every band.
void BM_ApplyParameters(benchmark::State& state) {
    const bool range = state.range(0) != 0;
    engine::Equaliser equaliser(ThisDeliverable().layout);
    equaliser.Initialise(kSampleRateHz);
    int value = 0;
    for (auto _ : state) {
        engine::ParameterChanges changes;
        if (range) {
            changes.rangeDb = value % 33;
        } else {
            changes.slider[3] = value % 129;
        }
        ++value;
        equaliser.ApplyParameters(changes, kSampleRateHz);
    }
}
BENCHMARK(BM_ApplyParameters)->ArgName("range")->Arg(0)->Arg(1);

}  // namespace
}  // namespace lumo

BENCHMARK_MAIN();
