#include "ParamEvents.h"

#include <algorithm>

namespace lumo::clap_host {

BlockEvents::BlockEvents(std::vector<ParamChange> changes) : input_{this, Size, Get}, output_{this, TryPush} {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const ParamChange& a, const ParamChange& b) { return a.frame < b.frame; });
    for (const ParamChange& change : changes) {
        clap_event_param_value_t event{};
        event.header.size = sizeof event;
        event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
        event.header.type = CLAP_EVENT_PARAM_VALUE;
        event.param_id = change.paramId;
        event.note_id = -1;
        event.port_index = -1;
        event.channel = -1;
        event.key = -1;
        event.value = change.plainValue;
        events_.push_back(event);
        frames_.push_back(change.frame);
    }
}

void BlockEvents::SelectBlock(int64_t startFrame, uint32_t frames) {
    first_ = static_cast<size_t>(std::lower_bound(frames_.begin(), frames_.end(), startFrame) - frames_.begin());
    count_ = static_cast<size_t>(std::lower_bound(frames_.begin(), frames_.end(), startFrame + frames) - frames_.begin()) - first_;
    for (size_t i = first_; i < first_ + count_; ++i) events_[i].header.time = static_cast<uint32_t>(frames_[i] - startFrame);
}

// [audio-thread]
uint32_t BlockEvents::Size(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<const BlockEvents*>(list->ctx)->count_);
}

// [audio-thread]
const clap_event_header_t* BlockEvents::Get(const clap_input_events_t* list, uint32_t index) {
    const auto& self = *static_cast<const BlockEvents*>(list->ctx);
    return index < self.count_ ? &self.events_[self.first_ + index].header : nullptr;
}

}  // namespace lumo::clap_host
