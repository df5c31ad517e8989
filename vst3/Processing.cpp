// The audio side: bus arrangements, setup, and process() with the host's parameter changes taken
// at their sample offsets (the block split there, all changes at one offset in one engine call).
#include "vst3/Instance.h"

#include <cmath>

#include "engine/FloatEnvironment.h"
#include "vst3/HostChanges.h"
#include "vst3/Normalised.h"

namespace lumo::vst3 {
namespace {

// The host's main buses as channels; a channel the host flags silent reads as silence.
struct Channels {
    const float* in[2] = {nullptr, nullptr};
    float* out[2] = {nullptr, nullptr};
    int outCount = 0;

    explicit Channels(const v3_process_data& data) {
        if (data.num_input_buses > 0 && data.inputs != nullptr && data.inputs[0].channel_buffers_32 != nullptr) {
            const v3_audio_bus_buffers& bus = data.inputs[0];
            for (int c = 0; c < 2 && c < bus.num_channels; ++c)
                if ((bus.channel_silence_bitset & (uint64_t{1} << c)) == 0) in[c] = bus.channel_buffers_32[c];
        }
        if (data.num_output_buses > 0 && data.outputs != nullptr && data.outputs[0].channel_buffers_32 != nullptr) {
            const v3_audio_bus_buffers& bus = data.outputs[0];
            for (; outCount < 2 && outCount < bus.num_channels; ++outCount)
                out[outCount] = bus.channel_buffers_32[outCount];
        }
    }
    bool InputSilent() const { return in[0] == nullptr && in[1] == nullptr; }
};

const float* At(const float* channel, int32_t frame) { return channel != nullptr ? channel + frame : nullptr; }
float* At(float* channel, int32_t frame) { return channel != nullptr ? channel + frame : nullptr; }

}  // namespace

v3_result Instance::SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t inputCount,
                                       const v3_speaker_arrangement* outputs, int32_t outputCount) const {
    if ((inputCount > 0 && inputs == nullptr) || (outputCount > 0 && outputs == nullptr)) return kInvalidArgument;
    const bool stereo = inputCount == 1 && outputCount == 1 && inputs[0] == kStereo && outputs[0] == kStereo;
    return stereo ? kResultOk : kResultFalse;
}

v3_result Instance::BusArrangement(int32_t direction, int32_t index, v3_speaker_arrangement* arrangement) const {
    if (arrangement == nullptr || (direction != V3_INPUT && direction != V3_OUTPUT) || index != 0)
        return kInvalidArgument;
    *arrangement = kStereo;
    return kResultOk;
}

// The rate takes effect at the next activation. The engine counts frames in int: any rate a host
// runs at is taken, not a damaged one.
v3_result Instance::SetupProcessing(const v3_process_setup* setup) {
    if (setup == nullptr) return kInvalidArgument;
    if (setup->symbolic_sample_size != V3_SAMPLE_32 || !std::isfinite(setup->sample_rate) ||
        setup->sample_rate < 1.0 || setup->sample_rate > 4.0e6)
        return kResultFalse;
    setupRateHz_ = static_cast<int>(std::lround(setup->sample_rate));
    return kResultOk;
}

// A state loaded on the main thread: its values that differ become the next engine call.
void Instance::TakeLoadedSettings() {
    product::ParameterValues& values = processor_->Values();
    for (int index = 0; index < settings_.Count(); ++index)
        if (settings_.Raw(index) != values.Raw(index)) values.Set(index, settings_.Raw(index));
}

// Allocates nothing and takes no lock. A value that changes is the machine's parameter call with
// that new value at its offset (a repeated value is no change); the controller's settings follow.
// The output is flagged silent when the input was and every band slept through the block.
v3_result Instance::Process(v3_process_data* data) {
    if (data == nullptr || data->nframes < 0 || data->symbolic_sample_size != V3_SAMPLE_32) return kInvalidArgument;
    if (settings_.TakeLoad()) TakeLoadedSettings();
    product::PluginProcessor& audio = *processor_;
    product::ParameterValues& values = audio.Values();
    // Flush-to-zero and denormals-are-zero once for every piece of a block split at changes.
    const engine::DenormalsOff denormalsOff;
    auto take = [&](int index, double normalised) {
        int raw = 0;
        if (!RawOfNormalised(values.ParameterAt(index), normalised, raw)) return;  // not finite: ignored
        if (raw != values.Raw(index)) values.Set(index, raw);
        settings_.Store(index, raw);
    };

    const Channels io(*data);
    HostChanges changes(data->input_params, settings_.Count());
    const int32_t frames = data->nframes;
    bool unchanged = true;
    for (int32_t done = 0;;) {
        const int32_t next = changes.TakeUpTo(done, take);
        audio.ApplyPending();
        const int32_t end = next < frames ? next : frames;
        if (end > done) {
            const bool asleep = audio.PassedUnchanged();
            audio.Run(At(io.in[0], done), At(io.in[1], done), At(io.out[0], done), At(io.out[1], done),
                      static_cast<uint32_t>(end - done));
            // A band falls asleep at an engine call's start: then the whole call passed unchanged.
            const bool oneCall = end - done <= product::PluginProcessor::kChunkFrames;
            unchanged = unchanged && (asleep || (audio.PassedUnchanged() && oneCall));
            done = end;
        }
        if (done >= frames) break;
    }
    // Points at or after the block's end take effect from the next block on.
    changes.TakeUpTo(HostChanges::kNone - 1, take);
    audio.ApplyPending();

    if (io.outCount > 0)
        data->outputs[0].channel_silence_bitset = io.InputSilent() && unchanged ? (uint64_t{1} << io.outCount) - 1 : 0;
    return kResultOk;
}

}  // namespace lumo::vst3
