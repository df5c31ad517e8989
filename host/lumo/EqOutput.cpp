#include "EqOutput.h"

#include <unistd.h>

#include <cstring>

#include "EqFormat.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {
namespace {

using host::HostError;

// Into a pipe the output goes as it is made, where the container allows (AIFF's header counts
// the frames, so it is made whole first, as for files).
bool StreamsIntoPipe(const std::string& path, int container) {
    return path == "-" && container != SF_FORMAT_AIFF && lseek(STDOUT_FILENO, 0, SEEK_CUR) < 0;
}

// Refuses a finished file that libsndfile cannot open again (as an Opus file without audio).
void CheckReadsBack(int descriptor, const std::string& name, int container, int64_t frames) {
    const int copy = dup(descriptor);
    SF_INFO info{};
    SNDFILE* file = copy >= 0 && lseek(copy, 0, SEEK_SET) == 0 ? sf_open_fd(copy, SFM_READ, &info, SF_TRUE) : nullptr;
    if (file != nullptr) {
        sf_close(file);
        return;
    }
    if (copy >= 0) close(copy);
    throw HostError("cannot write " + name + ": " +
                    (frames == 0 ? "the input holds no audio, and an " + ContainerName(container) +
                                       " file without audio cannot be read back"
                                 : "the file written cannot be read back (" +
                                       std::string(sf_strerror(nullptr)) + ")"));
}

}  // namespace

EqOutput::EqOutput(const std::string& path, const std::string& name, int container,
                   const SF_INFO& format, bool dither, bool force)
    : name_(name), container_(container) {
    SF_INFO opened = format;  // libsndfile writes into it
    const bool intoPipe = StreamsIntoPipe(path, container);
    if (!intoPipe) {
        file_.emplace(path, force);
        sound_.file = sf_open_fd(file_->Descriptor(), SFM_WRITE, &opened, SF_FALSE);
    } else if (container == SF_FORMAT_WAV || container == SF_FORMAT_FLAC) {
        sink_ = std::make_unique<PipeSink>(STDOUT_FILENO, container == SF_FORMAT_WAV);
        sound_.file = sf_open_virtual(sink_->Io(), SFM_WRITE, &opened, sink_.get());
    } else {
        sound_.file = sf_open_fd(STDOUT_FILENO, SFM_WRITE, &opened, SF_FALSE);  // OGG, Opus, MP3
    }
    if (sound_.file == nullptr) throw HostError("cannot write " + name + ": " + sf_strerror(nullptr));
    // A variable-rate MP3 read without its length tag (not written into a pipe) has its length
    // guessed from its first frames; at a constant rate the guess is right.
    if (intoPipe && container == SF_FORMAT_MPEG) {
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(sound_.file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }
    writer_.emplace(sound_.file, format.channels, PcmBits(format.format), dither, name);
}

void EqOutput::Finish() {
    writer_->Flush();
    const int64_t framesWritten = writer_->FramesPushed();
    // A file without audio still gets its header (FLAC and MP3 write theirs with the first frames).
    if (framesWritten == 0 && (container_ == SF_FORMAT_FLAC || container_ == SF_FORMAT_MPEG))
        sf_command(sound_.file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    const int closed = sf_close(sound_.file);
    sound_.file = nullptr;
    const int sinkError = sink_ != nullptr ? sink_->Error() : 0;
    if (closed != 0 || sinkError != 0)
        throw HostError("cannot finish writing " + name_ +
                        (sinkError != 0 ? std::string(": ") + std::strerror(sinkError) : ""));
    if (file_) {
        CheckReadsBack(file_->Descriptor(), name_, container_, framesWritten);
        file_->Commit();
    }
}

}  // namespace lumo::cli
