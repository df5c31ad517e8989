// One file through lumo eq: read, equalise (tail included), convert and write atomically.
#pragma once

#include <string>
#include <vector>

#include "ParameterSettings.h"
#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {

struct EqSettings {
    std::vector<ParameterSetting> parameters;  // resolved; the others keep their defaults
    std::string bits;  // --bits: "16", "24", "32", "float"; empty: the input's
    std::string type;  // --type: container name; empty: by OUT's extension
    bool dither = true;
    bool force = false;
    bool quiet = false;
    int blockFrames = 256;
};

// Equalises IN ("-": stdin) into OUT ("-": stdout), prints "wrote OUT" unless quiet or OUT is
// stdout, and warnings on stderr. Throws HostError (one line naming the file or the option);
// a failure leaves no file behind.
void EqualiseFile(const host::PluginLibrary& library, const std::string& input,
                  const std::string& output, const EqSettings& settings);

}  // namespace lumo::cli
