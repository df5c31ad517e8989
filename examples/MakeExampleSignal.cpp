// Writes the built-in example: 6 s of stereo at 44.1 kHz, 16-bit WAV. A sustained chord with rich
// harmonics, a kick-like low thump every half second, hi-hat-like noise ticks, and a closing
// logarithmic sweep from 20 Hz to 20 kHz, so every band of an equaliser has something to change.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSampleRateHz = 44100;
constexpr double kPi = 3.14159265358979323846;

// Small deterministic noise source (xorshift), so the example is the same on every run.
struct Noise {
    uint32_t state = 0x9E3779B9u;
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 4294967296.0 * 2.0 - 1.0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumo-example-signal OUT.wav\n");
        return 2;
    }
    const int musicFrames = 4 * kSampleRateHz;
    const int sweepFrames = 2 * kSampleRateHz;
    const int totalFrames = musicFrames + sweepFrames;
    std::vector<float> frames(static_cast<size_t>(totalFrames) * 2, 0.0f);
    Noise noise;

    const double chordHz[] = {130.81, 164.81, 196.00, 261.63};  // C major
    for (int i = 0; i < musicFrames; ++i) {
        const double t = static_cast<double>(i) / kSampleRateHz;
        double left = 0.0, right = 0.0;
        for (int voice = 0; voice < 4; ++voice) {
            for (int harmonic = 1; harmonic <= 12; ++harmonic) {
                const double amplitude = 0.035 / harmonic;
                const double phase = 2.0 * kPi * chordHz[voice] * harmonic * t;
                left += amplitude * std::sin(phase);
                right += amplitude * std::sin(phase + 0.3 * voice);
            }
        }
        const double beatT = std::fmod(t, 0.5);
        const double kick = 0.5 * std::exp(-beatT * 18.0) * std::sin(2.0 * kPi * (50.0 + 80.0 * std::exp(-beatT * 30.0)) * beatT);
        const double tickT = std::fmod(t + 0.25, 0.5);
        const double tick = 0.15 * std::exp(-tickT * 80.0) * noise.Next();
        frames[2 * i] = static_cast<float>(left + kick + tick);
        frames[2 * i + 1] = static_cast<float>(right + kick + tick);
    }
    const double sweepSeconds = static_cast<double>(sweepFrames) / kSampleRateHz;
    const double k = std::log(1000.0);
    for (int i = 0; i < sweepFrames; ++i) {
        const double t = static_cast<double>(i) / kSampleRateHz;
        const double phase = 2.0 * kPi * 20.0 * sweepSeconds / k * (std::exp(k * t / sweepSeconds) - 1.0);
        const float sample = static_cast<float>(0.4 * std::sin(phase));
        frames[2 * (musicFrames + i)] = sample;
        frames[2 * (musicFrames + i) + 1] = sample;
    }

    SF_INFO info{};
    info.samplerate = kSampleRateHz;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "lumo-example-signal: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    sf_writef_float(file, frames.data(), totalFrames);
    sf_close(file);
    return 0;
}
