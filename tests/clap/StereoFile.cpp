#include "StereoFile.h"

#include <sndfile.h>

namespace lumo::clap_host {

bool ReadStereo(const std::string& path, StereoAudio& audio, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels != 2) {
        sf_close(file);
        error = path + " has " + std::to_string(info.channels) + " channels, not 2";
        return false;
    }
    std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
    const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    if (got != info.frames) {
        error = path + " ends before its header says";
        return false;
    }
    audio.rate = info.samplerate;
    audio.left.resize(static_cast<size_t>(got));
    audio.right.resize(static_cast<size_t>(got));
    for (size_t i = 0; i < audio.left.size(); ++i) {
        audio.left[i] = frames[2 * i];
        audio.right[i] = frames[2 * i + 1];
    }
    return true;
}

bool WriteStereoFloat(const std::string& path, const StereoAudio& audio, std::string& error) {
    SF_INFO info{};
    info.samplerate = audio.rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    std::vector<float> frames(audio.left.size() * 2);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        frames[2 * i] = audio.left[i];
        frames[2 * i + 1] = audio.right[i];
    }
    const auto count = static_cast<sf_count_t>(audio.left.size());
    const bool written = sf_writef_float(file, frames.data(), count) == count;
    if (sf_close(file) != 0 || !written) {
        error = "cannot write all of " + path;
        return false;
    }
    return true;
}

}  // namespace lumo::clap_host
