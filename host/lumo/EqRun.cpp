#include "EqRun.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "EqFormat.h"
#include "EqStreams.h"
#include "OutputFile.h"
#include "lumo/host/HostedMachine.h"

namespace lumo::cli {
namespace {

namespace fs = std::filesystem;
using host::HostError;

// The sample rates lumo eq runs a machine at: a header declaring more (or less) is damaged or
// crafted, and would make the 0.2 s tail alone gigabytes long. 768 kHz is the highest rate of
// audio interfaces and formats in use (DXD x 2 is 705.6 kHz).
constexpr int kMinSampleRateHz = 1;
constexpr int kMaxSampleRateHz = 768000;

// Seconds of audio beyond which a terminal gets a progress bar.
constexpr double kProgressAfterSeconds = 10.0;

class ProgressBar {
public:
    ProgressBar(int64_t totalFrames, int sampleRateHz, bool quiet)
        : total_(totalFrames),
          enabled_(!quiet && isatty(fileno(stderr)) != 0 && totalFrames != SF_COUNT_MAX &&
                   totalFrames > kProgressAfterSeconds * sampleRateHz) {}
    void Update(int64_t done) {
        if (!enabled_ || total_ <= 0) return;
        const int percent = static_cast<int>(std::min<int64_t>(100, done * 100 / total_));
        if (percent == shown_) return;
        shown_ = percent;
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, ' ').c_str(), percent);
        std::fflush(stderr);
    }
    void Finish() {
        if (enabled_ && shown_ >= 0) std::fprintf(stderr, "\n");
    }

private:
    int64_t total_;
    bool enabled_;
    int shown_ = -1;
};

void Warn(const std::string& text) { std::fprintf(stderr, "lumo: warning: %s\n", text.c_str()); }

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

int OutputContainer(const std::string& output, const std::string& type) {
    if (!type.empty()) {
        const int container = ContainerByName(type);
        if (container == 0)
            throw HostError("--type " + type + ": expected one of " + kOutputTypes);
        return container;
    }
    if (output == "-") throw HostError("writing to stdout (-) needs --type (" + std::string(kOutputTypes) + ")");
    const int container = ContainerByName(fs::path(output).extension().string());
    if (container == 0)
        throw HostError("cannot tell the output format from '" + output +
                        "': use .wav, .flac, .aiff, .ogg, .opus or .mp3, or --type");
    return container;
}

// Refuses a finished file that libsndfile cannot open again (as an Opus file without audio).
void CheckReadsBack(int descriptor, const std::string& name, int container, int64_t frames) {
    const int copy = dup(descriptor);
    SF_INFO info{};
    SNDFILE* file = copy >= 0 && lseek(copy, 0, SEEK_SET) == 0 ? sf_open_fd(copy, SFM_READ, &info, SF_TRUE) : nullptr;
    if (file != nullptr) {
        sf_close(file);
        return;
    }
    if (copy >= 0) close(copy);
    throw HostError("cannot write " + name + ": " +
                    (frames == 0 ? "the input holds no audio, and an " + ContainerName(container) +
                                       " file without audio cannot be read back"
                                 : "the file written cannot be read back (" +
                                       std::string(sf_strerror(nullptr)) + ")"));
}

}  // namespace

void EqualiseFile(const host::PluginLibrary& library, const std::string& input,
                  const std::string& output, const EqSettings& settings) {
    const std::string inName = input == "-" ? "stdin" : input;
    const std::string outName = output == "-" ? "stdout" : output;
    std::error_code error;
    if (input != "-" && !fs::exists(input, error))
        throw HostError("cannot read " + input + ": no such file");
    if (input != "-" && output != "-" && fs::exists(output, error) &&
        fs::equivalent(input, output, error))
        throw HostError("the output " + output + " is the input file; choose another name");
    const int container = OutputContainer(output, settings.type);
    CheckOutputPath(output, settings.force);

    SF_INFO inputInfo{};
    SoundFile in;
    OpenInput(input, inName, in, inputInfo);
    const int channels = inputInfo.channels;
    if (channels < 1 || channels > 2)
        throw HostError(inName + " has " + std::to_string(channels) +
                        " channels; lumo eq takes mono or stereo audio");
    if (inputInfo.samplerate < kMinSampleRateHz || inputInfo.samplerate > kMaxSampleRateHz)
        throw HostError(inName + " declares a sample rate of " + std::to_string(inputInfo.samplerate) +
                        " Hz; lumo eq takes " + std::to_string(kMinSampleRateHz) + " Hz to " +
                        std::to_string(kMaxSampleRateHz) + " Hz");

    SF_INFO outputInfo{};
    outputInfo.samplerate = inputInfo.samplerate;
    outputInfo.channels = channels;
    std::string note;
    outputInfo.format = OutputFormat(container, inputInfo.format, settings.bits, inputInfo.samplerate,
                                     channels, note);
    if (!note.empty() && !settings.quiet)
        std::fprintf(output == "-" ? stderr : stdout, "%s: %s\n", outName.c_str(), note.c_str());
    if (!sf_format_check(&outputInfo))
        throw HostError("cannot write " + outName + " with " + std::to_string(channels) +
                        " channels at " + std::to_string(inputInfo.samplerate) + " Hz");

    host::HostSettings hostSettings;
    hostSettings.sampleRateHz = inputInfo.samplerate;
    hostSettings.maxBlockFrames = std::max(256, settings.blockFrames);
    host::HostedMachine machine(library, hostSettings);
    machine.Initialise();
    for (const ParameterSetting& setting : settings.parameters)
        machine.SetParameter(setting.index, setting.raw);
    machine.ApplyParameters();

    // Dither, like sox, only where the written audio differs from the input: the machine
    // changes it, or the output holds fewer bits than the input.
    const int pcmBits = PcmBits(outputInfo.format);
    const bool changed = ChangesTheAudio(machine, inputInfo.samplerate, inName) ||
                         PrecisionBits(outputInfo.format) < PrecisionBits(inputInfo.format);
    const bool dither = settings.dither && pcmBits > 0 && pcmBits <= 16 && changed;

    // Into a pipe the output goes as it is made, where the container allows (AIFF's header
    // counts the frames, so it is made whole first, as for files).
    const bool intoPipe = output == "-" && container != SF_FORMAT_AIFF && lseek(STDOUT_FILENO, 0, SEEK_CUR) < 0;
    std::optional<OutputFile> out;
    std::unique_ptr<PipeSink> sink;
    SoundFile sound;
    if (!intoPipe) {
        out.emplace(output, settings.force);
        sound.file = sf_open_fd(out->Descriptor(), SFM_WRITE, &outputInfo, SF_FALSE);
    } else if (container == SF_FORMAT_WAV || container == SF_FORMAT_FLAC) {
        sink = std::make_unique<PipeSink>(STDOUT_FILENO, container == SF_FORMAT_WAV);
        sound.file = sf_open_virtual(sink->Io(), SFM_WRITE, &outputInfo, sink.get());
    } else {
        sound.file = sf_open_fd(STDOUT_FILENO, SFM_WRITE, &outputInfo, SF_FALSE);  // OGG, Opus, MP3
    }
    if (sound.file == nullptr) throw HostError("cannot write " + outName + ": " + sf_strerror(nullptr));
    // A variable-rate MP3 read without its length tag (not written into a pipe) has its length
    // guessed from its first frames; at a constant rate the guess is right.
    if (intoPipe && container == SF_FORMAT_MPEG) {
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(sound.file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }

    ChunkReader reader(in.file, channels);
    ChunkWriter writer(sound.file, channels, pcmBits, dither, outName);
    ProgressBar progress(inputInfo.frames, inputInfo.samplerate, settings.quiet);
    machine.ProcessStream([&](float* block, int frames) { return reader.Pull(block, frames); },
                          [&](const float* block, int frames) { writer.Push(block, frames); },
                          settings.blockFrames, [&](int64_t done) { progress.Update(done); });
    progress.Finish();
    writer.Flush();
    // A file without audio still gets its header (FLAC and MP3 write theirs with the first frames).
    if (writer.FramesPushed() == 0 && (container == SF_FORMAT_FLAC || container == SF_FORMAT_MPEG))
        sf_command(sound.file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    const int closed = sf_close(sound.file);
    sound.file = nullptr;
    if (closed != 0 || (sink != nullptr && sink->Error() != 0))
        throw HostError("cannot finish writing " + outName +
                        (sink != nullptr && sink->Error() != 0 ? std::string(": ") + std::strerror(sink->Error()) : ""));
    if (out) {
        CheckReadsBack(out->Descriptor(), outName, container, writer.FramesPushed());
        out->Commit();
    }

    if (EndsEarly(in.file, inputInfo, reader.FramesRead()))
        Warn(inName + " ends early (cut short?): equalised the " +
             std::to_string(reader.FramesRead()) + " frames it holds");
    if (writer.ClippedSamples() > 0)
        Warn(outName + ": " + std::to_string(writer.ClippedSamples()) +
             " samples beyond full scale were clipped");
    if (writer.PeakLevel() > 1.0) {
        char peak[32];
        std::snprintf(peak, sizeof peak, "%+.2f", 20.0 * std::log10(writer.PeakLevel()));
        Warn(outName + " peaks at " + peak + " dBFS (kept in float; it clips when converted to integer)");
    }
    if (!settings.quiet && output != "-") std::printf("wrote %s\n", output.c_str());
}

}  // namespace lumo::cli
