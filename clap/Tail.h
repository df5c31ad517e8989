// CLAP's tail extension ("clap.tail", stable since CLAP 1.0), which Debian's copy of the CLAP
// headers (dpf-source) leaves out: the plug-in tells how long its output rings on after the input
// falls silent.
#pragma once

#include <cstdint>

#include <clap/plugin.h>

namespace lumo::clap {

constexpr char kTailExtension[] = "clap.tail";

struct PluginTail {
    // Frames of output after the input falls silent. [main-thread, audio-thread]
    uint32_t(CLAP_ABI* get)(const clap_plugin_t* plugin);
};

}  // namespace lumo::clap
