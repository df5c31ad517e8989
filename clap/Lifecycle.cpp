// The instance's life as the host drives it: creation, activation, processing states, the
// main-thread callback, extensions; each through the clap_plugin_t table.
#include <cmath>
#include <cstring>
#include <new>

#include "clap/Extensions.h"
#include "clap/Plugin.h"

namespace lumo::clap {

Plugin::Plugin(const PluginKind& kind, const clap_host_t* host)
    : deliverable_(kind.deliverable()), host_(host), count_(product::ParameterCount(deliverable_)) {
    for (int i = 0; i < count_; ++i) {
        parameters_[i] = product::ParameterAt(deliverable_, i);
        value_[i].store(parameters_[i].defaultValue, std::memory_order_relaxed);
    }
    table_ = {
        kind.descriptor,
        this,
        // The host, on the main thread, right after creation.
        [](const clap_plugin_t* p) { return Of(p)->Init(); },
        // The host, on the main thread, when it removes the instance.
        [](const clap_plugin_t* p) { delete Of(p); },
        // The host, on the main thread, before processing at a sample rate.
        [](const clap_plugin_t* p, double rate, uint32_t, uint32_t) { return Of(p)->Activate(rate); },
        // The host, on the main thread, after processing.
        [](const clap_plugin_t* p) { Of(p)->Deactivate(); },
        // The host, on the audio thread, before the first process of a run.
        [](const clap_plugin_t* p) { return Of(p)->StartProcessing(); },
        // The host, on the audio thread, after the last process of a run.
        [](const clap_plugin_t*) {},
        // The host, on the audio thread, when the audio starts afresh (a jump, a new stream).
        [](const clap_plugin_t* p) { Of(p)->Reset(); },
        // The host, on the audio thread, for each block.
        [](const clap_plugin_t* p, const clap_process_t* process) { return Of(p)->Process(process); },
        // The host, on any thread, for an extension by its ID.
        [](const clap_plugin_t* p, const char* id) { return Of(p)->Extension(id); },
        // The host, on the main thread, after this instance's request_callback.
        [](const clap_plugin_t* p) { Of(p)->OnMainThread(); },
    };
}

Plugin* Plugin::Of(const clap_plugin_t* plugin) { return static_cast<Plugin*>(plugin->plugin_data); }

bool Plugin::Init() {
    if (host_ != nullptr && host_->get_extension != nullptr)
        hostParams_ = static_cast<const clap_host_params_t*>(host_->get_extension(host_, CLAP_EXT_PARAMS));
    return true;
}

// Where the processor's sample rate differs or there is none yet, a new one (the only
// allocation); otherwise back to the start. Either way it takes every value the host has set.
bool Plugin::Activate(double sampleRate) {
    // The engine counts frames in int: any rate a host runs at, not a damaged one.
    if (active_.load() || !std::isfinite(sampleRate) || sampleRate < 1.0 || sampleRate > 4.0e6) return false;
    const int rateHz = static_cast<int>(std::lround(sampleRate));
    if (processor_ == nullptr || processor_->SampleRateHz() != rateHz) {
        processor_.reset(new (std::nothrow) product::PluginProcessor(deliverable_, rateHz));
        if (processor_ == nullptr) return false;
    } else {
        processor_->Activate();
    }
    sharedChanged_.store(false);
    for (int i = 0; i < count_; ++i) processor_->Values().Set(i, RawValue(i));
    tailFrames_.store(static_cast<uint32_t>(processor_->TailFrames()));
    active_.store(true);
    return true;
}

// The processor stays (a process call out of order finds it); the next activation restarts it.
void Plugin::Deactivate() { active_.store(false); }

// Processing needs nothing beyond activation; process itself checks that.
bool Plugin::StartProcessing() { return active_.load(); }

void Plugin::Reset() {
    if (active_.load() && processor_ != nullptr) processor_->Activate();
}

void Plugin::OnMainThread() {
    if (textsChanged_.exchange(false) && hostParams_ != nullptr && hostParams_->rescan != nullptr)
        hostParams_->rescan(host_, CLAP_PARAM_RESCAN_TEXT);
}

const void* Plugin::Extension(const char* id) const {
    if (id == nullptr) return nullptr;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kAudioPorts;
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) return &kLatency;
    if (std::strcmp(id, kTailExtension) == 0) return &kTail;
    return nullptr;
}

// A value the host or a state brought: what the main thread reports from now on. A new Range
// changes every band's text: the main thread tells the host (OnMainThread).
void Plugin::Publish(int index, int raw) {
    const int before = value_[index].exchange(raw, std::memory_order_relaxed);
    if (index == product::kRangeParameter && before != raw) {
        textsChanged_.store(true);
        if (host_ != nullptr && host_->request_callback != nullptr) host_->request_callback(host_);
    }
}

const clap_plugin_t* CreatePlugin(const PluginKind& kind, const clap_host_t* host) {
    Plugin* plugin = new (std::nothrow) Plugin(kind, host);
    return plugin != nullptr ? plugin->Table() : nullptr;
}

}  // namespace lumo::clap
