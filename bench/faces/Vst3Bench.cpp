// lumo-vst3-bench: one class of a VST3 module, measured as lumo-lv2-bench measures an LV2 plug-in
// (bench/FrameCost.h), with the settings of bench/lv2/lv2-bench.sh: Range 16 dB, every band +24
// steps (+6 dB), Bandwidth at its default.
//
//   lumo-vst3-bench MODULE.so CLASS_NAME
//
// The instance is held as the unit tests hold one (tests/vst3/FakeHost.h): setupProcessing at
// 48 kHz for blocks of up to 256 frames, stereo buses, the values as parameter changes in the
// first block and none after. Every block takes the same noise from two channel buffers and
// writes two others.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "FrameCost.h"

namespace {

constexpr int kBlocks[] = {64, 256};
constexpr double kRangeDb = 16.0, kBandSteps = 24.0;

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-vst3-bench: %s\n", message.c_str());
    std::exit(1);
}

// The module opened as a Linux host opens it: ModuleEntry, then its factory.
v3_plugin_factory** OpenFactory(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) Fail(dlerror());
    const auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(module, "ModuleEntry"));
    const auto get = reinterpret_cast<v3_plugin_factory** (V3_API*)()>(dlsym(module, "GetPluginFactory"));
    if (entry == nullptr || get == nullptr || !entry(module)) Fail("no ModuleEntry or GetPluginFactory");
    return get();
}

// A parameter's title in ASCII (the titles are).
std::string Title(const v3_param_info& info) {
    std::string title;
    for (const int16_t* c = info.title; *c != 0; ++c) title += static_cast<char>(*c);
    return title;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumo::bench;
    using lumo::vst3::test::Changes;
    if (argc != 3) Fail("usage: lumo-vst3-bench MODULE.so CLASS_NAME");
    v3_plugin_factory** factory = OpenFactory(argv[1]);
    v3_class_info found{};
    for (int32_t i = 0; i < v3_cpp_obj(factory)->num_classes(factory); ++i)
        if (v3_cpp_obj(factory)->get_class_info(factory, i, &found) == V3_OK && std::string(found.name) == argv[2]) break;
    if (std::string(found.name) != argv[2]) Fail(std::string("no class named ") + argv[2]);

    lumo::vst3::test::Plugin plugin(factory, found.class_id);
    if (plugin.C() == nullptr || plugin.P() == nullptr || plugin.E() == nullptr) Fail("cannot create the instance");
    // Range 16, every band +24: plain values, normalised by the controller.
    Changes changes;
    std::vector<std::pair<v3_param_id, double>> wanted;
    for (int32_t i = 0; i < plugin.Controller().get_parameter_count(plugin.E()); ++i) {
        v3_param_info info{};
        plugin.Controller().get_parameter_info(plugin.E(), i, &info);
        const std::string title = Title(info);
        if (title == "Bandwidth") continue;
        const double plain = title == "Range" ? kRangeDb : kBandSteps;
        wanted.emplace_back(info.param_id, plugin.Controller().plain_parameter_to_normalised(plugin.E(), info.param_id, plain));
        changes.Add(info.param_id, 0, wanted.back().second);
    }
    if (plugin.Setup(kRateHz, 256) != V3_OK) Fail("setupProcessing or setActive failed");
    plugin.Processor().set_processing(plugin.P(), 1);

    std::vector<std::vector<float>> noise = StereoNoise(256), out(2, std::vector<float>(256));
    float* in[2] = {noise[0].data(), noise[1].data()};
    float* outChannels[2] = {out[0].data(), out[1].data()};
    v3_param_changes** blockChanges = changes.Get();
    auto runBlock = [&](int frames) {
        if (plugin.Process(in, outChannels, frames, blockChanges) != V3_OK) Fail("process failed");
        blockChanges = nullptr;
    };
    double nsPerFrame[2];
    for (int i = 0; i < 2; ++i) nsPerFrame[i] = NanosecondsPerFrame(runBlock, kBlocks[i]);
    plugin.Processor().set_processing(plugin.P(), 0);
    plugin.Component().set_active(plugin.C(), 0);
    // The values the blocks ran with, as the controller has them after the first block.
    for (const auto& [id, normalised] : wanted)
        if (plugin.Get(id) != normalised) Fail("parameter " + std::to_string(id) + " did not take its value");

    std::printf("%s %s", argv[1], argv[2]);
    for (int i = 0; i < 2; ++i) std::printf("  n=%d: %.1f ns/frame", kBlocks[i], nsPerFrame[i]);
    std::printf("\n");
    return 0;
}
