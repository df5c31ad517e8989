// Engine speed: the audio path per frame with every band active, asleep or half active, next
// to a plain one-band-after-the-other, one-frame-at-a-time loop; a band decaying into
// denormals next to one fed noise; and the cost of parameter changes.
#include <benchmark/benchmark.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <random>
#include <vector>
#include <xmmintrin.h>

#include "engine/FloatEnvironment.h"
#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

constexpr int kFrames = 256;

class BenchHost final : public HostCallbacks {
public:
    float* ScratchBuffer() override { return scratch.data(); }
    void RegisterExtension(MachineExtension*) override {}
    void* OwnHandle() override { return this; }
    const char* MachineTitle(void*) override { return "bench"; }
    void* HostWindow() override { return nullptr; }
    void ParameterTextChanged(void*, int) override {}
    std::vector<float> scratch = std::vector<float>(2 * kFrames);
};

std::vector<float> Noise(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (float& v : out) v = dist(rng);
    return out;
}

struct Bench {
    Bench() {
        machine = std::make_unique<EqualiserMachine>();
        machine->hostInfo = &info;
        machine->callbacks = &host;
        machine->Initialise(nullptr);
    }
    // activeEvery: 1 = every band active, 2 = every other band, 0 = every band flat.
    void Configure(int activeEvery) {
        machine->parameters[kRangeParameter] = 16;
        machine->parameters[kBandwidthParameter] = 8;
        for (int band = 0; band < kBandCount; ++band) {
            const bool active = activeEvery != 0 && band % activeEvery == 0;
            machine->parameters[kFirstBandParameter + band] = active ? 40 + band : 64;
        }
        machine->ApplyParameters();
        for (int band = 0; band < kBandCount; ++band)
            if (machine->bandFlat[band]) machine->bandTail[band] = 0;  // rung out already
    }
    // Every band flat but the 1 kHz band at +16 dB; returns that band.
    BandFilter& OneBoostedBand() {
        Configure(0);
        machine->parameters[kFirstBandParameter + layout::kOneKilohertzBand] = 128;
        machine->ApplyParameters();
        return machine->bandFilters[layout::kOneKilohertzBand];
    }
    HostInfo info{120, 4, 44100};
    BenchHost host;
    std::unique_ptr<EqualiserMachine> machine;
};

// Seconds per frame (shown with an SI prefix: 76n is 76 ns).
void SetPerFrame(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ProcessAudio(benchmark::State& state) {
    Bench b;
    b.Configure(static_cast<int>(state.range(0)));
    const std::vector<float> noise = Noise(kFrames, 1);
    std::vector<float> audio(noise.size());
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());  // fresh input every call
        b.machine->ProcessAudio(audio.data(), kFrames, 3);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state);
}
BENCHMARK(BM_ProcessAudio)->ArgName("activeEvery")->Arg(1)->Arg(2)->Arg(0);

// The plain loop: each active band in turn over the buffer, one frame at a time, reading the
// coefficients through the channel's pointers on every sample.
void PlainLoop(EqualiserMachine& m, float* frames, int n) {
    for (int band = 0; band < kBandCount; ++band) {
        if (m.bandFlat[band]) continue;
        Biquad* channels[2] = {&m.bandFilters[band].left, &m.bandFilters[band].right};
        for (int j = 0; j < n; ++j) {
            for (int c = 0; c < 2; ++c) {
                Biquad& q = *channels[c];
                const float x = frames[2 * j + c];
                const float y = q.bInUse[0] * x + q.state1;
                q.state1 = (q.bInUse[1] * x + q.state2) - q.aInUse[1] * y;
                q.state2 = q.bInUse[2] * x - q.aInUse[2] * y;
                frames[2 * j + c] = y;
            }
        }
    }
}

void BM_PlainLoop(benchmark::State& state) {
    Bench b;
    b.Configure(static_cast<int>(state.range(0)));
    const std::vector<float> noise = Noise(kFrames, 1);
    std::vector<float> audio(noise.size());
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());
        PlainLoop(*b.machine, audio.data(), kFrames);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state);
}
BENCHMARK(BM_PlainLoop)->ArgName("activeEvery")->Arg(1)->Arg(2);

// One band (1 kHz, +16 dB) whose state has decayed into the denormal range on silence, run on
// silence from that state each iteration; arg 1 runs it with flush-to-zero and
// denormals-are-zero set, as the audio path does.
void BM_BandSilenceAfterImpulse(benchmark::State& state) {
    Bench b;
    BandFilter& band = b.OneBoostedBand();
    std::vector<float> audio(2 * kFrames, 0.0f);
    audio[0] = audio[1] = 1.0f;
    band.Process(audio.data(), kFrames);
    for (int block = 0; block < 100000; ++block) {
        std::fill(audio.begin(), audio.end(), 0.0f);
        band.Process(audio.data(), kFrames);
        if (std::fabs(band.left.state1) < FLT_MIN) break;
    }
    const float s1 = band.left.state1, s2 = band.left.state2;
    state.counters["state1"] = s1;
    std::unique_ptr<DenormalsOff> flush;
    if (state.range(0)) flush = std::make_unique<DenormalsOff>();
    for (auto _ : state) {
        band.left.state1 = band.right.state1 = s1;
        band.left.state2 = band.right.state2 = s2;
        std::fill(audio.begin(), audio.end(), 0.0f);
        band.Process(audio.data(), kFrames);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state);
}
BENCHMARK(BM_BandSilenceAfterImpulse)->ArgName("flushToZero")->Arg(0)->Arg(1);

void BM_BandNoise(benchmark::State& state) {
    Bench b;
    BandFilter& band = b.OneBoostedBand();
    const std::vector<float> noise = Noise(kFrames, 2);
    std::vector<float> audio(noise.size());
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());
        band.Process(audio.data(), kFrames);
        benchmark::DoNotOptimize(audio.data());
    }
    SetPerFrame(state);
}
BENCHMARK(BM_BandNoise);

void BM_ApplyParametersOneSlider(benchmark::State& state) {
    Bench b;
    b.Configure(1);
    unsigned char* block = b.machine->parameters;
    int value = 0;
    for (auto _ : state) {
        std::fill(block, block + kParameterCount, static_cast<unsigned char>(kNoValue));
        block[kFirstBandParameter + 3] = static_cast<unsigned char>(value);
        value = (value + 1) % 129;
        b.machine->ApplyParameters();
    }
}
BENCHMARK(BM_ApplyParametersOneSlider);

void BM_ApplyParametersRange(benchmark::State& state) {
    Bench b;
    b.Configure(1);
    unsigned char* block = b.machine->parameters;
    int value = 0;
    for (auto _ : state) {
        std::fill(block, block + kParameterCount, static_cast<unsigned char>(kNoValue));
        block[kRangeParameter] = static_cast<unsigned char>(value);
        value = (value + 1) % 33;
        b.machine->ApplyParameters();
    }
}
BENCHMARK(BM_ApplyParametersRange);

}  // namespace
}  // namespace lumo

BENCHMARK_MAIN();
