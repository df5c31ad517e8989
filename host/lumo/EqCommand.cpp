// lumo eq MACHINE IN OUT: equalises an audio file with a machine, tail included.
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"

#ifdef LUMO_WITH_SNDFILE
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#endif

namespace lumo::cli {
namespace {

struct EqOptions {
    std::string machine;
    std::string input;
    std::string output;
    int blockFrames = 256;
    std::vector<std::string> settings;
};

#ifdef LUMO_WITH_SNDFILE
namespace fs = std::filesystem;
using host::HostError;

// Seconds of audio beyond which a terminal gets a progress bar.
constexpr double kProgressAfterSeconds = 10.0;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct SoundFile {
    SNDFILE* file = nullptr;
    ~SoundFile() {
        if (file != nullptr) sf_close(file);
    }
    void Close() {
        if (file != nullptr && sf_close(file) != 0) {
            file = nullptr;
            throw HostError("cannot finish writing the output file");
        }
        file = nullptr;
    }
};

// The output container by OUT's extension, the sample format kept from IN where the container
// holds it.
int OutputFormat(const std::string& path, int inputFormat) {
    const std::string extension = Lower(fs::path(path).extension().string());
    int major = 0;
    if (extension == ".wav") major = SF_FORMAT_WAV;
    else if (extension == ".flac") major = SF_FORMAT_FLAC;
    else if (extension == ".aif" || extension == ".aiff") major = SF_FORMAT_AIFF;
    else if (extension == ".ogg" || extension == ".oga") major = SF_FORMAT_OGG;
    else
        throw HostError("cannot tell the output format from '" + path +
                        "': use .wav, .flac, .aiff or .ogg");

    const int subtype = inputFormat & SF_FORMAT_SUBMASK;
    SF_INFO probe{};
    probe.channels = 1;
    probe.samplerate = 44100;
    probe.format = major | subtype;
    if (sf_format_check(&probe)) return probe.format;
    if (major == SF_FORMAT_OGG) return major | SF_FORMAT_VORBIS;
    const bool deep = subtype == SF_FORMAT_PCM_24 || subtype == SF_FORMAT_PCM_32 ||
                      subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    return major | (deep ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_16);
}

bool IsIntegerFormat(int format) {
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE;
}

class ProgressBar {
public:
    ProgressBar(int64_t totalFrames, int sampleRateHz)
        : total_(totalFrames),
          enabled_(isatty(fileno(stderr)) != 0 && totalFrames > kProgressAfterSeconds * sampleRateHz) {}
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

void Equalise(const GlobalOptions& global, const EqOptions& options) {
    std::error_code error;
    if (!fs::exists(options.input, error))
        throw HostError("cannot read " + options.input + ": no such file");
    if (fs::exists(options.output, error) && fs::equivalent(options.input, options.output, error))
        throw HostError("the output " + options.output + " is the input file; choose another name");
    fs::path folder = fs::path(options.output).parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, error))
        throw HostError("cannot write " + options.output + ": the folder " + folder.string() +
                        " does not exist");
    if (fs::is_directory(options.output, error))
        throw HostError("cannot write " + options.output + ": it is a folder");

    SF_INFO inputInfo{};
    SoundFile input;
    input.file = sf_open(options.input.c_str(), SFM_READ, &inputInfo);
    if (input.file == nullptr)
        throw HostError("cannot read " + options.input + ": " + sf_strerror(nullptr));
    const int channels = inputInfo.channels;
    if (channels < 1 || channels > 2)
        throw HostError(options.input + " has " + std::to_string(channels) +
                        " channels; lumo eq takes mono or stereo audio");

    SF_INFO outputInfo{};
    outputInfo.samplerate = inputInfo.samplerate;
    outputInfo.channels = channels;
    outputInfo.format = OutputFormat(options.output, inputInfo.format);
    if (!sf_format_check(&outputInfo))
        throw HostError("cannot write " + options.output + " with " + std::to_string(channels) +
                        " channels at " + std::to_string(inputInfo.samplerate) + " Hz");

    const host::PluginLibrary library = global.Load(options.machine);
    host::HostSettings settings;
    settings.sampleRateHz = inputInfo.samplerate;
    settings.maxBlockFrames = std::max(256, options.blockFrames);
    host::HostedMachine machine(library, settings);
    machine.Initialise();
    ApplySettings(machine, options.settings);

    // Written beside OUT and renamed into place only when complete.
    const fs::path temporary =
        folder / ("." + fs::path(options.output).filename().string() + ".lumo-" +
                  std::to_string(static_cast<long>(getpid())) + ".tmp");
    struct RemoveOnFailure {
        fs::path path;
        bool keep = false;
        ~RemoveOnFailure() {
            std::error_code ignored;
            if (!keep) fs::remove(path, ignored);
        }
    } cleanup{temporary};

    SoundFile output;
    output.file = sf_open(temporary.string().c_str(), SFM_WRITE, &outputInfo);
    if (output.file == nullptr)
        throw HostError("cannot write " + options.output + ": " + sf_strerror(nullptr));
    const bool integerOutput = IsIntegerFormat(outputInfo.format);
    if (integerOutput) sf_command(output.file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

    std::vector<float> fileFrames(static_cast<size_t>(options.blockFrames) * 2);
    int64_t clipped = 0;
    ProgressBar progress(inputInfo.frames, inputInfo.samplerate);
    machine.ProcessStream(
        [&](float* block, int frames) {
            const sf_count_t read = sf_readf_float(input.file, fileFrames.data(), frames);
            if (read < 0) throw HostError("cannot read " + options.input);
            for (sf_count_t i = 0; i < read; ++i) {
                block[2 * i] = fileFrames[i * channels];
                block[2 * i + 1] = fileFrames[i * channels + channels - 1];
            }
            return static_cast<int>(read);
        },
        [&](const float* block, int frames) {
            // Mono input ran as identical left and right; the left channel goes back out.
            for (int i = 0; i < frames; ++i) {
                fileFrames[i * channels] = block[2 * i];
                if (channels == 2) fileFrames[i * 2 + 1] = block[2 * i + 1];
            }
            if (integerOutput)
                for (int i = 0; i < frames * channels; ++i)
                    if (std::fabs(fileFrames[i]) > 1.0f) ++clipped;
            if (sf_writef_float(output.file, fileFrames.data(), frames) != frames)
                throw HostError("cannot write " + options.output + ": " + sf_strerror(output.file));
        },
        options.blockFrames, [&](int64_t done) { progress.Update(done); });
    progress.Finish();
    output.Close();

    fs::rename(temporary, options.output, error);
    if (error)
        throw HostError("cannot write " + options.output + ": " + error.message());
    cleanup.keep = true;
    if (clipped > 0)
        std::fprintf(stderr, "lumo: warning: %lld samples beyond full scale were clipped\n",
                     static_cast<long long>(clipped));
}
#else
void Equalise(const GlobalOptions&, const EqOptions&) {
    throw host::HostError("lumo eq is not available in this build (it has no audio file "
                          "support); use the Linux build of lumo");
}
#endif

}  // namespace

void AddEqCommand(CLI::App& app, const GlobalOptions& global) {
    CLI::App* command = app.add_subcommand(
        "eq", "Equalise an audio file (WAV, FLAC, AIFF or OGG by OUT's extension; mono or "
              "stereo; the sample rate is kept). The output carries the filters' 0.2 s tail.");
    auto options = std::make_shared<EqOptions>();
    command->add_option("MACHINE", options->machine, "Full name, short name or plug-in path")
        ->required();
    command->add_option("IN", options->input, "Input audio file")->required();
    command->add_option("OUT", options->output, "Output audio file, written only on success")
        ->required();
    command->add_option("--block", options->blockFrames, "Frames per block handed to the machine")
        ->check(CLI::Range(1, 8192))
        ->capture_default_str();
    command
        ->add_option("--set", options->settings,
                     "NAME=VALUE, by parameter name or index: Range=12, Bandwidth=8, "
                     "\"1 kHz=96\" (raw), \"1 kHz=+6dB\" (nearest slider for the Range); "
                     "others keep their defaults")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->callback([&global, options] { Equalise(global, *options); });
}

}  // namespace lumo::cli
