// A file through one plug-in: activated at the chosen rate with blocks of 1 to blockFrames
// frames, processed on an audio thread of its own, the parameter changes given as events.
#pragma once

#include "LoadedPlugin.h"
#include "ParamEvents.h"
#include "StereoFile.h"
#include "TestHost.h"

#include <string>
#include <vector>

namespace lumo::clap_host {

struct RenderSettings {
    uint32_t blockFrames = 512;
    double sampleRate = 48000;  // the plug-in's; the output file keeps the input's rate field
    std::vector<ParamChange> changes;
};

// Checks the changes against the plug-in's parameters (known ids, values within range, frames
// within the file); false with the first fault in error.
bool CheckChanges(const LoadedPlugin& loaded, const std::vector<ParamChange>& changes, int64_t fileFrames,
                  std::string& error);

// Renders in into out (same length and rate field); false with the reason in error.
bool Render(const LoadedPlugin& loaded, TestHost& host, const StereoAudio& in, const RenderSettings& settings,
            StereoAudio& out, std::string& error);

}  // namespace lumo::clap_host
