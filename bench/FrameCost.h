// How lumo-lv2-bench, lumo-clap-bench and lumo-vst3-bench measure a plug-in: ns per stereo frame
// at one block length, the best of several runs of about 0.2 s each in the thread's CPU time (on
// shared cores the wall clock counts other processes' turns too), at 48 kHz on stereo noise.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumo::bench {

constexpr double kRateHz = 48000.0;

inline double ThreadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Stereo noise at about -12 dBFS, one block's worth, fed again every block.
inline std::vector<std::vector<float>> StereoNoise(int frames) {
    std::vector<std::vector<float>> noise(2, std::vector<float>(static_cast<size_t>(frames)));
    uint32_t seed = 1;
    for (auto& channel : noise)
        for (float& s : channel) {
            seed = seed * 1664525u + 1013904223u;
            s = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.5f;
        }
    return noise;
}

// runBlock(frames) processes one block. 1 s of audio to warm up, then the best of 7 runs.
template <typename RunBlock>
double NanosecondsPerFrame(RunBlock&& runBlock, int frames) {
    for (int done = 0; done < static_cast<int>(kRateHz); done += frames) runBlock(frames);
    double best = 1e30;
    for (int repeat = 0; repeat < 7; ++repeat) {
        long total = 0;
        const double start = ThreadCpuNanoseconds();
        double elapsed = 0.0;
        do {
            for (int k = 0; k < 64; ++k) runBlock(frames);
            total += 64L * frames;
            elapsed = ThreadCpuNanoseconds() - start;
        } while (elapsed < 2e8);
        best = std::min(best, elapsed / static_cast<double>(total));
    }
    return best;
}

}  // namespace lumo::bench
