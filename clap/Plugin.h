// One CLAP plug-in instance: the values the host sees on the main thread and the audio side (the
// shared plug-in processor) apart, joined by atomics only.
//
//   value_[i]         every parameter's raw value as the plug-in has it last (the host's events in
//                     process and flush, a loaded state): what get_value, the value texts and save
//                     read. Written by the thread that takes the event, read by any.
//   processor_        the engine and its values, on the audio thread; created at activation.
//   sharedChanged_    set when value_ changed outside process (flush, load): the next process
//                     takes the new values first.
//   textsChanged_     set when Range changed: the main thread then asks the host to render the
//                     band texts again (params.rescan with CLAP_PARAM_RESCAN_TEXT).
//
// Threads as CLAP names them: main (init, activate, deactivate, params but flush, state,
// on_main_thread), audio (start and stop processing, reset, process; flush while active).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <clap/events.h>
#include <clap/ext/params.h>
#include <clap/plugin.h>
#include <clap/stream.h>

#include "clap/Descriptors.h"
#include "product/PluginProcessor.h"

namespace lumo::clap {

class Plugin {
public:
    Plugin(const PluginKind& kind, const clap_host_t* host);
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // The table the host calls through (Lifecycle.cpp); plugin_data points back here.
    const clap_plugin_t* Table() const { return &table_; }
    static Plugin* Of(const clap_plugin_t* plugin);

    bool Init();
    bool Activate(double sampleRate);
    void Deactivate();
    bool StartProcessing();
    void Reset();
    clap_process_status Process(const clap_process_t* process);
    void OnMainThread();
    const void* Extension(const char* id) const;

    // Parameters (Params.cpp).
    int ParameterCount() const { return count_; }
    const product::Parameter& ParameterAt(int index) const { return parameters_[index]; }
    bool Knows(clap_id id) const { return id < static_cast<clap_id>(count_); }
    int RawValue(int index) const { return value_[index].load(std::memory_order_relaxed); }
    void Flush(const clap_input_events_t* events);

    // State (State.cpp).
    bool Save(const clap_ostream_t* stream) const;
    bool Load(const clap_istream_t* stream);

    uint32_t TailFrames() const { return tailFrames_.load(std::memory_order_relaxed); }

private:
    // A CLAP_EVENT_PARAM_VALUE into value_: true, the parameter and its raw value. Any other
    // event, an unknown parameter or a value that is not finite: false, nothing changed.
    bool TakeEvent(const clap_event_header_t* event, int& index, int& raw);
    void Publish(int index, int raw);
    void TakeSharedValues(product::ParameterValues& audio);

    const product::Deliverable& deliverable_;
    const clap_host_t* host_;
    const clap_host_params_t* hostParams_ = nullptr;
    clap_plugin_t table_;
    int count_;
    product::Parameter parameters_[product::kMaxParameters];
    std::atomic<int> value_[product::kMaxParameters];
    std::atomic<bool> sharedChanged_{false};
    std::atomic<bool> textsChanged_{false};
    std::atomic<bool> active_{false};
    std::atomic<uint32_t> tailFrames_{0};
    std::unique_ptr<product::PluginProcessor> processor_;
};

// The clap_plugin_t of a new instance, or null (Lifecycle.cpp).
const clap_plugin_t* CreatePlugin(const PluginKind& kind, const clap_host_t* host);

}  // namespace lumo::clap
