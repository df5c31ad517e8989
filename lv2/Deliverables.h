// The bundle's three plug-ins: the family's machines with their URIs (stable: hosts save
// sessions by them) and Turtle files.
#pragma once

#include "product/Deliverables.h"

namespace lumo::lv2 {

struct PluginKind {
    const char* uri;
    const char* turtleFile;
    const product::Deliverable& (*deliverable)();
};

constexpr int kPluginCount = product::kDeliverableCount;
constexpr PluginKind kPlugins[kPluginCount] = {
    {"urn:tarvo-lumo:lumo-31", "lumo-31.ttl", product::Lumo31},
    {"urn:tarvo-lumo:lumo-20", "lumo-20.ttl", product::Lumo20},
    {"urn:tarvo-lumo:lumo-15", "lumo-15.ttl", product::Lumo15},
};

// The bundle's folder and its binary's file name (the manifest points at it).
constexpr const char* kBundleName = "tarvo-lumo.lv2";
constexpr const char* kBinaryName = "tarvo-lumo.so";

}  // namespace lumo::lv2
