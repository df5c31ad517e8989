#include "product/PluginProcessor.h"

#include <cstring>

namespace lumo::product {

PluginProcessor::PluginProcessor(const Deliverable& deliverable, int sampleRateHz)
    : sampleRateHz_(sampleRateHz), engine_(deliverable.layout), values_(deliverable) {
    std::memset(block_, 0, sizeof block_);
    Activate();
}

void PluginProcessor::Activate() {
    engine_.Initialise(sampleRateHz_);
    engine_.ClearBandStates();
    values_.SetAllPending();
}

engine::ParameterOutcome PluginProcessor::ApplyPending() {
    if (!values_.HasPending()) return {};
    return values_.ApplyTo(engine_, sampleRateHz_);
}

void PluginProcessor::Run(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                          uint32_t frames) {
    for (uint32_t done = 0; done < frames;) {
        const uint32_t left = frames - done;
        const int n = left < static_cast<uint32_t>(kChunkFrames) ? static_cast<int>(left) : kChunkFrames;
        for (int i = 0; i < n; ++i) {
            block_[2 * i] = inLeft != nullptr ? inLeft[done + i] : 0.0f;
            block_[2 * i + 1] = inRight != nullptr ? inRight[done + i] : 0.0f;
        }
        engine_.Process(block_, n);
        for (int i = 0; i < n; ++i) {
            if (outLeft != nullptr) outLeft[done + i] = block_[2 * i];
            if (outRight != nullptr) outRight[done + i] = block_[2 * i + 1];
        }
        done += static_cast<uint32_t>(n);
    }
}

}  // namespace lumo::product
