// The instance's interfaces as hosts call them: each operation forwards to Instance, with one
// line saying who calls it and on which thread.
#include "vst3/Tables.h"

#include "vst3/Instance.h"

namespace lumo::vst3 {
namespace {

Instance& Of(void* self) { return *static_cast<Face*>(self)->owner; }

// FUnknown, on every interface. The host, any thread: another interface of the instance.
v3_result V3_API QueryInterface(void* self, const v3_tuid iid, void** object) { return Of(self).Query(iid, object); }
// The host, any thread: one more reference / one fewer (the last destroys the instance).
uint32_t V3_API Ref(void* self) { return Of(self).Ref(); }
uint32_t V3_API Unref(void* self) { return Of(self).Unref(); }

// IPluginBase. The host, main thread: after creating the instance / before releasing it.
v3_result V3_API Initialise(void* self, v3_funknown**) { return Of(self).Initialise(); }
v3_result V3_API Terminate(void* self) { return Of(self).Terminate(); }

// IComponent. The host, main thread: the controller's class (none: it is this object).
v3_result V3_API ControllerClassId(void*, v3_tuid) { return kNotImplemented; }
// The host, main thread: simple, advanced or offline mode (all run alike).
v3_result V3_API SetIoMode(void*, int32_t) { return kNotImplemented; }
// The host, main thread: the buses (one stereo input, one stereo output, no events).
int32_t V3_API BusCount(void* self, int32_t media, int32_t direction) { return Of(self).BusCount(media, direction); }
v3_result V3_API BusInfo(void* self, int32_t media, int32_t direction, int32_t index, v3_bus_info* info) {
    return Of(self).BusInfo(media, direction, index, info);
}
// The host, main thread: which output an input feeds (not said).
v3_result V3_API RoutingInfo(void*, v3_routing_info*, v3_routing_info*) { return kNotImplemented; }
// The host, main thread: a bus on or off (they always run).
v3_result V3_API ActivateBus(void* self, int32_t media, int32_t direction, int32_t index, v3_bool) {
    return Of(self).ActivateBus(media, direction, index);
}
// The host, main thread: before the audio starts / after it stops.
v3_result V3_API SetActive(void* self, v3_bool active) { return Of(self).SetActive(active != 0); }
// The host, main thread, loading or saving a session or preset: IComponent setState/getState and
// IEditController setComponentState/setState/getState, all with the same settings chunk.
v3_result V3_API LoadState(void* self, v3_bstream** stream) { return Of(self).LoadState(stream); }
v3_result V3_API SaveState(void* self, v3_bstream** stream) { return Of(self).SaveState(stream); }

// IAudioProcessor. The host, main thread: the channel layout it wants (stereo only).
v3_result V3_API SetBusArrangements(void* self, v3_speaker_arrangement* inputs, int32_t inputCount,
                                    v3_speaker_arrangement* outputs, int32_t outputCount) {
    return Of(self).SetBusArrangements(inputs, inputCount, outputs, outputCount);
}
// The host, main thread: a bus's layout.
v3_result V3_API BusArrangement(void* self, int32_t direction, int32_t index, v3_speaker_arrangement* arrangement) {
    return Of(self).BusArrangement(direction, index, arrangement);
}
// The host, main thread: 32-bit float only.
v3_result V3_API CanProcessSampleSize(void*, int32_t size) { return size == V3_SAMPLE_32 ? kResultOk : kResultFalse; }
// The host, main thread, after activation: no latency.
uint32_t V3_API LatencySamples(void*) { return 0; }
// The host, main thread, while inactive: the sample rate, block size and sample size.
v3_result V3_API SetupProcessing(void* self, v3_process_setup* setup) { return Of(self).SetupProcessing(setup); }
// The host, audio or main thread: processing starts or stops (nothing to do either way).
v3_result V3_API SetProcessing(void*, v3_bool) { return kResultOk; }
// The host, audio thread: one block with its parameter changes.
v3_result V3_API Process(void* self, v3_process_data* data) { return Of(self).Process(data); }
// The host, main thread: how long the output rings after the input falls silent.
uint32_t V3_API TailSamples(void* self) { return Of(self).TailSamples(); }

// IProcessContextRequirements. The host, main thread, before activating: no transport needed.
uint32_t V3_API ContextRequirements(void*) { return 0; }

// IEditController. The host, main thread: the parameter list.
int32_t V3_API ParameterCount(void* self) { return Of(self).ParameterCount(); }
v3_result V3_API ParameterInfo(void* self, int32_t index, v3_param_info* info) {
    return Of(self).ParameterInfo(index, info);
}
// The host, main thread: a value's text, and a typed text's value.
v3_result V3_API TextOfValue(void* self, v3_param_id id, double normalised, v3_str_128 text) {
    return Of(self).TextOfValue(id, normalised, text);
}
v3_result V3_API ValueOfText(void* self, v3_param_id id, int16_t* text, double* normalised) {
    return Of(self).ValueOfText(id, text, normalised);
}
// The host, main thread: normalised values to plain ones and back.
double V3_API ToPlain(void* self, v3_param_id id, double normalised) { return Of(self).ToPlain(id, normalised); }
double V3_API ToNormalised(void* self, v3_param_id id, double plain) { return Of(self).ToNormalised(id, plain); }
// The host, main thread: the controller's value of a parameter, and a new one.
double V3_API Normalised(void* self, v3_param_id id) { return Of(self).Normalised(id); }
v3_result V3_API SetNormalised(void* self, v3_param_id id, double normalised) {
    return Of(self).SetNormalised(id, normalised);
}
// The host, main thread: the object to tell of changes (or null).
v3_result V3_API SetHandler(void* self, v3_component_handler** handler) {
    return Of(self).SetComponentHandler(handler);
}
// The host, main thread: an editor window (none: hosts show the parameter list).
v3_plugin_view** V3_API CreateView(void*, const char*) { return nullptr; }

}  // namespace

const v3_component_cpp kComponentTable = {
    {QueryInterface, Ref, Unref},
    {Initialise, Terminate},
    {ControllerClassId, SetIoMode, BusCount, BusInfo, RoutingInfo, ActivateBus, SetActive, LoadState, SaveState},
};

const v3_audio_processor_cpp kProcessorTable = {
    {QueryInterface, Ref, Unref},
    {SetBusArrangements, BusArrangement, CanProcessSampleSize, LatencySamples, SetupProcessing, SetProcessing, Process,
     TailSamples},
};

const v3_edit_controller_cpp kControllerTable = {
    {QueryInterface, Ref, Unref},
    {Initialise, Terminate},
    {LoadState, LoadState, SaveState, ParameterCount, ParameterInfo, TextOfValue, ValueOfText, ToPlain, ToNormalised,
     Normalised, SetNormalised, SetHandler, CreateView},
};

const v3_process_context_requirements_cpp kRequirementsTable = {
    {QueryInterface, Ref, Unref},
    {ContextRequirements},
};

}  // namespace lumo::vst3
