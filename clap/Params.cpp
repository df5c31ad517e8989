// The params extension: the machine's parameters with stable IDs (the parameter's index in the
// Buzz parameter block), whole-number plain values, the machine's value texts both ways.
#include <cstdio>
#include <exception>
#include <string>

#include "clap/Extensions.h"
#include "clap/PlainValues.h"
#include "clap/Plugin.h"
#include "product/ValueParsing.h"
#include "product/ValueText.h"

namespace lumo::clap {

void Plugin::Flush(const clap_input_events_t* events) {
    const uint32_t count = events != nullptr && events->size != nullptr ? events->size(events) : 0;
    int index = 0, raw = 0;
    for (uint32_t i = 0; i < count; ++i) TakeEvent(events->get(events, i), index, raw);
    if (count > 0) sharedChanged_.store(true, std::memory_order_release);
}

namespace {

bool GetInfo(const clap_plugin_t* p, uint32_t index, clap_param_info_t* info) {
    const Plugin& plugin = *Plugin::Of(p);
    if (info == nullptr || !plugin.Knows(index)) return false;
    const product::Parameter& parameter = plugin.ParameterAt(static_cast<int>(index));
    *info = {};
    info->id = index;
    info->flags = CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE;
    std::snprintf(info->name, sizeof info->name, "%s", parameter.name);
    info->min_value = PlainOfRaw(parameter, parameter.minimum);
    info->max_value = PlainOfRaw(parameter, parameter.maximum);
    info->default_value = PlainOfRaw(parameter, parameter.defaultValue);
    return true;
}

bool GetValue(const clap_plugin_t* p, clap_id id, double* value) {
    const Plugin& plugin = *Plugin::Of(p);
    if (value == nullptr || !plugin.Knows(id)) return false;
    *value = PlainOfRaw(plugin.ParameterAt(static_cast<int>(id)), plugin.RawValue(static_cast<int>(id)));
    return true;
}

// A band's text is its gain at the Range the plug-in has now.
bool ValueToText(const clap_plugin_t* p, clap_id id, double value, char* display, uint32_t size) {
    const Plugin& plugin = *Plugin::Of(p);
    int raw = 0;
    if (display == nullptr || size == 0 || !plugin.Knows(id) ||
        !RawOfPlain(plugin.ParameterAt(static_cast<int>(id)), value, raw))
        return false;
    product::FormatValueText(plugin.ParameterAt(static_cast<int>(id)), raw, plugin.RawValue(product::kRangeParameter),
                             display, size);
    return true;
}

// What a user types into the host's field, in the parameter's unit: "12 dB", "0.67 octave",
// "-3.5" on a band (dB at the Range in force); every shown text reads back as its value.
bool TextToValue(const clap_plugin_t* p, clap_id id, const char* display, double* value) {
    const Plugin& plugin = *Plugin::Of(p);
    if (display == nullptr || value == nullptr || !plugin.Knows(id)) return false;
    try {
        const product::Parameter& parameter = plugin.ParameterAt(static_cast<int>(id));
        product::ValueFromText parsed;
        std::string error;
        if (!product::ParseValueText(parameter, display, plugin.RawValue(product::kRangeParameter),
                                     product::BareNumber::InUnits, parsed, error))
            return false;
        *value = PlainOfRaw(parameter, parsed.raw);
        return true;
    } catch (const std::exception&) {
        return false;  // out of memory: no value, and nothing thrown into the host
    }
}

}  // namespace

const clap_plugin_params_t kParams = {
    // The host, on the main thread: how many parameters.
    [](const clap_plugin_t* p) { return static_cast<uint32_t>(Plugin::Of(p)->ParameterCount()); },
    // The host, on the main thread: one parameter's ID, name, range, default and flags.
    GetInfo,
    // The host, on the main thread: a parameter's value now.
    GetValue,
    // The host, on the main thread: the text it shows for a value.
    ValueToText,
    // The host, on the main thread: the value of a text the user typed.
    TextToValue,
    // The host, on the audio thread while active (else the main thread), outside process:
    // parameter changes without audio.
    [](const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t*) {
        Plugin::Of(p)->Flush(in);
    },
};

}  // namespace lumo::clap
