// Cascade kernel speed per stereo frame: every path this CPU runs, next to the literal loop (one
// band after the other, frame by frame, coefficients and states read and written through memory
// on every sample) and the band loop the engine ran before the cascade (one band after the other,
// four frames per iteration, coefficients and states in locals). Band sets as in Lumo-31,
// -20 and -15 (peaking bands, one octave wide, 44.1 kHz), all bands or every other one active;
// blocks of 256 frames and the small blocks a host may send around parameter changes. Builds
// natively and, for the 32-bit Windows build, through bench/windows-bench.sh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <utility>
#include <string>
#include <vector>
#include <immintrin.h>

#include "engine/cascade/Cascade.h"
#include "tests/support/LiteralRecurrence.h"

namespace lumo::engine {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Layout {
    int bands;
    double lowestCentreHz;
    double spacingOctaves;
};
constexpr Layout kLayouts[] = {{31, 19.69, 1.0 / 3.0}, {20, 22.10, 0.5}, {15, 24.80, 2.0 / 3.0}};

// Peaking bands of the layout, every `activeEvery`-th one, with gains between -9 and +9 dB.
std::vector<BiquadCoefficients> Bands(const Layout& layout, int activeEvery) {
    std::vector<BiquadCoefficients> sections;
    for (int band = 0; band < layout.bands; band += activeEvery) {
        const double centreHz = layout.lowestCentreHz * std::pow(2.0, band * layout.spacingOctaves);
        const double gainDb = 9.0 * std::sin(band * 1.7);
        const double w0 = 2.0 * kPi * centreHz / 44100.0;
        const double alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2.0 * w0 / std::sin(w0));
        const double amplitude = std::pow(10.0, gainDb / 40.0);
        const double a0 = 1.0 + alpha / amplitude;
        sections.push_back({static_cast<float>((1.0 + alpha * amplitude) / a0),
                            static_cast<float>(-2.0 * std::cos(w0) / a0),
                            static_cast<float>((1.0 - alpha * amplitude) / a0),
                            static_cast<float>(-2.0 * std::cos(w0) / a0),
                            static_cast<float>((1.0 - alpha / amplitude) / a0)});
    }
    return sections;
}

std::vector<float> Noise(int frames) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> dist(-0.5f, 0.5f);
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (float& v : out) v = dist(rng);
    return out;
}

void BandFilterLoop(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
                    float* interleaved, int frames) {
    for (int i = 0; i < count; ++i) {
        const BiquadCoefficients c = coefficients[i];
        float l1 = states[i].left1, l2 = states[i].left2;
        float r1 = states[i].right1, r2 = states[i].right2;
        int j = 0;
        for (; j + 4 <= frames; j += 4) {
            float* f = interleaved + 2 * j;
            for (int k = 0; k < 8; k += 2) {
                f[k] = test::LiteralBiquadStep(c, l1, l2, f[k]);
                f[k + 1] = test::LiteralBiquadStep(c, r1, r2, f[k + 1]);
            }
        }
        for (; j < frames; ++j) {
            float* f = interleaved + 2 * j;
            f[0] = test::LiteralBiquadStep(c, l1, l2, f[0]);
            f[1] = test::LiteralBiquadStep(c, r1, r2, f[1]);
        }
        states[i] = {l1, l2, r1, r2};
    }
}

template <class Kernel>
void RunKernel(benchmark::State& state, Kernel kernel, std::vector<BiquadCoefficients> bands,
               int frames) {
    const unsigned savedCsr = _mm_getcsr();
    _mm_setcsr(savedCsr | 0x8040);  // flush-to-zero, denormals-are-zero, as the audio call sets
    std::vector<StereoBiquadState> states(bands.size(), {0, 0, 0, 0});
    const std::vector<float> noise = Noise(frames);
    std::vector<float> audio(noise.size());
    const int count = static_cast<int>(bands.size());
    for (auto _ : state) {
        std::copy(noise.begin(), noise.end(), audio.begin());  // fresh input every call
        kernel(bands.data(), states.data(), count, audio.data(), frames);
        benchmark::DoNotOptimize(audio.data());
        benchmark::ClobberMemory();
    }
    _mm_setcsr(savedCsr);
    // Seconds per stereo frame (shown with an SI prefix: 12n is 12 ns).
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * frames,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

using Loop = void (*)(const BiquadCoefficients*, StereoBiquadState*, int, float*, int);

void RegisterAll(const Layout& layout, int activeEvery, int frames) {
    const std::vector<BiquadCoefficients> bands = Bands(layout, activeEvery);
    const std::string prefix = "Cascade/bands:" + std::to_string(layout.bands) + "/active:" +
                               std::to_string(bands.size()) + "/frames:" + std::to_string(frames) +
                               "/";
    const std::pair<const char*, Loop> loops[] = {{"literal", test::RunLiteralRecurrence},
                                                  {"bandfilter", BandFilterLoop}};
    for (const auto& [name, loop] : loops)
        benchmark::RegisterBenchmark((prefix + name).c_str(), RunKernel<Loop>, loop, bands, frames);
    for (CascadePath path : {CascadePath::Scalar, CascadePath::Sse2, CascadePath::Avx2,
                             CascadePath::Avx512}) {
        if (CascadePathAvailable(path))
            benchmark::RegisterBenchmark((prefix + CascadePathName(path)).c_str(),
                                         RunKernel<CascadeKernel>, CascadeKernelOf(path), bands,
                                         frames);
    }
}

// The throughput bound of the AVX-512 kernel on this CPU, measured rather than taken from a
// clock figure: independent 512-bit multiplies and adds, as many as the vector ports start, and
// the time per operation. Lumo-31 needs 62 (band, channel) recurrences of 9 operations a frame,
// 34.9 operations of 16 lanes: bound_per_frame is that many times the time per operation.
__attribute__((target("avx512f"))) void BM_VectorPeakAvx512(benchmark::State& state) {
    constexpr int kRounds = 1000;
    constexpr int kOperationsPerRound = 24;
    __m512 r0 = _mm512_set1_ps(1.0f), r1 = r0, r2 = r0, r3 = r0, r4 = r0, r5 = r0;
    __m512 r6 = r0, r7 = r0, r8 = r0, r9 = r0, r10 = r0, r11 = r0;
    const __m512 factor = _mm512_set1_ps(1.0f), term = _mm512_setzero_ps();
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            // Twelve independent chains, two operations each: more in flight than the latency
            // times the ports, and written out, so that the compiler cannot fold them away.
            asm volatile(
                "vmulps %[f], %[r0], %[r0]\n vmulps %[f], %[r1], %[r1]\n vmulps %[f], %[r2], %[r2]\n"
                "vmulps %[f], %[r3], %[r3]\n vmulps %[f], %[r4], %[r4]\n vmulps %[f], %[r5], %[r5]\n"
                "vaddps %[t], %[r6], %[r6]\n vaddps %[t], %[r7], %[r7]\n vaddps %[t], %[r8], %[r8]\n"
                "vaddps %[t], %[r9], %[r9]\n vaddps %[t], %[r10], %[r10]\n vaddps %[t], %[r11], %[r11]\n"
                "vmulps %[f], %[r0], %[r0]\n vmulps %[f], %[r1], %[r1]\n vmulps %[f], %[r2], %[r2]\n"
                "vmulps %[f], %[r3], %[r3]\n vmulps %[f], %[r4], %[r4]\n vmulps %[f], %[r5], %[r5]\n"
                "vaddps %[t], %[r6], %[r6]\n vaddps %[t], %[r7], %[r7]\n vaddps %[t], %[r8], %[r8]\n"
                "vaddps %[t], %[r9], %[r9]\n vaddps %[t], %[r10], %[r10]\n vaddps %[t], %[r11], %[r11]\n"
                : [r0] "+v"(r0), [r1] "+v"(r1), [r2] "+v"(r2), [r3] "+v"(r3), [r4] "+v"(r4),
                  [r5] "+v"(r5), [r6] "+v"(r6), [r7] "+v"(r7), [r8] "+v"(r8), [r9] "+v"(r9),
                  [r10] "+v"(r10), [r11] "+v"(r11)
                : [f] "v"(factor), [t] "v"(term));
        }
    }
    benchmark::DoNotOptimize(r0), benchmark::DoNotOptimize(r6);
    const double operations = static_cast<double>(state.iterations()) * kRounds * kOperationsPerRound;
    state.counters["per_operation"] =
        benchmark::Counter(operations, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["bound_per_frame"] = benchmark::Counter(
        operations / (62.0 * 9.0 / 16.0), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace
}  // namespace lumo::engine

int main(int argc, char** argv) {
    using namespace lumo::engine;
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("cascade_selected_path", CascadePathName(SelectedCascadePath()));
    for (const Layout& layout : kLayouts)
        for (int activeEvery : {1, 2}) RegisterAll(layout, activeEvery, 256);
    for (const Layout& layout : kLayouts)
        for (int frames : {1, 2, 4, 8, 16}) RegisterAll(layout, 1, frames);
    if (CascadePathAvailable(CascadePath::Avx512))
        benchmark::RegisterBenchmark("VectorPeak/avx512", BM_VectorPeakAvx512)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
