// The three deliverables as the LV2 bundle sees them: each deliverables/ entry's own table, read
// without the machine. The entries define ThisDeliverable(); lv2/CMakeLists.txt compiles each one
// once more with that function renamed (ThisDeliverable31, ...), so one binary holds all three.
#pragma once

#include "shell/Deliverable.h"

namespace lumo {

const Deliverable& ThisDeliverable31();
const Deliverable& ThisDeliverable20();
const Deliverable& ThisDeliverable15();

}  // namespace lumo

namespace lumo::lv2 {

// One plug-in of the bundle: its URI (stable: hosts save sessions by it), its Turtle file and
// the deliverable whose table it is made from.
struct PluginKind {
    const char* uri;
    const char* turtleFile;
    const Deliverable& (*deliverable)();
};

constexpr int kPluginCount = 3;
constexpr PluginKind kPlugins[kPluginCount] = {
    {"urn:tarvo-lumo:lumo-31", "lumo-31.ttl", ThisDeliverable31},
    {"urn:tarvo-lumo:lumo-20", "lumo-20.ttl", ThisDeliverable20},
    {"urn:tarvo-lumo:lumo-15", "lumo-15.ttl", ThisDeliverable15},
};

// The bundle's folder and its binary's file name (the manifest points at it).
constexpr const char* kBundleName = "tarvo-lumo.lv2";
constexpr const char* kBinaryName = "tarvo-lumo.so";

}  // namespace lumo::lv2
