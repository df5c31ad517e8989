#include "EqStreams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "OutputFile.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {
namespace {

using host::HostError;

// stdin copied into an unnamed temporary file, rewound; the descriptor, or -1.
int SpoolStdin() {
    std::FILE* unnamed = std::tmpfile();
    if (unnamed == nullptr) return -1;
    const int descriptor = dup(fileno(unnamed));
    std::fclose(unnamed);
    if (descriptor < 0) return -1;
    std::vector<char> chunk(1 << 20);
    for (;;) {
        const ssize_t count = read(STDIN_FILENO, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 && lseek(descriptor, 0, SEEK_SET) == 0) return descriptor;
        if (count <= 0 || !WriteAll(descriptor, chunk.data(), static_cast<size_t>(count))) break;
    }
    close(descriptor);
    return -1;
}

// The largest |sample|, in eight independent lanes so that the compiler can keep them in
// vector registers (one max instruction per eight samples instead of a chain through one).
float Peak(const float* samples, size_t count) {
    float lanes[8] = {};
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
        for (int j = 0; j < 8; ++j) {
            const float level = std::fabs(samples[i + j]);
            lanes[j] = level > lanes[j] ? level : lanes[j];
        }
    for (; i < count; ++i) lanes[0] = std::max(lanes[0], std::fabs(samples[i]));
    return *std::max_element(lanes, lanes + 8);
}

}  // namespace

void OpenInput(const std::string& path, const std::string& name, SoundFile& sound, SF_INFO& info) {
    info = SF_INFO{};
    if (path != "-") {
        sound.file = sf_open(path.c_str(), SFM_READ, &info);
    } else {
        const int descriptor = SpoolStdin();
        if (descriptor < 0) throw HostError(std::string("cannot read stdin: ") + std::strerror(errno));
        sound.file = sf_open_fd(descriptor, SFM_READ, &info, SF_TRUE);
        if (sound.file == nullptr) close(descriptor);
    }
    if (sound.file == nullptr) throw HostError("cannot read " + name + ": " + sf_strerror(nullptr));
}

bool EndsEarly(SNDFILE* file, const SF_INFO& info, int64_t framesRead) {
    if (sf_error(file) != SF_ERR_NO_ERROR) return true;
    if (info.frames != SF_COUNT_MAX && framesRead < info.frames) return true;
    std::string log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    std::istringstream lines(log.c_str());
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        const bool dataChunk = line.compare(start, 4, "data") == 0 || line.compare(start, 4, "SSND") == 0;
        if (dataChunk && line.find("(should be") != std::string::npos) return true;
        if (line.find("ended unexpectedly") != std::string::npos) return true;
    }
    return false;
}

ChunkReader::ChunkReader(SNDFILE* file, int channels)
    : file_(file), channels_(channels), chunk_(static_cast<size_t>(kChunkFrames) * channels) {}

int ChunkReader::Pull(float* stereo, int frames) {
    int done = 0;
    while (done < frames) {
        if (position_ == have_) {
            have_ = static_cast<int>(sf_readf_float(file_, chunk_.data(), kChunkFrames));
            position_ = 0;
            if (have_ <= 0) {
                have_ = 0;
                break;
            }
            framesRead_ += have_;
        }
        const int count = std::min(frames - done, have_ - position_);
        const float* from = chunk_.data() + static_cast<size_t>(position_) * channels_;
        float* to = stereo + 2 * done;
        if (channels_ == 2) {
            std::memcpy(to, from, sizeof(float) * 2 * count);
        } else {
            for (int i = 0; i < count; ++i) to[2 * i] = to[2 * i + 1] = from[i];
        }
        position_ += count;
        done += count;
    }
    return done;
}

ChunkWriter::ChunkWriter(SNDFILE* file, int channels, int pcmBits, bool dither, const std::string& name)
    : file_(file),
      channels_(channels),
      integer_(pcmBits > 0),
      quantiser_(pcmBits > 0 ? pcmBits : 32, dither),
      name_(name),
      floats_(static_cast<size_t>(kChunkFrames) * channels),
      integers_(integer_ ? floats_.size() : 0) {}

void ChunkWriter::Push(const float* stereo, int frames) {
    while (frames > 0) {
        const int count = std::min(frames, kChunkFrames - filled_);
        const size_t at = static_cast<size_t>(filled_) * channels_;
        const size_t samples = static_cast<size_t>(count) * channels_;
        // Mono output takes the left channel (mono input ran as identical left and right).
        const float* source = stereo;
        if (channels_ == 1) {
            for (int i = 0; i < count; ++i) floats_[at + i] = stereo[2 * i];
            source = floats_.data() + at;
        }
        if (integer_) {
            quantiser_.Convert(source, integers_.data() + at, samples);
        } else {
            if (channels_ == 2) std::memcpy(floats_.data() + at, source, sizeof(float) * samples);
            peak_ = std::max(peak_, static_cast<double>(Peak(floats_.data() + at, samples)));
        }
        filled_ += count;
        stereo += 2 * count;
        frames -= count;
        if (filled_ == kChunkFrames) Flush();
    }
}

void ChunkWriter::Flush() {
    if (filled_ == 0) return;
    const sf_count_t written = integer_ ? sf_writef_int(file_, integers_.data(), filled_)
                                        : sf_writef_float(file_, floats_.data(), filled_);
    if (written != filled_) throw HostError("cannot write " + name_ + ": " + sf_strerror(file_));
    filled_ = 0;
}

}  // namespace lumo::cli
