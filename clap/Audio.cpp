// The audio side: process (the host's events at their sample offsets, the channels through the
// engine, silence flags), the audio ports, latency and tail.
#include <algorithm>
#include <cstdio>

#include "clap/Extensions.h"
#include "clap/PlainValues.h"
#include "clap/Plugin.h"
#include "engine/FloatEnvironment.h"

namespace lumo::clap {
namespace {

constexpr uint32_t kStereo = 2;

// Channel c of the host's first (only) port, or null where the host gave none.
float* ChannelOf(const clap_audio_buffer_t* ports, uint32_t portCount, uint32_t c) {
    if (ports == nullptr || portCount == 0 || ports->data32 == nullptr || ports->channel_count <= c) return nullptr;
    return ports->data32[c];
}

template <typename T>
T* From(T* channel, uint32_t frame) {
    return channel != nullptr ? channel + frame : nullptr;
}

}  // namespace

bool Plugin::TakeEvent(const clap_event_header_t* event, int& index, int& raw) {
    if (event == nullptr || event->space_id != CLAP_CORE_EVENT_SPACE_ID || event->type != CLAP_EVENT_PARAM_VALUE ||
        event->size < sizeof(clap_event_param_value_t))
        return false;
    const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
    if (!Knows(change->param_id)) return false;
    index = static_cast<int>(change->param_id);
    if (!RawOfPlain(parameters_[index], change->value, raw)) return false;
    Publish(index, raw);
    return true;
}

void Plugin::TakeSharedValues(product::ParameterValues& audio) {
    if (!sharedChanged_.exchange(false, std::memory_order_acquire)) return;
    for (int i = 0; i < count_; ++i) {
        const int raw = RawValue(i);
        if (raw != audio.Raw(i)) audio.Set(i, raw);
    }
}

// Every event takes effect at its frame: the block is split where a value changes, and all the
// changes at one frame are one engine call. An event before the one above it acts where it is
// met; events at or past the block's end act from the next block on. As the LV2 face, a value
// the engine already has is no new parameter call. Allocates nothing and takes no lock.
clap_process_status Plugin::Process(const clap_process_t* process) {
    if (process == nullptr || !active_.load(std::memory_order_relaxed) || processor_ == nullptr)
        return CLAP_PROCESS_ERROR;
    product::PluginProcessor& audio = *processor_;
    TakeSharedValues(audio.Values());
    // Flush-to-zero and denormals-are-zero once for every piece of a block split at events.
    const engine::DenormalsOff denormalsOff;

    const uint32_t frames = process->frames_count;
    const clap_audio_buffer_t* input = process->audio_inputs_count > 0 ? process->audio_inputs : nullptr;
    clap_audio_buffer_t* output = process->audio_outputs_count > 0 ? process->audio_outputs : nullptr;
    const float* in[kStereo];
    float* out[kStereo];
    bool constantIn[kStereo];
    bool silentIn = true;
    for (uint32_t c = 0; c < kStereo; ++c) {
        in[c] = ChannelOf(input, process->audio_inputs_count, c);
        out[c] = ChannelOf(output, process->audio_outputs_count, c);
        // A constant channel holds its first sample throughout; a missing one is silence.
        constantIn[c] = in[c] == nullptr || (input->constant_mask & (uint64_t{1} << c)) != 0;
        const float level = in[c] != nullptr && frames > 0 ? in[c][0] : 0.0f;
        if (!constantIn[c] || level != 0.0f) silentIn = false;
        if (in[c] != nullptr && constantIn[c] && out[c] != nullptr) {
            std::fill(out[c], out[c] + frames, level);
            in[c] = out[c];
        }
    }

    bool asleepThroughout = true;
    uint32_t done = 0;
    auto runTo = [&](uint32_t end) {
        audio.ApplyPending();
        // Every band asleep before the run: the run passes its input through.
        asleepThroughout = asleepThroughout && audio.PassedUnchanged();
        audio.Run(From(in[0], done), From(in[1], done), From(out[0], done), From(out[1], done), end - done);
        done = end;
    };
    const clap_input_events_t* events = process->in_events;
    const uint32_t eventCount = events != nullptr && events->size != nullptr ? events->size(events) : 0;
    uint32_t at = 0;
    for (uint32_t i = 0; i < eventCount; ++i) {
        const clap_event_header_t* event = events->get(events, i);
        if (event != nullptr) at = std::max(at, std::min(event->time, frames));
        int index = 0, raw = 0;
        if (!TakeEvent(event, index, raw) || raw == audio.Values().Raw(index)) continue;
        if (at > done) runTo(at);
        audio.Values().Set(index, raw);
    }
    if (frames > done) runTo(frames);

    if (output == nullptr || out[0] == nullptr || out[1] == nullptr) return CLAP_PROCESS_ERROR;
    output->constant_mask = 0;
    for (uint32_t c = 0; c < kStereo; ++c)
        if (asleepThroughout && constantIn[c]) output->constant_mask |= uint64_t{1} << c;
    // Silence in, every band asleep: nothing to do until an event or sound arrives.
    return asleepThroughout && silentIn ? CLAP_PROCESS_SLEEP : CLAP_PROCESS_CONTINUE;
}

const clap_plugin_audio_ports_t kAudioPorts = {
    // The host, on the main thread: one port each way.
    [](const clap_plugin_t*, bool) -> uint32_t { return 1; },
    // The host, on the main thread: the stereo port, which may share its buffers with its pair.
    [](const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
        if (index != 0 || info == nullptr) return false;
        *info = {};
        info->id = 0;
        std::snprintf(info->name, sizeof info->name, "%s", isInput ? "Stereo In" : "Stereo Out");
        info->flags = CLAP_AUDIO_PORT_IS_MAIN;
        info->channel_count = kStereo;
        info->port_type = CLAP_PORT_STEREO;
        info->in_place_pair = 0;
        return true;
    },
};

const clap_plugin_latency_t kLatency = {
    // The host, on the main thread: the output is never late.
    [](const clap_plugin_t*) -> uint32_t { return 0; },
};

const PluginTail kTail = {
    // The host, on the main or audio thread: the ring-out at the active sample rate.
    [](const clap_plugin_t* p) { return Plugin::Of(p)->TailFrames(); },
};

}  // namespace lumo::clap
