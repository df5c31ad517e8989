// lumo-clap-host: a small CLAP file host for tests.
//   lumo-clap-host PLUGIN.clap --list                 each plug-in: id, name, features
//   lumo-clap-host PLUGIN.clap PLUGIN_ID --params     each parameter: id, name, min, max, default
//                                                     and the plug-in's text for the default
//   lumo-clap-host PLUGIN.clap PLUGIN_ID IN OUT.wav [--block N] [--rate-from-file]
//                  [--set PARAM_ID=PLAIN_VALUE]... [--at FRAME:PARAM_ID=PLAIN_VALUE]...
// Renders stereo IN into a 32-bit float OUT.wav of the same length: the plug-in runs at 48 kHz
// (or at IN's rate with --rate-from-file) in blocks of N frames (512; the last one shorter),
// --set values reach it as events at offset 0 of the first block, --at values at their frame.
// Fields are separated by tabs. Exit status 0, 1 when the plug-in or a file fails, 2 on usage.
#include "LoadedPlugin.h"
#include "Render.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace lumo::clap_host;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-clap-host: %s\n", message.c_str());
    return 1;
}

// "PARAM_ID=VALUE" at frame; false when the text is not that.
bool ParseChange(const std::string& text, int64_t frame, ParamChange& change) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) return false;
    char* end = nullptr;
    const std::string id = text.substr(0, equals), value = text.substr(equals + 1);
    const unsigned long paramId = std::strtoul(id.c_str(), &end, 10);
    if (*end != '\0' || id[0] == '-' || paramId > 0xFFFFFFFEul) return false;
    change.plainValue = std::strtod(value.c_str(), &end);
    change.paramId = static_cast<clap_id>(paramId);
    change.frame = frame;
    return *end == '\0';
}

// "FRAME:PARAM_ID=VALUE"; false when the text is not that.
bool ParseTimedChange(const std::string& text, ParamChange& change) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    char* end = nullptr;
    const long long frame = std::strtoll(text.c_str(), &end, 10);
    return end == text.c_str() + colon && frame >= 0 && ParseChange(text.substr(colon + 1), frame, change);
}

int List(const LoadedPlugin& loaded) {
    const clap_plugin_factory_t& factory = loaded.Factory();
    const uint32_t count = factory.get_plugin_count(&factory);
    for (uint32_t i = 0; i < count; ++i) {
        const clap_plugin_descriptor_t* d = factory.get_plugin_descriptor(&factory, i);
        if (d == nullptr) return Fail("the factory gives no descriptor " + std::to_string(i));
        std::string features;
        for (const char* const* f = d->features; f != nullptr && *f != nullptr; ++f)
            features += (features.empty() ? "" : " ") + std::string(*f);
        std::printf("%s\t%s\t%s\n", d->id, d->name, features.c_str());
    }
    return 0;
}

int Params(const LoadedPlugin& loaded) {
    const clap_plugin_t& plugin = loaded.Plugin();
    const clap_plugin_params_t* params = loaded.Params();
    if (params == nullptr) return Fail("the plug-in has no parameters extension");
    const uint32_t count = params->count(&plugin);
    for (uint32_t i = 0; i < count; ++i) {
        clap_param_info_t info{};
        if (!params->get_info(&plugin, i, &info)) return Fail("get_info fails for parameter " + std::to_string(i));
        char text[256] = "(none)";
        if (params->value_to_text == nullptr ||
            !params->value_to_text(&plugin, info.id, info.default_value, text, sizeof text))
            std::snprintf(text, sizeof text, "(none)");
        std::printf("%u\t%s\t%.10g\t%.10g\t%.10g\t%s\n", info.id, info.name, info.min_value, info.max_value,
                    info.default_value, text);
    }
    return 0;
}

struct Options {
    std::vector<std::string> positionals;
    bool list = false, params = false, rateFromFile = false;
    uint32_t block = 512;
    std::vector<std::string> sets, ats;
};

int RenderFile(const LoadedPlugin& loaded, TestHost& host, const Options& options) {
    StereoAudio in, out;
    std::string error;
    if (!ReadStereo(options.positionals[2], in, error)) return Fail(error);
    RenderSettings settings;
    settings.blockFrames = options.block;
    settings.sampleRate = options.rateFromFile ? in.rate : 48000.0;
    for (const std::string& text : options.sets) {
        settings.changes.emplace_back();
        if (!ParseChange(text, 0, settings.changes.back())) return Fail("--set takes PARAM_ID=VALUE, not " + text);
    }
    for (const std::string& text : options.ats) {
        settings.changes.emplace_back();
        if (!ParseTimedChange(text, settings.changes.back())) return Fail("--at takes FRAME:PARAM_ID=VALUE, not " + text);
    }
    if (!CheckChanges(loaded, settings.changes, static_cast<int64_t>(in.left.size()), error)) return Fail(error);
    if (!Render(loaded, host, in, settings, out, error)) return Fail(error);
    if (!WriteStereoFloat(options.positionals[3], out, error)) return Fail(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"A small CLAP file host for tests", "lumo-clap-host"};
    Options options;
    app.add_option("PLUGIN.clap PLUGIN_ID IN OUT.wav", options.positionals, "The plug-in file first")
        ->required()
        ->expected(1, 4);
    app.add_flag("--list", options.list, "List the file's plug-ins: id, name, features");
    app.add_flag("--params", options.params, "List the plug-in's parameters");
    app.add_option("--block", options.block, "Frames per process call (512)")->check(CLI::Range(1u, 1u << 20));
    app.add_flag("--rate-from-file", options.rateFromFile, "Run at IN's sample rate instead of 48000 Hz");
    app.add_option("--set", options.sets, "PARAM_ID=PLAIN_VALUE at the first frame")->allow_extra_args(false);
    app.add_option("--at", options.ats, "FRAME:PARAM_ID=PLAIN_VALUE at that frame")->allow_extra_args(false);
    CLI11_PARSE(app, argc, argv);
    const size_t count = options.positionals.size();
    if (!(options.list && count == 1) && !(options.params && count == 2) && !(!options.list && !options.params && count == 4)) {
        std::fprintf(stderr, "%s", app.help().c_str());
        return 2;
    }
    std::string error;
    std::unique_ptr<LoadedPlugin> loaded = LoadedPlugin::Open(options.positionals[0], error);
    if (!loaded) return Fail(error);
    if (options.list) return List(*loaded);
    TestHost host;
    if (!loaded->Create(options.positionals[1], host, error)) return Fail(error);
    host.ServeCallbackRequest(loaded->Plugin());
    return options.params ? Params(*loaded) : RenderFile(*loaded, host, options);
}
