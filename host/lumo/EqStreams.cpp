#include "EqStreams.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <thread>

#include "OutputFile.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {
namespace {

using host::HostError;

// Reads up to count bytes, retrying after interruptions; the count read (short only at the end),
// or -1 on an error.
ssize_t ReadAll(int descriptor, char* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t got = read(descriptor, bytes + done, count - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Whether libsndfile reads a stream that starts with these bytes front to back, from a pipe:
// WAV, AIFF, and OGG (Vorbis, Opus). FLAC, MP3 and the rest need seeking.
bool ReadsSequentially(const std::string& head) {
    if (head.size() < 12) return false;
    const std::string form = head.substr(8, 4);
    if ((head.compare(0, 4, "RIFF") == 0 || head.compare(0, 4, "RIFX") == 0) && form == "WAVE") return true;
    if (head.compare(0, 4, "FORM") == 0 && (form == "AIFF" || form == "AIFC")) return true;
    return head.compare(0, 4, "OggS") == 0;
}

// stdin as a stream libsndfile reads from a pipe: the bytes already read, then the rest of stdin
// as it comes, passed on by a thread of its own through a socket pair (a socket, so that the
// thread gets an error instead of SIGPIPE once the reading end is closed). The descriptor, or -1.
int StreamStdin(std::string head) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return -1;
    std::thread([head = std::move(head), to = ends[1]] {
        auto sendAll = [to](const char* bytes, size_t count) {
            while (count > 0) {
                const ssize_t sent = send(to, bytes, count, MSG_NOSIGNAL);
                if (sent < 0 && errno == EINTR) continue;
                if (sent <= 0) return false;
                bytes += sent;
                count -= static_cast<size_t>(sent);
            }
            return true;
        };
        std::vector<char> chunk(1 << 16);
        for (bool open = sendAll(head.data(), head.size()); open;) {
            const ssize_t count = read(STDIN_FILENO, chunk.data(), chunk.size());
            if (count < 0 && errno == EINTR) continue;
            open = count > 0 && sendAll(chunk.data(), static_cast<size_t>(count));
        }
        close(to);
    }).detach();  // it ends with stdin, or with the first send after the reader has gone
    return ends[0];
}

// stdin (after the bytes already read) copied into an unnamed temporary file, rewound; the
// descriptor. Throws HostError past kSpoolLimitBytes or on an error.
int SpoolStdin(const std::string& head) {
    std::FILE* unnamed = std::tmpfile();
    const int descriptor = unnamed != nullptr ? dup(fileno(unnamed)) : -1;
    if (unnamed != nullptr) std::fclose(unnamed);
    if (descriptor < 0) throw HostError(std::string("cannot spool stdin: ") + std::strerror(errno));
    std::vector<char> chunk(1 << 20);
    int64_t total = static_cast<int64_t>(head.size());
    bool written = WriteAll(descriptor, head.data(), head.size());
    for (ssize_t count = 1; written && count > 0;) {
        count = ReadAll(STDIN_FILENO, chunk.data(), chunk.size());
        if (count < 0) break;
        total += count;
        if (total > kSpoolLimitBytes) {
            close(descriptor);
            throw HostError("stdin: this format needs seeking, so it is held in a temporary file, "
                            "which passed " + std::to_string(kSpoolLimitBytes >> 30) +
                            " GiB; give it as a file, or as WAV, AIFF or OGG");
        }
        written = WriteAll(descriptor, chunk.data(), static_cast<size_t>(count));
        if (written && count == 0 && lseek(descriptor, 0, SEEK_SET) == 0) return descriptor;
    }
    const int error = errno;
    close(descriptor);
    throw HostError(std::string("cannot spool stdin: ") + std::strerror(error));
}

// The WAV header of a stream of unknown length: RIFF and data sizes 0xFFFFFFFF, as other tools
// write to pipes. bytes is libsndfile's first write, the whole header.
void MarkLengthUnknown(char* bytes, size_t count) {
    if (count < 12 || std::memcmp(bytes, "RIFF", 4) != 0) return;
    std::memset(bytes + 4, 0xFF, 4);
    for (size_t at = 12; at + 8 <= count;) {
        uint32_t size = 0;
        for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes[at + 4 + i]);
        if (std::memcmp(bytes + at, "data", 4) == 0) {
            std::memset(bytes + at + 4, 0xFF, 4);
            return;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);
    }
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
        int descriptor = -1;
        struct stat status {};
        if (fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode) &&
            lseek(STDIN_FILENO, 0, SEEK_CUR) == 0) {
            descriptor = dup(STDIN_FILENO);  // a file given as stdin: read as any file
        } else {
            std::string head(12, '\0');
            const ssize_t count = ReadAll(STDIN_FILENO, head.data(), head.size());
            if (count < 0) throw HostError(std::string("cannot read stdin: ") + std::strerror(errno));
            head.resize(static_cast<size_t>(count));
            descriptor = ReadsSequentially(head) ? StreamStdin(head) : SpoolStdin(head);
        }
        if (descriptor < 0) throw HostError(std::string("cannot read stdin: ") + std::strerror(errno));
        sound.file = sf_open_fd(descriptor, SFM_READ, &info, SF_TRUE);
        if (sound.file == nullptr) close(descriptor);
    }
    if (sound.file == nullptr) throw HostError("cannot read " + name + ": " + sf_strerror(nullptr));
}

PipeSink::PipeSink(int descriptor, bool wav) : descriptor_(descriptor), wav_(wav) {
    io_.get_filelen = [](void* self) -> sf_count_t {
        const PipeSink& sink = *static_cast<PipeSink*>(self);
        return std::max(sink.sent_, sink.position_);
    };
    io_.seek = [](sf_count_t offset, int whence, void* self) -> sf_count_t {
        PipeSink& sink = *static_cast<PipeSink*>(self);
        const sf_count_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? sink.position_ : sink.sent_;
        sink.position_ = std::max<sf_count_t>(0, from + offset);
        return sink.position_;
    };
    io_.read = [](void*, sf_count_t, void*) -> sf_count_t { return 0; };
    io_.write = [](const void* bytes, sf_count_t count, void* self) -> sf_count_t {
        return static_cast<PipeSink*>(self)->Write(static_cast<const char*>(bytes), count);
    };
    io_.tell = [](void* self) -> sf_count_t { return static_cast<PipeSink*>(self)->position_; };
}

sf_count_t PipeSink::Write(const char* bytes, sf_count_t count) {
    const sf_count_t asked = count;
    // Behind the front (a header written again): dropped.
    const sf_count_t behind = std::min(count, std::max<sf_count_t>(0, sent_ - position_));
    position_ += behind;
    bytes += behind;
    count -= behind;
    if (count == 0) return asked;
    if (position_ > sent_) {  // ahead of the front: zeros up to it
        const std::vector<char> zeros(static_cast<size_t>(position_ - sent_), 0);
        if (!WriteAll(descriptor_, zeros.data(), zeros.size())) return Failed();
        sent_ = position_;
    }
    std::vector<char> header;
    if (wav_ && sent_ == 0) {
        header.assign(bytes, bytes + count);
        MarkLengthUnknown(header.data(), header.size());
        bytes = header.data();
    }
    if (!WriteAll(descriptor_, bytes, static_cast<size_t>(count))) return Failed();
    sent_ += count;
    position_ += count;
    return asked;
}

sf_count_t PipeSink::Failed() {
    error_ = errno;
    return 0;
}

bool EndsEarly(SNDFILE* file, const SF_INFO& info, int64_t framesRead) {
    if (sf_error(file) != SF_ERR_NO_ERROR) return true;
    std::string log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    std::istringstream lines(log.c_str());
    bool lengthUnknown = false, shorter = false;
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        const bool dataChunk = line.compare(start, 4, "data") == 0 || line.compare(start, 4, "SSND") == 0;
        // A stream of unknown length (as written to a pipe) declares the largest size.
        if (dataChunk && line.find(": 4294967295") != std::string::npos) lengthUnknown = true;
        else if (dataChunk && line.find("(should be") != std::string::npos) shorter = true;
        if (line.find("ended unexpectedly") != std::string::npos) return true;
    }
    if (lengthUnknown) return false;
    return shorter || (info.frames != SF_COUNT_MAX && framesRead < info.frames);
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
    pushed_ += frames;
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
    if (written != filled_) {
        // "System error : File too large." -> "File too large"
        std::string reason = sf_strerror(file_);
        if (reason.rfind("System error : ", 0) == 0) reason.erase(0, 15);
        if (!reason.empty() && reason.back() == '.') reason.pop_back();
        throw HostError("cannot write " + name_ + ": " + reason);
    }
    filled_ = 0;
}

}  // namespace lumo::cli
