// The file's three plug-ins: the family's machines with their CLAP IDs (stable: hosts save
// sessions by them) and descriptors.
#pragma once

#include <clap/plugin.h>

#include "product/Deliverables.h"

namespace lumo::clap {

struct PluginKind {
    const clap_plugin_descriptor_t* descriptor;  // id, name, vendor, features
    const product::Deliverable& (*deliverable)();
};

constexpr int kPluginCount = product::kDeliverableCount;

// 0: Lumo-31, 1: Lumo-20, 2: Lumo-15 (product/Deliverables.h's order).
const PluginKind& PluginKindAt(int index);

// The kind with this ID, or null.
const PluginKind* FindPluginKind(const char* pluginId);

}  // namespace lumo::clap
