#include "EqInput.h"

#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {
namespace {

// The sample rates lumo eq runs a machine at: a header declaring more (or less) is damaged or
// crafted, and would make the 0.2 s tail alone gigabytes long. 768 kHz is the highest rate of
// audio interfaces and formats in use (DXD x 2 is 705.6 kHz).
constexpr int kMinSampleRateHz = 1;
constexpr int kMaxSampleRateHz = 768000;

}  // namespace

EqInput::EqInput(const std::string& path, const std::string& name) {
    OpenInput(path, name, sound_, info_);
    if (info_.channels < 1 || info_.channels > 2)
        throw host::HostError(name + " has " + std::to_string(info_.channels) +
                              " channels; lumo eq takes mono or stereo audio");
    if (info_.samplerate < kMinSampleRateHz || info_.samplerate > kMaxSampleRateHz)
        throw host::HostError(name + " declares a sample rate of " + std::to_string(info_.samplerate) +
                              " Hz; lumo eq takes " + std::to_string(kMinSampleRateHz) + " Hz to " +
                              std::to_string(kMaxSampleRateHz) + " Hz");
    reader_.emplace(sound_.file, info_.channels);
}

bool EqInput::EndedEarly() const { return EndsEarly(sound_.file, info_, reader_->FramesRead()); }

}  // namespace lumo::cli
