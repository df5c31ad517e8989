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

// stdin in a format that needs seeking is held in an unnamed temporary file up to this size.
constexpr int64_t kSpoolLimitBytes = int64_t{2} << 30;

// Opens IN for reading; "-" reads stdin: as it comes when it is WAV, AIFF or OGG (libsndfile
// reads them front to back), else held whole in an unnamed temporary file first (up to
// kSpoolLimitBytes), or directly when stdin is a file. name is what messages call it. Throws
// HostError.
void OpenInput(const std::string& path, const std::string& name, SoundFile& sound, SF_INFO& info);

// True when the file holds less audio than its header declares: fewer frames read than it
// announced, a decoder error, or libsndfile's log noting a data chunk longer than the file or
// a stream that ends without its end mark.
bool EndsEarly(SNDFILE* file, const SF_INFO& info, int64_t framesRead);

// Output into a pipe as libsndfile writes it, front to back: what it writes again behind the
// front (the header, once the length is known) cannot be sent and is dropped, so a WAV header
// goes out declaring its length unknown (sizes 0xFFFFFFFF). For containers that need no header
// rewritten for a reader (WAV so marked, FLAC, OGG, Opus, MP3); not AIFF, whose header counts
// its frames.
class PipeSink {
public:
    PipeSink(int descriptor, bool wav);
    PipeSink(const PipeSink&) = delete;
    PipeSink& operator=(const PipeSink&) = delete;
    SF_VIRTUAL_IO* Io() { return &io_; }
    int Error() const { return error_; }  // errno of a failed write, else 0

private:
    sf_count_t Write(const char* bytes, sf_count_t count);
    sf_count_t Failed();

    SF_VIRTUAL_IO io_{};
    int descriptor_;
    bool wav_;
    sf_count_t position_ = 0;  // where libsndfile writes next
    sf_count_t sent_ = 0;      // bytes sent: the front
    int error_ = 0;
};

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
    int64_t FramesPushed() const { return pushed_; }
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
    int64_t pushed_ = 0;
    double peak_ = 0.0;
};

}  // namespace lumo::cli
