// The LV2 face of the three equalisers: one binary, three descriptors (lv2/Deliverables.h).
#include "lv2/Plugin.h"

#include <cmath>
#include <cstring>
#include <new>

#include <lv2/core/lv2.h>

#include "product/Controls.h"

namespace lumo::lv2 {

Instance::Instance(const product::Deliverable& deliverable, int sampleRateHz, const LV2_Inline_Display* queueDraw)
    : portCount_(PortCount(deliverable)), queueDraw_(queueDraw), processor_(deliverable, sampleRateHz) {
    for (std::uint32_t& bits : controlBits_) bits = 0x7FC00001u;  // a quiet NaN: not read yet
}

void Instance::ConnectPort(uint32_t port, void* data) {
    if (port < static_cast<uint32_t>(portCount_)) ports_[port] = data;
}

// A control that changed between two runs is the machine's parameter call with that new value.
void Instance::ApplyControls() {
    product::ParameterValues& values = processor_.Values();
    for (int port = kFirstControlPort; port < portCount_; ++port) {
        const float* value = static_cast<const float*>(ports_[port]);
        if (value != nullptr) {
            std::uint32_t bits;
            std::memcpy(&bits, value, sizeof bits);
            if (bits == controlBits_[port]) continue;
            controlBits_[port] = bits;
        }
        const int index = ParameterOfPort(port);
        int raw = values.Raw(index);
        if (value != nullptr && product::RawOfControlValue(values.ParameterAt(index), *value, raw) &&
            raw != values.Raw(index))
            values.Set(index, raw);
    }
    const engine::ParameterOutcome outcome = processor_.ApplyPending();
    if (outcome.anyNewValue && queueDraw_ != nullptr && queueDraw_->queue_draw != nullptr)
        queueDraw_->queue_draw(queueDraw_->handle);
}

void Instance::Run(uint32_t frames) {
    ApplyControls();
    processor_.Run(static_cast<const float*>(ports_[kInLeftPort]), static_cast<const float*>(ports_[kInRightPort]),
                   static_cast<float*>(ports_[kOutLeftPort]), static_cast<float*>(ports_[kOutRightPort]), frames);
}

LV2_Inline_Display_Image_Surface* Instance::RenderDisplay(uint32_t width, uint32_t maxHeight) {
    return display_.Render(processor_.Engine().Coefficients(), processor_.SampleRateHz(), width, maxHeight);
}

namespace {

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*,
                       const LV2_Feature* const* features);

Instance* Of(LV2_Handle handle) { return static_cast<Instance*>(handle); }

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Of(handle)->ConnectPort(port, data); }
void Activate(LV2_Handle handle) { Of(handle)->Activate(); }
void Run(LV2_Handle handle, uint32_t frames) { Of(handle)->Run(frames); }
void Deactivate(LV2_Handle) {}
void Cleanup(LV2_Handle handle) { delete Of(handle); }

LV2_Inline_Display_Image_Surface* Render(LV2_Handle handle, uint32_t width, uint32_t maxHeight) {
    return Of(handle)->RenderDisplay(width, maxHeight);
}

const LV2_Inline_Display_Interface kDisplayInterface = {Render};

const void* ExtensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LUMO_LV2_INLINEDISPLAY__interface) == 0) return &kDisplayInterface;
    return nullptr;
}

#define LUMO_DESCRIPTOR(i) \
    {kPlugins[i].uri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData}
const LV2_Descriptor kDescriptors[kPluginCount] = {LUMO_DESCRIPTOR(0), LUMO_DESCRIPTOR(1), LUMO_DESCRIPTOR(2)};
#undef LUMO_DESCRIPTOR

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*,
                       const LV2_Feature* const* features) {
    int kind = 0;
    while (kind < kPluginCount && descriptor != &kDescriptors[kind]) ++kind;
    // The engine counts frames in int: any rate a host runs at, not a damaged one.
    if (kind == kPluginCount || !std::isfinite(rate) || rate < 1.0 || rate > 4.0e6) return nullptr;
    const LV2_Inline_Display* queueDraw = nullptr;
    for (int i = 0; features != nullptr && features[i] != nullptr; ++i)
        if (features[i]->URI != nullptr && std::strcmp(features[i]->URI, LUMO_LV2_INLINEDISPLAY__queue_draw) == 0)
            queueDraw = static_cast<const LV2_Inline_Display*>(features[i]->data);
    return new (std::nothrow)
        Instance(kPlugins[kind].deliverable(), static_cast<int>(std::lround(rate)), queueDraw);
}

}  // namespace
}  // namespace lumo::lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < static_cast<uint32_t>(lumo::lv2::kPluginCount) ? &lumo::lv2::kDescriptors[index] : nullptr;
}
