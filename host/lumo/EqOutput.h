// The output of lumo eq: OUT opened for writing in the chosen format, into a temporary file that
// is put in place once finished (OutputFile), or into stdout as it is made where that is a pipe;
// written from stereo blocks (integer samples through the Quantiser).
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "EqStreams.h"
#include "OutputFile.h"

namespace lumo::cli {

class EqOutput {
public:
    // Opens OUT ("-": stdout) in this container and format, dithered when writing 16 bits or
    // fewer if dither is set; name is what messages call it. Throws HostError. An output that
    // is not finished leaves no file behind.
    EqOutput(const std::string& path, const std::string& name, int container,
             const SF_INFO& format, bool dither, bool force);

    void Push(const float* stereo, int frames) { writer_->Push(stereo, frames); }

    // Writes what is left, completes the file, checks that it reads back and puts it in place.
    // Throws HostError.
    void Finish();

    int64_t ClippedSamples() const { return writer_->ClippedSamples(); }
    double PeakLevel() const { return writer_->PeakLevel(); }  // largest |sample| written as float

private:
    std::string name_;
    int container_;
    // Destroyed in reverse order: the sound file closes into the sink or file before they go.
    std::optional<OutputFile> file_;
    std::unique_ptr<PipeSink> sink_;
    SoundFile sound_;
    std::optional<ChunkWriter> writer_;
};

}  // namespace lumo::cli
