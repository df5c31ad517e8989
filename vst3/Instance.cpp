// The instance's identity, lifecycle, buses, activation and settings chunk.
#include "vst3/Instance.h"

#include <new>

#include "product/StateChunk.h"
#include "vst3/Stream.h"
#include "vst3/Tables.h"
#include "vst3/Text.h"

namespace lumo::vst3 {
namespace {

constexpr int kDefaultRateHz = 44100;  // until the host's setupProcessing says otherwise

bool IsMainAudioBus(int32_t mediaType, int32_t direction, int32_t index) {
    return mediaType == V3_AUDIO && (direction == V3_INPUT || direction == V3_OUTPUT) && index == 0;
}

}  // namespace

Instance* Instance::Create(const product::Deliverable& deliverable) {
    std::unique_ptr<product::PluginProcessor> processor(new (std::nothrow)
                                                            product::PluginProcessor(deliverable, kDefaultRateHz));
    if (processor == nullptr) return nullptr;
    return new (std::nothrow) Instance(deliverable, std::move(processor));
}

Instance::Instance(const product::Deliverable& deliverable, std::unique_ptr<product::PluginProcessor> processor)
    : componentFace_{&kComponentTable, this},
      processorFace_{&kProcessorTable, this},
      controllerFace_{&kControllerTable, this},
      requirementsFace_{&kRequirementsTable, this},
      deliverable_(deliverable),
      settings_(deliverable),
      processor_(std::move(processor)),
      rangeShownDb_(settings_.Raw(product::kRangeParameter)) {}

Instance::~Instance() {
    if (handler_ != nullptr) v3_cpp_obj_unref(handler_);
}

v3_result Instance::Query(const v3_tuid iid, void** object) {
    if (object == nullptr) return kInvalidArgument;
    *object = nullptr;
    if (iid == nullptr) return kNoInterface;
    Face* face = nullptr;
    if (v3_tuid_match(iid, v3_funknown_iid) || v3_tuid_match(iid, v3_plugin_base_iid) ||
        v3_tuid_match(iid, v3_component_iid))
        face = &componentFace_;
    else if (v3_tuid_match(iid, v3_audio_processor_iid))
        face = &processorFace_;
    else if (v3_tuid_match(iid, v3_edit_controller_iid))
        face = &controllerFace_;
    else if (v3_tuid_match(iid, v3_process_context_requirements_iid))
        face = &requirementsFace_;
    *object = face;
    if (face == nullptr) return kNoInterface;
    Ref();
    return kResultOk;
}

uint32_t Instance::Unref() {
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

v3_result Instance::Initialise() {
    if (initialised_) return kResultFalse;
    initialised_ = true;
    return kResultOk;
}

v3_result Instance::Terminate() {
    if (!initialised_) return kResultFalse;
    initialised_ = false;
    active_ = false;
    SetComponentHandler(nullptr);
    return kResultOk;
}

int32_t Instance::BusCount(int32_t mediaType, int32_t direction) const {
    return mediaType == V3_AUDIO && (direction == V3_INPUT || direction == V3_OUTPUT) ? 1 : 0;
}

v3_result Instance::BusInfo(int32_t mediaType, int32_t direction, int32_t index, v3_bus_info* info) const {
    if (info == nullptr || !IsMainAudioBus(mediaType, direction, index)) return kInvalidArgument;
    info->media_type = V3_AUDIO;
    info->direction = direction;
    info->channel_count = 2;
    CopyToUtf16(direction == V3_INPUT ? "Stereo In" : "Stereo Out", info->bus_name, 128);
    info->bus_type = V3_MAIN;
    info->flags = V3_DEFAULT_ACTIVE;
    return kResultOk;
}

// The buses are always on: the audio runs (and rings out) whatever the host connects.
v3_result Instance::ActivateBus(int32_t mediaType, int32_t direction, int32_t index) const {
    return IsMainAudioBus(mediaType, direction, index) ? kResultOk : kInvalidArgument;
}

// Activation starts the audio afresh at the rate of the last setup: a new processor when the rate
// changed, the current settings, every band flat with no state, all values in the first engine
// call. Asking for the state the instance is in already does nothing.
v3_result Instance::SetActive(bool active) {
    if (active == active_) return kResultOk;
    if (active) {
        if (processor_->SampleRateHz() != setupRateHz_) {
            std::unique_ptr<product::PluginProcessor> processor(
                new (std::nothrow) product::PluginProcessor(deliverable_, setupRateHz_));
            if (processor == nullptr) return kOutOfMemory;
            processor_ = std::move(processor);
        }
        product::ParameterValues& values = processor_->Values();
        for (int index = 0; index < settings_.Count(); ++index)
            if (settings_.Raw(index) != values.Raw(index)) values.Set(index, settings_.Raw(index));
        processor_->Activate();
    }
    active_ = active;
    return kResultOk;
}

// A chunk is read as its layout says (header, then the count of values it names), so bytes a
// host keeps after it stay unread; a short, damaged or foreign one changes nothing.
v3_result Instance::LoadState(v3_bstream** stream) {
    if (stream == nullptr) return kInvalidArgument;
    std::uint8_t chunk[product::kMaxStateChunkBytes];
    constexpr int32_t kHeader = static_cast<int32_t>(product::kStateChunkHeaderBytes);
    if (!ReadExactly(stream, chunk, kHeader)) return kResultFalse;
    const int32_t count = chunk[kHeader - 1];
    if (count > product::kMaxParameters || !ReadExactly(stream, chunk + kHeader, count)) return kResultFalse;
    int raw[product::kMaxParameters];
    if (!product::ReadStateChunk(deliverable_, chunk, static_cast<std::size_t>(kHeader + count), raw))
        return kResultFalse;
    settings_.Load(raw);
    TellHostIfRangeChanged();
    return kResultOk;
}

v3_result Instance::SaveState(v3_bstream** stream) const {
    if (stream == nullptr) return kInvalidArgument;
    int raw[product::kMaxParameters];
    settings_.CopyTo(raw);
    std::uint8_t chunk[product::kMaxStateChunkBytes];
    const std::size_t bytes = product::WriteStateChunk(deliverable_, raw, chunk);
    return WriteAll(stream, chunk, static_cast<int32_t>(bytes)) ? kResultOk : kResultFalse;
}

}  // namespace lumo::vst3
