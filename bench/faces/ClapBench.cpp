// lumo-clap-bench: one plug-in of a CLAP file, measured as lumo-lv2-bench measures an LV2 one
// (bench/FrameCost.h), with the settings of bench/lv2/lv2-bench.sh: Range 16 dB, every band +24
// steps (+6 dB), Bandwidth at its default.
//
//   lumo-clap-bench FILE.clap PLUGIN_ID
//
// Activated for blocks of up to 256 frames; the values go in as parameter events in the first
// block and no later block has any. Every block takes the same noise from two channel buffers
// and writes two others, on an audio thread of its own (the test host's thread checks).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FrameCost.h"
#include "LoadedPlugin.h"
#include "ParamEvents.h"
#include "TestHost.h"

namespace {

using namespace lumo::clap_host;

constexpr int kBlocks[] = {64, 256};
constexpr double kRangeDb = 16.0, kBandSteps = 24.0;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-clap-bench: %s\n", message.c_str());
    std::exit(1);
}

// Range 16, every band +24: the plain values (Range in dB, a band in steps from flat).
std::vector<ParamChange> BenchValues(const LoadedPlugin& loaded) {
    std::vector<ParamChange> changes;
    const clap_plugin_t& plugin = loaded.Plugin();
    for (uint32_t i = 0; i < loaded.Params()->count(&plugin); ++i) {
        clap_param_info_t info{};
        if (!loaded.Params()->get_info(&plugin, i, &info)) Fail("no info on parameter " + std::to_string(i));
        if (std::strcmp(info.name, "Range") == 0) changes.push_back({0, info.id, kRangeDb});
        else if (std::strcmp(info.name, "Bandwidth") != 0) changes.push_back({0, info.id, kBandSteps});
    }
    return changes;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumo::bench;
    if (argc != 3) Fail("usage: lumo-clap-bench FILE.clap PLUGIN_ID");
    std::string error;
    TestHost host;
    std::unique_ptr<LoadedPlugin> loaded = LoadedPlugin::Open(argv[1], error);
    if (loaded == nullptr || !loaded->Create(argv[2], host, error)) Fail(error);
    if (loaded->Params() == nullptr) Fail("the plug-in has no parameters extension");
    const clap_plugin_t& plugin = loaded->Plugin();
    const std::vector<ParamChange> changes = BenchValues(*loaded);
    if (!plugin.activate(&plugin, kRateHz, 1, 256)) Fail("activate failed");
    host.ServeCallbackRequest(plugin);

    double nsPerFrame[2] = {};
    std::thread audio([&] {
        TestHost::BecomeAudioThread();
        if (!plugin.start_processing(&plugin)) Fail("start_processing failed");
        std::vector<std::vector<float>> noise = StereoNoise(256), out(2, std::vector<float>(256));
        float* inChannels[2] = {noise[0].data(), noise[1].data()};
        float* outChannels[2] = {out[0].data(), out[1].data()};
        clap_audio_buffer_t input{inChannels, nullptr, 2, 0, 0};
        clap_audio_buffer_t output{outChannels, nullptr, 2, 0, 0};
        BlockEvents first(changes), none(std::vector<ParamChange>{});
        first.SelectBlock(0, 64);
        clap_process_t process = StereoProcess(input, output, first);
        auto runBlock = [&](int frames) {
            process.frames_count = static_cast<uint32_t>(frames);
            if (plugin.process(&plugin, &process) == CLAP_PROCESS_ERROR) Fail("process failed");
            process.steady_time += frames;
            process.in_events = none.Input();
        };
        for (int i = 0; i < 2; ++i) nsPerFrame[i] = NanosecondsPerFrame(runBlock, kBlocks[i]);
        plugin.stop_processing(&plugin);
    });
    audio.join();
    host.ServeCallbackRequest(plugin);
    // The values the blocks ran with.
    for (const ParamChange& change : changes) {
        double value = 0.0;
        if (!loaded->Params()->get_value(&plugin, change.paramId, &value) || value != change.plainValue)
            Fail("parameter " + std::to_string(change.paramId) + " did not take its value");
    }
    plugin.deactivate(&plugin);

    std::printf("%s %s", argv[1], argv[2]);
    for (int i = 0; i < 2; ++i) std::printf("  n=%d: %.1f ns/frame", kBlocks[i], nsPerFrame[i]);
    std::printf("\n");
    return 0;
}
