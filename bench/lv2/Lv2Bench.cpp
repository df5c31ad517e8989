// Runs any LV2 effect in one lilv host and reports its cost in ns per stereo frame, at each block
// length asked for, with the features common plug-ins ask for (URID map and unmap, options with the
// block lengths and sample rate, bounded block length).
//
//   lumo-lv2-bench [--instances N] [--blocks 64,256] [--set SYMBOL=VALUE]... URI
//
// --instances runs N instances side by side (two of a mono plug-in make one stereo effect); the
// audio inputs of all instances together take the two channels of the stereo noise. --set
// PREFIX*=VALUE sets every control input whose symbol starts with PREFIX. The figure is the best
// of several runs of about 0.2 s each, in the thread's CPU time (on shared cores the wall clock
// counts other processes' turns too).
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr uint32_t kAtomCapacity = 8192;

struct UridTable {
    std::vector<std::string> uris;
    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
        auto* self = static_cast<UridTable*>(handle);
        for (size_t i = 0; i < self->uris.size(); ++i)
            if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        self->uris.emplace_back(uri);
        return static_cast<LV2_URID>(self->uris.size());
    }
    static const char* Unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
        auto* self = static_cast<UridTable*>(handle);
        return urid >= 1 && urid <= self->uris.size() ? self->uris[urid - 1].c_str() : nullptr;
    }
};

struct Setting {
    std::string symbol;  // ends in '*': a prefix
    float value;
};

bool Matches(const Setting& setting, const char* symbol) {
    const std::string& s = setting.symbol;
    if (!s.empty() && s.back() == '*') return std::strncmp(symbol, s.c_str(), s.size() - 1) == 0;
    return s == symbol;
}

double ThreadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-lv2-bench: %s\n", message.c_str());
    std::exit(1);
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

int main(int argc, char** argv) {
    int instances = 1;
    std::vector<int> blocks = {64, 256};
    std::vector<Setting> settings;
    const char* uri = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--instances" && i + 1 < argc) {
            instances = std::atoi(argv[++i]);
        } else if (arg == "--blocks" && i + 1 < argc) {
            blocks.clear();
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');) blocks.push_back(std::atoi(item.c_str()));
        } else if (arg == "--set" && i + 1 < argc) {
            const std::string s = argv[++i];
            const size_t eq = s.find('=');
            if (eq == std::string::npos) Fail("--set wants SYMBOL=VALUE");
            settings.push_back({s.substr(0, eq), std::strtof(s.c_str() + eq + 1, nullptr)});
        } else if (uri == nullptr && arg[0] != '-') {
            uri = argv[i];
        } else {
            Fail("usage: lumo-lv2-bench [--instances N] [--blocks 64,256] [--set SYMBOL=VALUE]... URI");
        }
    }
    if (uri == nullptr || instances < 1 || blocks.empty()) Fail("nothing to run (see the usage)");
    const int maxBlock = *std::max_element(blocks.begin(), blocks.end());

    AbsoluteLv2Path();
    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    LilvNode* uriNode = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    if (plugin == nullptr) Fail(std::string("no plug-in ") + uri + " on LV2_PATH");
    LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);

    UridTable urids;
    LV2_URID_Map map = {&urids, UridTable::Map};
    LV2_URID_Unmap unmap = {&urids, UridTable::Unmap};
    const LV2_URID intType = UridTable::Map(&urids, LV2_ATOM__Int);
    const LV2_URID floatType = UridTable::Map(&urids, LV2_ATOM__Float);
    const int32_t minBlock = 1;
    const int32_t maxBlockLength = maxBlock;
    const int32_t nominal = blocks.front();
    const float rate = static_cast<float>(kRate);
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, UridTable::Map(&urids, LV2_BUF_SIZE__minBlockLength), sizeof minBlock, intType, &minBlock},
        {LV2_OPTIONS_INSTANCE, 0, UridTable::Map(&urids, LV2_BUF_SIZE__maxBlockLength), sizeof maxBlockLength, intType, &maxBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, UridTable::Map(&urids, LV2_BUF_SIZE__nominalBlockLength), sizeof nominal, intType, &nominal},
        {LV2_OPTIONS_INSTANCE, 0, UridTable::Map(&urids, LV2_PARAMETERS__sampleRate), sizeof rate, floatType, &rate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    const LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LV2_Feature unmapFeature = {LV2_URID__unmap, &unmap};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature boundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* features[] = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature, nullptr};
    const LV2_URID sequenceType = UridTable::Map(&urids, LV2_ATOM__Sequence);
    const LV2_URID chunkType = UridTable::Map(&urids, LV2_ATOM__Chunk);

    // Stereo noise at about -12 dBFS, one block's worth, fed again every block.
    std::vector<std::vector<float>> noise(2, std::vector<float>(static_cast<size_t>(maxBlock)));
    uint32_t seed = 1;
    for (auto& channel : noise)
        for (float& s : channel) {
            seed = seed * 1664525u + 1013904223u;
            s = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.5f;
        }

    const uint32_t portCount = lilv_plugin_get_num_ports(plugin);
    std::vector<LilvInstance*> running;
    std::vector<std::vector<float>> outputs;
    std::vector<float> controls(static_cast<size_t>(portCount) * static_cast<size_t>(instances));
    std::vector<std::vector<uint64_t>> atoms;  // 8-byte aligned atom buffers
    std::vector<LV2_Atom*> atomOutputs;
    int audioInputs = 0;
    for (int n = 0; n < instances; ++n) {
        LilvInstance* instance = lilv_plugin_instantiate(plugin, kRate, features);
        if (instance == nullptr) Fail(std::string("cannot instantiate ") + uri);
        running.push_back(instance);
        for (uint32_t p = 0; p < portCount; ++p) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
            const bool input = lilv_port_is_a(plugin, port, inputClass);
            const char* symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            if (lilv_port_is_a(plugin, port, audioClass)) {
                if (input) {
                    if (audioInputs >= 2) Fail("more than two audio inputs in all: not a stereo effect");
                    lilv_instance_connect_port(instance, p, noise[static_cast<size_t>(audioInputs++)].data());
                } else {
                    outputs.emplace_back(static_cast<size_t>(maxBlock));
                    lilv_instance_connect_port(instance, p, outputs.back().data());
                }
            } else if (lilv_port_is_a(plugin, port, controlClass)) {
                float& value = controls[static_cast<size_t>(n) * portCount + p];
                LilvNode* defaultValue = nullptr;
                lilv_port_get_range(plugin, port, &defaultValue, nullptr, nullptr);
                value = defaultValue != nullptr ? lilv_node_as_float(defaultValue) : 0.0f;
                lilv_node_free(defaultValue);
                if (input)
                    for (const Setting& setting : settings)
                        if (Matches(setting, symbol)) value = setting.value;
                lilv_instance_connect_port(instance, p, &value);
            } else if (lilv_port_is_a(plugin, port, atomClass)) {
                atoms.emplace_back((sizeof(LV2_Atom) + kAtomCapacity) / 8 + 1, 0);
                auto* atom = reinterpret_cast<LV2_Atom*>(atoms.back().data());
                if (input) {
                    atom->size = sizeof(LV2_Atom_Sequence_Body);
                    atom->type = sequenceType;
                } else {
                    atomOutputs.push_back(atom);
                }
                lilv_instance_connect_port(instance, p, atom);
            } else {
                Fail(std::string("port ") + symbol + " is of a kind this bench does not connect");
            }
        }
        lilv_instance_activate(instance);
    }
    if (audioInputs != 2) Fail("the instances take " + std::to_string(audioInputs) + " audio inputs, not 2");

    auto runBlock = [&](int frames) {
        for (LV2_Atom* atom : atomOutputs) {
            atom->size = kAtomCapacity;
            atom->type = chunkType;
        }
        for (LilvInstance* instance : running) lilv_instance_run(instance, static_cast<uint32_t>(frames));
    };

    std::printf("%s (%d instance%s)", uri, instances, instances > 1 ? "s" : "");
    for (int block : blocks) {
        // Warm up (1 s of audio), then the best of 7 runs of about 0.2 s each.
        for (int done = 0; done < static_cast<int>(kRate); done += block) runBlock(block);
        double best = 1e30;
        for (int repeat = 0; repeat < 7; ++repeat) {
            long frames = 0;
            const double start = ThreadCpuNanoseconds();
            double elapsed = 0.0;
            do {
                for (int k = 0; k < 64; ++k) runBlock(block);
                frames += 64L * block;
                elapsed = ThreadCpuNanoseconds() - start;
            } while (elapsed < 2e8);
            best = std::min(best, elapsed / static_cast<double>(frames));
        }
        std::printf("  n=%d: %.1f ns/frame", block, best);
    }
    std::printf("\n");

    for (LilvInstance* instance : running) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    for (LilvNode* node : {uriNode, audioClass, controlClass, atomClass, inputClass}) lilv_node_free(node);
    lilv_world_free(world);
    return 0;
}
