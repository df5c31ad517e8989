// The extensions the plug-ins offer, each defined beside the operations it forwards to.
#pragma once

#include <clap/ext/audio-ports.h>
#include <clap/ext/latency.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>

#include "clap/Tail.h"

namespace lumo::clap {

extern const clap_plugin_params_t kParams;           // Params.cpp
extern const clap_plugin_state_t kState;             // State.cpp
extern const clap_plugin_audio_ports_t kAudioPorts;  // Audio.cpp: one stereo input, one stereo output
extern const clap_plugin_latency_t kLatency;         // Audio.cpp: none
extern const PluginTail kTail;                       // Audio.cpp: the bands' ring-out

}  // namespace lumo::clap
