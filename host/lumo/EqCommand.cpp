// lumo eq MACHINE IN OUT, or MACHINE IN... -o DIR: equalises audio files with a machine, tail
// included.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "EqFormat.h"
#include "EqRun.h"
#include "OutputFile.h"

namespace lumo::cli {
namespace {

namespace fs = std::filesystem;
using host::HostError;

struct EqOptions {
    std::string machine;
    std::vector<std::string> files;
    std::string folder;  // -o DIR
    std::vector<std::string> settings;
    EqSettings eq;
    bool noDither = false;
};

std::vector<ParameterSetting> Resolve(const host::PluginLibrary& library,
                                            const EqOptions& options, bool toStdout) {
    std::vector<ParameterSetting> resolved =
        ResolveSettings(*library.GetInfo(), options.settings);
    if (!options.eq.quiet)
        for (const ParameterSetting& setting : resolved)
            if (!setting.note.empty())
                std::fprintf(toStdout ? stderr : stdout, "%s\n", setting.note.c_str());
    return resolved;
}

// IN... -o DIR: each input to DIR under its own name (the extension of --type if given). One
// failing file does not stop the rest; the exit status tells that some failed.
void EqualiseIntoFolder(const host::PluginLibrary& library, const EqOptions& options) {
    std::error_code error;
    if (!fs::is_directory(options.folder, error))
        throw HostError("-o " + options.folder + ": no such folder");
    std::set<fs::path> inputs, outputs;
    for (const std::string& input : options.files) {
        if (input == "-") throw HostError("-o DIR takes files, not stdin (-)");
        inputs.insert(fs::weakly_canonical(input, error));
    }
    int failed = 0;
    for (const std::string& input : options.files) {
        fs::path output = fs::path(options.folder) / fs::path(input).filename();
        if (!options.eq.type.empty()) output.replace_extension(ExtensionOfType(options.eq.type));
        try {
            const fs::path canonical = fs::weakly_canonical(output, error);
            if (!outputs.insert(canonical).second)
                throw HostError("cannot write " + output.string() + " for " + input +
                                ": an earlier input is written there");
            if (inputs.count(canonical) != 0 && canonical != fs::weakly_canonical(input, error))
                throw HostError("cannot write " + output.string() + " for " + input +
                                ": it is another input");
            EqualiseFile(library, input, output.string(), options.eq);
        } catch (const HostError& e) {
            std::fprintf(stderr, "lumo: %s\n", e.what());
            ++failed;
        }
    }
    if (failed > 0) throw ExitStatus{1};
}

void Equalise(const GlobalOptions& global, EqOptions& options) {
    options.eq.dither = !options.noDither;
    const bool batch = !options.folder.empty();
    if (!batch && options.files.size() != 2)
        throw HostError("lumo eq takes IN OUT, or IN... -o DIR (" +
                        std::to_string(options.files.size()) + " files given)");
    RemoveTemporaryOnSignals();
    const host::PluginLibrary library = global.Load(options.machine);
    options.eq.parameters = Resolve(library, options, !batch && options.files[1] == "-");
    if (batch) EqualiseIntoFolder(library, options);
    else EqualiseFile(library, options.files[0], options.files[1], options.eq);
}

}  // namespace

void AddEqCommand(CLI::App& app, const GlobalOptions& global) {
    CLI::App* command = app.add_subcommand(
        "eq", "Equalise audio files (WAV, FLAC, AIFF, OGG, Opus or MP3; mono or stereo; the "
              "sample rate is kept, 1 Hz to 768 kHz). The output carries the filters' 0.2 s tail and is written only on success.");
    auto options = std::make_shared<EqOptions>();
    command->add_option("MACHINE", options->machine, "Full name, short name or plug-in path")
        ->required();
    command
        ->add_option("FILES", options->files,
                     "IN OUT (- for stdin or stdout), or IN... with -o DIR")
        ->required();
    command->add_option("-o,--output-dir", options->folder,
                        "Write each IN to DIR under its own name (several files, same settings)")
        ->type_name("DIR");
    command
        ->add_option("--set", options->settings,
                     "NAME=VALUE; repeat for each parameter, the others keep their defaults. "
                     "NAME: name or index (\"1 kHz\", 1kHz, 1k, \"1000 Hz\"). Bands: raw slider "
                     "0..128 (64 = 0 dB) or gain (+6dB, nearest slider for the Range). Range=12 "
                     "(dB). Bandwidth: raw steps 1..24 in twelfths of an octave, or octaves "
                     "(0.67oct, 1/3oct, nearest step)")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->add_option("--bits", options->eq.bits, "Output samples: 16, 24, 32 or float "
                                                    "(default: the input's)")
        ->check(CLI::IsMember({"16", "24", "32", "float"}));
    command->add_flag("--no-dither", options->noDither,
                      "No TPDF dither when writing 16 bits or fewer (by default it is added, "
                      "from a fixed seed, when the audio was changed)");
    command->add_option("--type", options->eq.type,
                        std::string("Output container (") + kOutputTypes +
                            "); needed for stdout, else taken from OUT's extension")
        ->check(CLI::IsMember({"wav", "flac", "aiff", "aif", "ogg", "oga", "opus", "mp3"}, CLI::ignore_case));
    command->add_flag("--force", options->eq.force, "Replace a read-only OUT");
    command->add_flag("-q,--quiet", options->eq.quiet, "Print nothing but warnings and errors");
    command->add_option("--block", options->eq.blockFrames, "Frames per block handed to the machine")
        ->check(CLI::Range(1, 8192))
        ->capture_default_str();
    command->callback([&global, options] { Equalise(global, *options); });
}

}  // namespace lumo::cli
