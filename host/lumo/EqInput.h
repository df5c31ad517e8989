// The input of lumo eq: IN opened, checked for what lumo eq takes, and read as stereo blocks.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <optional>
#include <string>

#include "EqStreams.h"

namespace lumo::cli {

class EqInput {
public:
    // Opens IN ("-": stdin, see OpenInput); name is what messages call it. Refuses more than two
    // channels and a sample rate outside 1 Hz to 768 kHz. Throws HostError.
    EqInput(const std::string& path, const std::string& name);

    const SF_INFO& Info() const { return info_; }
    int Channels() const { return info_.channels; }
    int SampleRateHz() const { return info_.samplerate; }

    // Fills up to `frames` stereo frames (mono as identical left and right); returns how many, 0
    // at the end.
    int Pull(float* stereo, int frames) { return reader_->Pull(stereo, frames); }
    // After the last Pull: whether IN held less audio than its header declares.
    bool EndedEarly() const;
    int64_t FramesRead() const { return reader_->FramesRead(); }

private:
    SoundFile sound_;
    SF_INFO info_{};
    std::optional<ChunkReader> reader_;
};

}  // namespace lumo::cli
