#include "EqRun.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "EqFormat.h"
#include "EqInput.h"
#include "EqOutput.h"
#include "OutputFile.h"
#include "ProgressBar.h"
#include "lumo/host/HostedMachine.h"

namespace lumo::cli {
namespace {

namespace fs = std::filesystem;
using host::HostError;

// IN and OUT as given ("-": stdin, stdout) and as messages call them.
struct EqPaths {
    std::string input, output;
    std::string inName, outName;
};

void Warn(const std::string& text) { std::fprintf(stderr, "lumo: warning: %s\n", text.c_str()); }

// The refusals that need no file opened: IN missing or the same file as OUT, OUT's container
// unknown, OUT not to be written. Returns OUT's container.
int CheckPaths(const EqPaths& paths, const EqSettings& settings) {
    std::error_code error;
    if (paths.input != "-" && !fs::exists(paths.input, error))
        throw HostError("cannot read " + paths.input + ": no such file");
    if (paths.input != "-" && paths.output != "-" && fs::exists(paths.output, error) &&
        fs::equivalent(paths.input, paths.output, error))
        throw HostError("the output " + paths.output + " is the input file; choose another name");
    const int container = OutputContainer(paths.output, settings.type);
    CheckOutputPath(paths.output, settings.force);
    return container;
}

// OUT's format for this input (see OutputFormat); its note goes to stdout, or to stderr when OUT
// is stdout. Throws HostError.
SF_INFO ChooseOutputFormat(const EqPaths& paths, int container, const EqInput& in,
                           const EqSettings& settings) {
    SF_INFO format{};
    format.samplerate = in.SampleRateHz();
    format.channels = in.Channels();
    std::string note;
    format.format = OutputFormat(container, in.Info().format, settings.bits, format.samplerate,
                                 format.channels, note);
    if (!note.empty() && !settings.quiet)
        std::fprintf(paths.output == "-" ? stderr : stdout, "%s: %s\n", paths.outName.c_str(), note.c_str());
    if (!sf_format_check(&format))
        throw HostError("cannot write " + paths.outName + " with " + std::to_string(format.channels) +
                        " channels at " + std::to_string(format.samplerate) + " Hz");
    return format;
}

host::HostSettings MachineSettings(const EqInput& in, const EqSettings& settings) {
    host::HostSettings machine;
    machine.sampleRateHz = in.SampleRateHz();
    machine.maxBlockFrames = std::max(256, settings.blockFrames);
    return machine;
}

// Initialises the machine with the settings, every other parameter at its default.
void SetUpMachine(host::HostedMachine& machine, const std::vector<ParameterSetting>& parameters) {
    machine.Initialise();
    for (const ParameterSetting& setting : parameters) machine.SetParameter(setting.index, setting.raw);
    machine.ApplyParameters();
}

// Whether any band changes the audio at this rate; warns of bands set away from 0 dB at or
// above half the sample rate, which the machine passes unchanged.
bool ChangesTheAudio(const host::HostedMachine& machine, int sampleRateHz, const std::string& name) {
    const host::abi::MachineDescription& description = machine.Description();
    const int range = machine.FindParameter("Range");
    if (range >= 0 && machine.ParameterValue(range) == 0) return false;
    bool changes = false;
    for (int i = 0; i < machine.ParameterCount(); ++i) {
        const host::abi::ParameterRecord& record = machine.Record(i);
        if (!IsBandParameter(description, i) || machine.ParameterValue(i) == FlatSlider(record))
            continue;
        if (BandCentreHz(record) < sampleRateHz / 2.0) {
            changes = true;
            continue;
        }
        char rates[96];
        std::snprintf(rates, sizeof rates, " has no effect at %d Hz (half the sample rate is %g Hz)",
                      sampleRateHz, sampleRateHz / 2.0);
        Warn(name + ": " + record.name + rates);
    }
    return changes;
}

// Dither, like sox, only where the written audio differs from the input (the machine changes
// it, or the output holds fewer bits) and the output has 16 bits or fewer. Warns as
// ChangesTheAudio does, with or without --no-dither.
bool WantsDither(const host::HostedMachine& machine, const EqInput& in, int outputFormat,
             const EqPaths& paths, const EqSettings& settings) {
    const bool differs = ChangesTheAudio(machine, in.SampleRateHz(), paths.inName) ||
                         PrecisionBits(outputFormat) < PrecisionBits(in.Info().format);
    const int pcmBits = PcmBits(outputFormat);
    return settings.dither && pcmBits > 0 && pcmBits <= 16 && differs;
}

// IN through the machine into OUT, tail included, with a progress bar for long inputs.
void Run(host::HostedMachine& machine, EqInput& in, EqOutput& out, const EqSettings& settings) {
    ProgressBar progress(in.Info().frames, in.SampleRateHz(), settings.quiet);
    machine.ProcessStream([&](float* block, int frames) { return in.Pull(block, frames); },
                          [&](const float* block, int frames) { out.Push(block, frames); },
                          settings.blockFrames, [&](int64_t done) { progress.Update(done); });
    progress.Finish();
}

// The warnings about what was read and written, then "wrote OUT".
void Report(const EqPaths& paths, const EqInput& in, const EqOutput& out, bool quiet) {
    if (in.EndedEarly())
        Warn(paths.inName + " ends early (cut short?): equalised the " +
             std::to_string(in.FramesRead()) + " frames it holds");
    if (out.ClippedSamples() > 0)
        Warn(paths.outName + ": " + std::to_string(out.ClippedSamples()) +
             " samples beyond full scale were clipped");
    if (out.PeakLevel() > 1.0) {
        char peak[32];
        std::snprintf(peak, sizeof peak, "%+.2f", 20.0 * std::log10(out.PeakLevel()));
        Warn(paths.outName + " peaks at " + peak + " dBFS (kept in float; it clips when converted to integer)");
    }
    if (!quiet && paths.output != "-") std::printf("wrote %s\n", paths.output.c_str());
}

}  // namespace

void EqualiseFile(const host::PluginLibrary& library, const std::string& input,
                  const std::string& output, const EqSettings& settings) {
    const EqPaths paths{input, output, input == "-" ? "stdin" : input, output == "-" ? "stdout" : output};
    const int container = CheckPaths(paths, settings);
    EqInput in(input, paths.inName);
    const SF_INFO format = ChooseOutputFormat(paths, container, in, settings);
    host::HostedMachine machine(library, MachineSettings(in, settings));
    SetUpMachine(machine, settings.parameters);
    const bool dither = WantsDither(machine, in, format.format, paths, settings);
    EqOutput out(output, paths.outName, container, format, dither, settings.force);
    Run(machine, in, out, settings);
    out.Finish();
    Report(paths, in, out, settings.quiet);
}

}  // namespace lumo::cli
