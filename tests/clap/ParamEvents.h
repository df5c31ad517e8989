// Parameter changes as CLAP input events, block by block: each change at its frame of the file,
// given to the plug-in in the block that holds that frame, at its offset within the block.
#pragma once

#include <clap/events.h>
#include <clap/process.h>

#include <cstdint>
#include <vector>

namespace lumo::clap_host {

struct ParamChange {
    int64_t frame;  // from the start of the file
    clap_id paramId;
    double plainValue;
};

class BlockEvents {
public:
    // The changes in time order (those at one frame in the order given).
    explicit BlockEvents(std::vector<ParamChange> changes);
    BlockEvents(const BlockEvents&) = delete;
    BlockEvents& operator=(const BlockEvents&) = delete;

    // Makes Input() list the changes in [startFrame, startFrame + frames).
    void SelectBlock(int64_t startFrame, uint32_t frames);
    const clap_input_events_t* Input() const { return &input_; }
    // A list that takes every event the plug-in sends and keeps none.
    const clap_output_events_t* Output() const { return &output_; }

private:
    static uint32_t Size(const clap_input_events_t* list);
    static const clap_event_header_t* Get(const clap_input_events_t* list, uint32_t index);
    static bool TryPush(const clap_output_events_t*, const clap_event_header_t*) { return true; }

    std::vector<int64_t> frames_;
    std::vector<clap_event_param_value_t> events_;
    size_t first_ = 0;
    size_t count_ = 0;
    clap_input_events_t input_;
    clap_output_events_t output_;
};

// A process call's arguments for one audio port each way, with these buffers and the events of
// `events` (the frame count and steady time are the caller's to fill in per block).
inline clap_process_t StereoProcess(clap_audio_buffer_t& input, clap_audio_buffer_t& output,
                                    const BlockEvents& events) {
    clap_process_t process{};
    process.audio_inputs = &input;
    process.audio_outputs = &output;
    process.audio_inputs_count = process.audio_outputs_count = 1;
    process.in_events = events.Input();
    process.out_events = events.Output();
    return process;
}

}  // namespace lumo::clap_host
