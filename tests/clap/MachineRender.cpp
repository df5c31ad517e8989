// The reference for the CLAP plug-ins' automation: a machine's plug-in file driven through the
// reference host over a stereo float WAV in blocks of N frames, each block split at the frames
// where a parameter changes, the change being the machine's parameter call there.
//   lumo-machine-render PLUGIN_FILE IN.wav OUT.wav [--block N] [--set INDEX=RAW]... [--at FRAME:INDEX=RAW]...
// OUT is as long as IN (no tail), 32-bit float.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"

namespace {

using Changes = std::vector<std::pair<int, int>>;  // index, raw

bool ParseChange(const char* text, Changes& changes) {
    int index = 0, raw = 0;
    if (std::sscanf(text, "%d=%d", &index, &raw) != 2) return false;
    changes.emplace_back(index, raw);
    return true;
}

int Run(int argc, char** argv) {
    if (argc < 4) return 2;
    int block = 256;
    Changes initial;
    std::map<long, Changes> at;  // frame: changes
    for (int i = 4; i + 1 < argc; i += 2) {
        long frame = 0;
        int consumed = 0;
        if (std::strcmp(argv[i], "--block") == 0) {
            block = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--set") == 0) {
            if (!ParseChange(argv[i + 1], initial)) return 2;
        } else if (std::strcmp(argv[i], "--at") == 0 && std::sscanf(argv[i + 1], "%ld:%n", &frame, &consumed) == 1) {
            if (!ParseChange(argv[i + 1] + consumed, at[frame])) return 2;
        } else {
            return 2;
        }
    }
    SF_INFO info{};
    SNDFILE* in = sf_open(argv[2], SFM_READ, &info);
    if (in == nullptr || info.channels != 2 || block < 1) return 2;
    std::vector<float> audio(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(in, audio.data(), info.frames);
    sf_close(in);

    lumo::host::PluginLibrary library(argv[1]);
    lumo::host::HostSettings settings;
    settings.sampleRateHz = info.samplerate;
    settings.maxBlockFrames = block;
    lumo::host::HostedMachine machine(library, settings);
    machine.Initialise();
    for (const auto& [index, raw] : initial) machine.SetParameter(index, raw);
    for (long start = 0; start < info.frames; start += block) {
        const long end = std::min<long>(start + block, info.frames);
        for (long from = start; from < end;) {
            long to = end;
            auto next = at.upper_bound(from);
            if (next != at.end() && next->first < end) to = next->first;
            auto here = at.find(from);
            if (here != at.end())
                for (const auto& [index, raw] : here->second) machine.SetParameter(index, raw);
            machine.ApplyParameters();
            machine.ProcessAudio(audio.data() + 2 * from, static_cast<int>(to - from), lumo::abi::kModeInput);
            from = to;
        }
    }

    SF_INFO outInfo{};
    outInfo.samplerate = info.samplerate;
    outInfo.channels = 2;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* out = sf_open(argv[3], SFM_WRITE, &outInfo);
    if (out == nullptr) return 1;
    const sf_count_t written = sf_writef_float(out, audio.data(), info.frames);
    sf_close(out);
    return written == info.frames ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int status = Run(argc, argv);
        if (status == 2)
            std::fprintf(stderr, "usage: lumo-machine-render PLUGIN_FILE IN.wav OUT.wav [--block N] "
                                 "[--set INDEX=RAW]... [--at FRAME:INDEX=RAW]...\n");
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo-machine-render: %s\n", e.what());
        return 1;
    }
}
