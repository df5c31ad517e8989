// Runs any LV2 effect in one lilv host and reports its cost in ns per stereo frame, at each block
// length asked for, with the features common plug-ins ask for (URID map and unmap, options with the
// block lengths and sample rate, bounded block length).
//
//   lumo-lv2-bench [--instances N] [--blocks 64,256] [--set SYMBOL=VALUE]... URI
//
// --instances runs N instances side by side (two of a mono plug-in make one stereo effect); the
// audio inputs of all instances together take the two channels of the stereo noise. --set
// PREFIX*=VALUE sets every control input whose symbol starts with PREFIX. How the figure is
// measured: bench/FrameCost.h.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "FrameCost.h"
#include "Lv2BenchHost.h"

namespace lumo::lv2bench {
namespace {

struct Arguments {
    int instances = 1;
    std::vector<int> blocks = {64, 256};
    std::vector<Setting> settings;
    const char* uri = nullptr;
};

// The command line; fails with the usage on anything else.
Arguments ParseArguments(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--instances" && i + 1 < argc) {
            arguments.instances = std::atoi(argv[++i]);
        } else if (arg == "--blocks" && i + 1 < argc) {
            arguments.blocks.clear();
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');)
                arguments.blocks.push_back(std::atoi(item.c_str()));
        } else if (arg == "--set" && i + 1 < argc) {
            const std::string s = argv[++i];
            const size_t eq = s.find('=');
            if (eq == std::string::npos) Fail("--set wants SYMBOL=VALUE");
            arguments.settings.push_back({s.substr(0, eq), std::strtof(s.c_str() + eq + 1, nullptr)});
        } else if (arguments.uri == nullptr && arg[0] != '-') {
            arguments.uri = argv[i];
        } else {
            Fail("usage: lumo-lv2-bench [--instances N] [--blocks 64,256] [--set SYMBOL=VALUE]... URI");
        }
    }
    if (arguments.uri == nullptr || arguments.instances < 1 || arguments.blocks.empty())
        Fail("nothing to run (see the usage)");
    return arguments;
}

// Debian 12's lilv crashes on a relative folder in LV2_PATH: make each one absolute.
void AbsoluteLv2Path() {
    const char* path = std::getenv("LV2_PATH");
    if (path == nullptr) return;
    std::string absolute;
    std::stringstream folders(path);
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (folder.empty()) continue;
        char* resolved = realpath(folder.c_str(), nullptr);
        if (!absolute.empty()) absolute += ':';
        absolute += resolved != nullptr ? resolved : folder;
        std::free(resolved);
    }
    setenv("LV2_PATH", absolute.c_str(), 1);
}

}  // namespace
}  // namespace lumo::lv2bench

int main(int argc, char** argv) {
    using namespace lumo::lv2bench;
    using namespace lumo::bench;
    const Arguments arguments = ParseArguments(argc, argv);
    const int maxBlock = *std::max_element(arguments.blocks.begin(), arguments.blocks.end());
    AbsoluteLv2Path();
    Lv2World lv2;
    const LilvPlugin* plugin = lv2.Plugin(arguments.uri);
    HostFeatures features(arguments.blocks.front(), maxBlock, static_cast<float>(kRateHz));
    std::vector<std::vector<float>> noise = StereoNoise(maxBlock);
    PluginInstances instances(lv2, plugin, arguments.uri, arguments.instances, features,
                              arguments.settings, noise);

    std::printf("%s (%d instance%s)", arguments.uri, arguments.instances, arguments.instances > 1 ? "s" : "");
    const auto runBlock = [&](int frames) { instances.Run(frames); };
    for (int block : arguments.blocks)
        std::printf("  n=%d: %.1f ns/frame", block, NanosecondsPerFrame(runBlock, block));
    std::printf("\n");
    return 0;
}
