// The audio the host renders: a stereo file's two channels and its sample rate (libsndfile).
#pragma once

#include <string>
#include <vector>

namespace lumo::clap_host {

struct StereoAudio {
    int rate = 0;
    std::vector<float> left, right;
};

// Reads a two-channel file of any format libsndfile reads; false with the reason in error.
bool ReadStereo(const std::string& path, StereoAudio& audio, std::string& error);
// Writes a 32-bit float WAV; false with the reason in error.
bool WriteStereoFloat(const std::string& path, const StereoAudio& audio, std::string& error);

}  // namespace lumo::clap_host
