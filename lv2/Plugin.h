// One running plug-in: the shared plug-in processor (an engine and its parameter values) and the
// host's ports. The LV2 entry points (Plugin.cpp) forward to it; the tests drive it directly too.
//
// Threads, as LV2 has them: Run on the audio thread; Activate and the construction in the
// instantiation class (never concurrently with Run); RenderDisplay on the host's display thread,
// concurrently with Run: it only reads the engine's published coefficients, lock-free.
#pragma once

#include <cstdint>

#include "lv2/Deliverables.h"
#include "lv2/InlineDisplay.h"
#include "lv2/Ports.h"
#include "lv2/ResponseDisplay.h"
#include "product/PluginProcessor.h"

namespace lumo::lv2 {

// A host block up to this long is one engine call; longer blocks go through in pieces.
constexpr int kChunkFrames = product::PluginProcessor::kChunkFrames;

class Instance {
public:
    // sampleRateHz must be positive. queueDraw may be null (no inline display in this host).
    Instance(const product::Deliverable& deliverable, int sampleRateHz, const LV2_Inline_Display* queueDraw);

    void ConnectPort(uint32_t port, void* data);
    // Back to the start: every band flat with no state, the next Run hands the engine every
    // control at once (as the machine's first parameter call after Initialise).
    void Activate() { processor_.Activate(); }
    void Run(uint32_t frames);
    LV2_Inline_Display_Image_Surface* RenderDisplay(uint32_t width, uint32_t maxHeight);

    // For tests: the engine's activity, states and published coefficients (read them on one
    // thread only, and not while a display renders).
    engine::Equaliser& Engine() { return processor_.Engine(); }
    int SampleRateHz() const { return processor_.SampleRateHz(); }

private:
    void ApplyControls();

    const int portCount_;
    const LV2_Inline_Display* queueDraw_;
    void* ports_[kMaxPorts] = {};
    // Each control port's value as last read, bit for bit: a control that has not moved since
    // is not converted again (a NaN, which no control converts from, marks "not read yet").
    std::uint32_t controlBits_[kMaxPorts];
    product::PluginProcessor processor_;
    ResponseDisplay display_;
};

}  // namespace lumo::lv2
