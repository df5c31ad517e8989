#include "Render.h"

#include <clap/ext/audio-ports.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace lumo::clap_host {
namespace {

// One stereo input and one stereo output port, as the host provides.
bool HasStereoPorts(const clap_plugin_t& plugin, std::string& error) {
    const auto* ports = static_cast<const clap_plugin_audio_ports_t*>(plugin.get_extension(&plugin, CLAP_EXT_AUDIO_PORTS));
    for (bool input : {true, false}) {
        clap_audio_port_info_t info{};
        if (ports == nullptr || ports->count(&plugin, input) != 1 || !ports->get(&plugin, 0, input, &info) ||
            info.channel_count != 2) {
            error = "lumo-clap-host runs plug-ins with one stereo input port and one stereo output port";
            return false;
        }
    }
    return true;
}

bool FindParam(const clap_plugin_t& plugin, const clap_plugin_params_t& params, clap_id id, clap_param_info_t& info) {
    const uint32_t count = params.count(&plugin);
    for (uint32_t i = 0; i < count; ++i)
        if (params.get_info(&plugin, i, &info) && info.id == id) return true;
    return false;
}

// The audio thread's part: start_processing, every block, stop_processing.
bool ProcessAll(const clap_plugin_t& plugin, const StereoAudio& in, const RenderSettings& settings, StereoAudio& out,
                std::string& error) {
    TestHost::BecomeAudioThread();
    if (!plugin.start_processing(&plugin)) {
        error = "start_processing failed";
        return false;
    }
    BlockEvents events(settings.changes);
    std::vector<float> inLeft(settings.blockFrames), inRight(settings.blockFrames);
    float* inChannels[2] = {inLeft.data(), inRight.data()};
    float* outChannels[2] = {nullptr, nullptr};
    clap_audio_buffer_t input{inChannels, nullptr, 2, 0, 0};
    clap_audio_buffer_t output{outChannels, nullptr, 2, 0, 0};
    clap_process_t process = StereoProcess(input, output, events);
    bool ok = true;
    const size_t total = in.left.size();
    for (size_t start = 0; start < total && ok; start += settings.blockFrames) {
        const auto frames = static_cast<uint32_t>(std::min<size_t>(settings.blockFrames, total - start));
        std::copy_n(in.left.begin() + static_cast<std::ptrdiff_t>(start), frames, inLeft.begin());
        std::copy_n(in.right.begin() + static_cast<std::ptrdiff_t>(start), frames, inRight.begin());
        outChannels[0] = out.left.data() + start;
        outChannels[1] = out.right.data() + start;
        events.SelectBlock(static_cast<int64_t>(start), frames);
        process.steady_time = static_cast<int64_t>(start);
        process.frames_count = frames;
        if (plugin.process(&plugin, &process) == CLAP_PROCESS_ERROR) {
            error = "process returned CLAP_PROCESS_ERROR at frame " + std::to_string(start);
            ok = false;
        }
    }
    plugin.stop_processing(&plugin);
    return ok;
}

}  // namespace

bool CheckChanges(const LoadedPlugin& loaded, const std::vector<ParamChange>& changes, int64_t fileFrames,
                  std::string& error) {
    const clap_plugin_params_t* params = loaded.Params();
    for (const ParamChange& change : changes) {
        clap_param_info_t info{};
        const std::string what = "parameter " + std::to_string(change.paramId);
        if (params == nullptr || !FindParam(loaded.Plugin(), *params, change.paramId, info)) {
            error = "the plug-in has no " + what;
            return false;
        }
        if (!std::isfinite(change.plainValue) || change.plainValue < info.min_value || change.plainValue > info.max_value) {
            error = what + " (" + info.name + ") takes " + std::to_string(info.min_value) + " to " +
                    std::to_string(info.max_value) + ", not " + std::to_string(change.plainValue);
            return false;
        }
        if (change.frame < 0 || change.frame > std::max<int64_t>(fileFrames - 1, 0)) {
            error = "frame " + std::to_string(change.frame) + " is not in the file (" + std::to_string(fileFrames) + " frames)";
            return false;
        }
    }
    return true;
}

bool Render(const LoadedPlugin& loaded, TestHost& host, const StereoAudio& in, const RenderSettings& settings,
            StereoAudio& out, std::string& error) {
    const clap_plugin_t& plugin = loaded.Plugin();
    if (!HasStereoPorts(plugin, error)) return false;
    if (!plugin.activate(&plugin, settings.sampleRate, 1, settings.blockFrames)) {
        error = "activate failed at " + std::to_string(settings.sampleRate) + " Hz";
        return false;
    }
    host.ServeCallbackRequest(plugin);
    out.rate = in.rate;
    out.left.assign(in.left.size(), 0.0f);
    out.right.assign(in.right.size(), 0.0f);
    bool ok = false;
    std::thread audio([&] { ok = ProcessAll(plugin, in, settings, out, error); });
    audio.join();
    host.ServeCallbackRequest(plugin);
    plugin.deactivate(&plugin);
    return ok;
}

}  // namespace lumo::clap_host
