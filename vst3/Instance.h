// One plug-in instance: a single object that is the component, the audio processor and the edit
// controller (a single-component effect), so that the settings chunk holds what the controller
// has. The host-facing tables (Tables.cpp) forward to these methods.
//
// Threads, as VST3 has them: the controller, state, activation and setup calls on the host's
// main thread; Process (and SetProcessing) on its audio thread, never during activation or
// setup. The two sides share only the Settings (atomics); the audio side owns the processor.
#pragma once

#include <atomic>
#include <memory>

#include "product/PluginProcessor.h"
#include "vst3/Interfaces.h"
#include "vst3/Settings.h"

namespace lumo::vst3 {

class Instance;

// What a host holds for one of the instance's interfaces: a pointer to this, whose first field
// is the interface's table.
struct Face {
    const void* table;
    Instance* owner;
};

class Instance {
public:
    // Null when memory runs out. The count of references starts at 0.
    static Instance* Create(const product::Deliverable& deliverable);
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // FUnknown
    v3_result Query(const v3_tuid iid, void** object);
    uint32_t Ref() { return ++references_; }
    uint32_t Unref();

    // IPluginBase (the component's and the controller's: one object, one lifecycle)
    v3_result Initialise();
    v3_result Terminate();

    // IComponent
    int32_t BusCount(int32_t mediaType, int32_t direction) const;
    v3_result BusInfo(int32_t mediaType, int32_t direction, int32_t index, v3_bus_info* info) const;
    v3_result ActivateBus(int32_t mediaType, int32_t direction, int32_t index) const;
    v3_result SetActive(bool active);
    // Component setState, controller setComponentState and setState: the same chunk.
    v3_result LoadState(v3_bstream** stream);
    v3_result SaveState(v3_bstream** stream) const;

    // IAudioProcessor
    v3_result SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t inputCount,
                                 const v3_speaker_arrangement* outputs, int32_t outputCount) const;
    v3_result BusArrangement(int32_t direction, int32_t index, v3_speaker_arrangement* arrangement) const;
    v3_result SetupProcessing(const v3_process_setup* setup);
    v3_result Process(v3_process_data* data);
    uint32_t TailSamples() const { return static_cast<uint32_t>(processor_->TailFrames()); }

    // IEditController
    int32_t ParameterCount() const { return settings_.Count(); }
    v3_result ParameterInfo(int32_t index, v3_param_info* info) const;
    v3_result TextOfValue(v3_param_id id, double normalised, int16_t* text) const;
    v3_result ValueOfText(v3_param_id id, const int16_t* text, double* normalised) const;
    double ToPlain(v3_param_id id, double normalised) const;
    double ToNormalised(v3_param_id id, double plain) const;
    double Normalised(v3_param_id id) const;
    v3_result SetNormalised(v3_param_id id, double normalised);
    v3_result SetComponentHandler(v3_component_handler** handler);

    // For tests: the audio side (read it on the audio thread only).
    product::PluginProcessor& Processor() { return *processor_; }

private:
    Instance(const product::Deliverable& deliverable, std::unique_ptr<product::PluginProcessor> processor);
    ~Instance();

    bool Known(v3_param_id id) const { return id < static_cast<v3_param_id>(settings_.Count()); }
    void TellHostIfRangeChanged();
    void TakeLoadedSettings();

    Face componentFace_;
    Face processorFace_;
    Face controllerFace_;
    Face requirementsFace_;
    std::atomic<uint32_t> references_{0};

    const product::Deliverable& deliverable_;
    Settings settings_;
    std::unique_ptr<product::PluginProcessor> processor_;

    // Main thread.
    bool initialised_ = false;
    bool active_ = false;
    int setupRateHz_ = 44100;
    int rangeShownDb_;  // the Range the host last heard of
    v3_component_handler** handler_ = nullptr;
};

}  // namespace lumo::vst3
