// The lilv host of lumo-lv2-bench: the features common plug-ins ask for, and instances of one
// plug-in side by side with every port connected.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::lv2bench {

// Prints "lumo-lv2-bench: message" on stderr and ends the program with status 1.
[[noreturn]] void Fail(const std::string& message);

// A control value from --set; a symbol that ends in '*' is a prefix.
struct Setting {
    std::string symbol;
    float value;
};

struct UridTable {
    std::vector<std::string> uris;
    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);
    static const char* Unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid);
};

// URID map and unmap, options with the block lengths and sample rate, bounded block length.
// The features point into this object: it is neither copied nor moved.
class HostFeatures {
public:
    HostFeatures(int32_t nominalBlock, int32_t maxBlock, float rateHz);
    HostFeatures(const HostFeatures&) = delete;
    HostFeatures& operator=(const HostFeatures&) = delete;

    const LV2_Feature* const* List() const { return list_; }
    LV2_URID Map(const char* uri) { return UridTable::Map(&urids_, uri); }
    double RateHz() const { return rateHz_; }

private:
    UridTable urids_;
    LV2_URID_Map map_{&urids_, UridTable::Map};
    LV2_URID_Unmap unmap_{&urids_, UridTable::Unmap};
    int32_t minBlock_ = 1;
    int32_t maxBlock_;
    int32_t nominalBlock_;
    float rateHz_;
    LV2_Options_Option options_[5] = {};
    LV2_Feature mapFeature_{}, unmapFeature_{}, optionsFeature_{}, boundedFeature_{};
    const LV2_Feature* list_[5] = {};
};

// The lilv world with every bundle on LV2_PATH loaded, and the port classes the bench tells
// apart. Freed with the object.
struct Lv2World {
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    // The plug-in of this URI; fails when there is none.
    const LilvPlugin* Plugin(const char* uri);

    LilvWorld* world;
    LilvNode* audioClass;
    LilvNode* controlClass;
    LilvNode* atomClass;
    LilvNode* inputClass;
    LilvNode* pluginUri = nullptr;
};

// `count` instances of the plug-in, activated, with the stereo noise's two channels across all
// their audio inputs together, an output buffer for each audio output, control inputs at their
// defaults or as set, atom inputs as empty sequences and atom outputs with room. Fails on a port
// it cannot connect and unless the audio inputs are exactly two. Deactivated and freed with the
// object.
class PluginInstances {
public:
    PluginInstances(const Lv2World& lv2, const LilvPlugin* plugin, const char* uri, int count,
                    HostFeatures& features, const std::vector<Setting>& settings,
                    std::vector<std::vector<float>>& noise);
    ~PluginInstances();
    PluginInstances(const PluginInstances&) = delete;
    PluginInstances& operator=(const PluginInstances&) = delete;

    // One block of `frames` through every instance.
    void Run(int frames);

private:
    void Connect(LilvInstance* instance, uint32_t index, float& control);

    const Lv2World& lv2_;
    const LilvPlugin* plugin_;
    const std::vector<Setting>& settings_;
    std::vector<std::vector<float>>& noise_;
    LV2_URID sequenceType_;
    LV2_URID chunkType_;
    std::vector<LilvInstance*> running_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float> controls_;
    std::vector<std::vector<uint64_t>> atoms_;  // 8-byte aligned atom buffers
    std::vector<LV2_Atom*> atomOutputs_;
    int audioInputs_ = 0;
};

}  // namespace lumo::lv2bench
