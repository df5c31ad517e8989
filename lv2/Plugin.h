// One running plug-in: an engine, the host's ports, and the raw parameter values last handed to
// the engine. The LV2 entry points (Plugin.cpp) forward to it; the tests drive it directly too.
//
// Threads, as LV2 has them: Run on the audio thread; Activate and the construction in the
// instantiation class (never concurrently with Run); RenderDisplay on the host's display thread,
// concurrently with Run: it only reads the engine's published coefficients, lock-free.
#pragma once

#include <cstdint>

#include "engine/Equaliser.h"
#include "lv2/Deliverables.h"
#include "lv2/InlineDisplay.h"
#include "lv2/Ports.h"
#include "lv2/ResponseDisplay.h"
#include "product/ParameterValues.h"

namespace lumo::lv2 {

// The most frames the engine runs per call. A host's block up to this long is one engine call, as
// one call of a Buzz host with that block length (a band turned flat rings out in whole calls, so
// the call lengths matter); a longer block goes through in pieces this long.
constexpr int kChunkFrames = 8192;

class Instance {
public:
    // sampleRateHz must be positive. queueDraw may be null (no inline display in this host).
    Instance(const product::Deliverable& deliverable, int sampleRateHz, const LV2_Inline_Display* queueDraw);

    void ConnectPort(uint32_t port, void* data);
    // Back to the start: every band flat with no state, the next Run hands the engine every
    // control at once (as the machine's first parameter call after Initialise).
    void Activate();
    void Run(uint32_t frames);
    LV2_Inline_Display_Image_Surface* RenderDisplay(uint32_t width, uint32_t maxHeight);

    // For tests: the engine's activity, states and published coefficients (read them on one
    // thread only, and not while a display renders).
    engine::Equaliser& Engine() { return engine_; }
    int SampleRateHz() const { return sampleRateHz_; }

private:
    void ApplyControls();

    const int sampleRateHz_;
    const int portCount_;
    engine::Equaliser engine_;
    const LV2_Inline_Display* queueDraw_;
    void* ports_[kMaxPorts] = {};
    product::ParameterValues values_;  // as last handed to the engine
    bool firstCall_ = true;
    float block_[2 * kChunkFrames];
    ResponseDisplay display_;
};

}  // namespace lumo::lv2
