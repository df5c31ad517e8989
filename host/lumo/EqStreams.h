// The audio files of lumo eq as the machine's stereo blocks: reading and writing in large
// chunks, mono as identical left and right, integer output through the Quantiser.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Quantiser.h"

namespace lumo::cli {

// Frames per libsndfile read or write: large enough that its per-call cost vanishes.
constexpr int kChunkFrames = 16384;

struct SoundFile {
    SNDFILE* file = nullptr;
    SoundFile() = default;
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;
    ~SoundFile() {
        if (file != nullptr) sf_close(file);
    }
};

// Opens IN for reading; "-" reads stdin, copied first into an unnamed temporary file (most
// formats need seeking). name is what messages call it. Throws HostError.
void OpenInput(const std::string& path, const std::string& name, SoundFile& sound, SF_INFO& info);

// True when the file holds less audio than its header declares: fewer frames read than it
// announced, a decoder error, or libsndfile's log noting a data chunk longer than the file or
// a stream that ends without its end mark.
bool EndsEarly(SNDFILE* file, const SF_INFO& info, int64_t framesRead);

class ChunkReader {
public:
    ChunkReader(SNDFILE* file, int channels);
    // Fills up to `frames` stereo frames; returns how many (0 at the end).
    int Pull(float* stereo, int frames);
    int64_t FramesRead() const { return framesRead_; }

private:
    SNDFILE* file_;
    int channels_;
    std::vector<float> chunk_;
    int have_ = 0, position_ = 0;
    int64_t framesRead_ = 0;
};

class ChunkWriter {
public:
    // pcmBits 0: floats go to libsndfile as they are (float and coded formats).
    ChunkWriter(SNDFILE* file, int channels, int pcmBits, bool dither, const std::string& name);
    void Push(const float* stereo, int frames);
    void Flush();
    int64_t ClippedSamples() const { return quantiser_.ClippedSamples(); }
    double PeakLevel() const { return peak_; }  // largest |sample| written as float

private:
    SNDFILE* file_;
    int channels_;
    bool integer_;
    Quantiser quantiser_;
    std::string name_;
    std::vector<float> floats_;
    std::vector<int32_t> integers_;
    int filled_ = 0;
    double peak_ = 0.0;
};

}  // namespace lumo::cli
