// The file steps of the plug-in format tests (LV2 hosts, Ardour, CLAP and VST3 hosts): stereo
// 32-bit float WAVs made, measured and compared.
//   lumo-wavtool signal OUT.wav RATE          a stereo 32-bit float test signal (1 s: a chord,
//                                             noise, a click, a sweep) padded with 0.2 s silence,
//                                             quiet enough that the equalised output stays
//                                             within full scale (lv2proc clips at +-1)
//   lumo-wavtool noise OUT.wav RATE SECONDS [SILENCE]
//                                             stereo 32-bit float white noise at -20 dBFS peak,
//                                             left and right independent (a swap shows),
//                                             followed by SILENCE seconds of zeros (default 0)
//   lumo-wavtool frames FILE.wav              prints the frame count and the sample rate
//   lumo-wavtool compare A.wav B.wav N        exit 0 when the first N frames of both are the same
//                                             32-bit float words (both stereo float, >= N frames)
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Read(const char* path, std::vector<float>& samples, SF_INFO& info) {
    info = {};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "cannot read %s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    samples.assign(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels), 0.0f);
    const sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT || info.channels != 2 || got != info.frames) {
        std::fprintf(stderr, "%s is not stereo 32-bit float (or is cut short)\n", path);
        return false;
    }
    return true;
}

int Write(const char* path, const std::vector<float>& samples, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path, SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "cannot write %s: %s\n", path, sf_strerror(nullptr));
        return 1;
    }
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / 2);
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return written == frames ? 0 : 1;
}

// A uniform value in [-0.5, 0.5) from a linear congruential generator (reproducible runs).
double NextNoise(uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0 - 0.5;
}

int Signal(const char* path, int rate) {
    const int frames = rate, pad = rate / 5;
    std::vector<float> samples(static_cast<size_t>(frames + pad) * 2, 0.0f);
    uint32_t seed = 12345;
    const double pi = 3.141592653589793;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double noise = NextNoise(seed) * 0.05;
        const double chord = 0.04 * (std::sin(2 * pi * 110 * t) + std::sin(2 * pi * 440 * t) + std::sin(2 * pi * 3520 * t));
        const double sweep = 0.05 * std::sin(2 * pi * 20.0 * (std::pow(1000.0, t) - 1.0) / std::log(1000.0));
        const double click = i == rate / 2 ? 0.2 : 0.0;
        samples[2 * static_cast<size_t>(i)] = static_cast<float>(chord + noise + click);
        samples[2 * static_cast<size_t>(i) + 1] = static_cast<float>(sweep - noise * 0.5);
    }
    return Write(path, samples, rate);
}

int Noise(const char* path, int rate, double seconds, double silence) {
    if (rate <= 0 || !(seconds > 0) || seconds > 600 || !(silence >= 0) || silence > 600) {
        std::fprintf(stderr, "noise: a positive rate, 0 to 600 seconds of noise and of silence\n");
        return 2;
    }
    const size_t noiseSamples = static_cast<size_t>(std::lround(seconds * rate)) * 2;
    std::vector<float> samples(noiseSamples + static_cast<size_t>(std::lround(silence * rate)) * 2, 0.0f);
    uint32_t left = 2024, right = 77;
    for (size_t i = 0; i < noiseSamples; i += 2) {
        samples[i] = static_cast<float>(NextNoise(left) * 0.2);
        samples[i + 1] = static_cast<float>(NextNoise(right) * 0.2);
    }
    return Write(path, samples, rate);
}

int Frames(const char* path) {
    std::vector<float> samples;
    SF_INFO info;
    if (!Read(path, samples, info)) return 2;
    std::printf("%ld %d\n", static_cast<long>(info.frames), info.samplerate);
    return 0;
}

int Compare(const char* a, const char* b, long frames) {
    std::vector<float> x, y;
    SF_INFO xi, yi;
    if (!Read(a, x, xi) || !Read(b, y, yi)) return 2;
    if (frames <= 0 || xi.frames < frames || yi.frames < frames) {
        std::fprintf(stderr, "%s has %ld frames, %s has %ld; %ld wanted\n", a, static_cast<long>(xi.frames), b,
                     static_cast<long>(yi.frames), frames);
        return 2;
    }
    for (long i = 0; i < frames * 2; ++i) {
        if (std::memcmp(&x[static_cast<size_t>(i)], &y[static_cast<size_t>(i)], sizeof(float)) != 0) {
            std::printf("first difference at frame %ld (%s): %.9g against %.9g\n", i / 2, i % 2 ? "right" : "left",
                        static_cast<double>(x[static_cast<size_t>(i)]), static_cast<double>(y[static_cast<size_t>(i)]));
            return 1;
        }
    }
    std::printf("%ld frames bit-identical\n", frames);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (argc == 4 && command == "signal") return Signal(argv[2], std::atoi(argv[3]));
    if ((argc == 5 || argc == 6) && command == "noise")
        return Noise(argv[2], std::atoi(argv[3]), std::atof(argv[4]), argc == 6 ? std::atof(argv[5]) : 0.0);
    if (argc == 3 && command == "frames") return Frames(argv[2]);
    if (argc == 5 && command == "compare") return Compare(argv[2], argv[3], std::atol(argv[4]));
    std::fprintf(stderr,
                 "usage: lumo-wavtool signal OUT RATE | noise OUT RATE SECONDS [SILENCE] | frames FILE | compare A B FRAMES\n");
    return 2;
}
