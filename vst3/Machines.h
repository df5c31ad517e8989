// The factory's three classes: the family's machines with their class IDs. The IDs are stable
// (hosts save sessions by them): each is the name-based UUID (RFC 4122 version 5, URL namespace)
// of the machine's URI, the one the LV2 face uses, e.g.
//   python3 -c 'import uuid; print(uuid.uuid5(uuid.NAMESPACE_URL, "urn:tarvo-lumo:lumo-31"))'
#pragma once

#include "product/Deliverables.h"
#include "vst3/Interfaces.h"

namespace lumo::vst3 {

struct MachineClass {
    v3_tuid classId;
    const char* uri;
    const product::Deliverable& (*deliverable)();
};

constexpr int kMachineCount = product::kDeliverableCount;
inline const MachineClass kMachines[kMachineCount] = {
    {V3_ID(0x52296BBA, 0xBC0B5BC2, 0xA8615357, 0x25CEA5C1), "urn:tarvo-lumo:lumo-31", product::Lumo31},
    {V3_ID(0x8B4EB807, 0xC1BB537C, 0xA7FB6BE3, 0x6C30C6C1), "urn:tarvo-lumo:lumo-20", product::Lumo20},
    {V3_ID(0x6B9F1BE9, 0x11665137, 0x9C3835E6, 0xDFBF768D), "urn:tarvo-lumo:lumo-15", product::Lumo15},
};

constexpr const char* kVendor = "Tarvo Lumo";
constexpr const char* kClassCategory = "Audio Module Class";  // an audio processor with its controller
constexpr const char* kSubCategories = "Fx|EQ";
// The interface version this face is written against (travesty declares VST 3.7.4's).
constexpr const char* kSdkVersion = "VST 3.7.4";

}  // namespace lumo::vst3
