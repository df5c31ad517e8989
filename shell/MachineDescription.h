// The constant records a deliverable describes itself with (GetInfo) and its band layout.
#pragma once

namespace lumo {

struct ParameterRecord {
    int type;           // 2: one byte of the parameter block
    const char* name;
    const char* description;
    int minimum;
    int maximum;
    int noValue;        // 255: "no new value" in the parameter block
    int flags;          // 2
    int defaultValue;
};

struct MachineDescription {
    int machineType;                          // 2
    int interfaceVersion;                     // 63
    int flags;                                // 0x2000
    int minTracks;
    int maxTracks;
    int globalParameterCount;                 // N + 2
    int trackParameterCount;
    const ParameterRecord* const* parameters; // N + 2 records in parameter order
    int attributeCount;
    const void* const* attributes;            // an empty list
    const char* fullName;
    const char* shortName;
    const char* author;
    const char* commands;                     // "&About...\n&Graph..."
    const void* lastReference;                // null
};

// In the 32-bit DLL every field is one 32-bit word, as the host reads them.
static_assert(sizeof(void*) != 4 || sizeof(ParameterRecord) == 8 * 4);
static_assert(sizeof(void*) != 4 || sizeof(MachineDescription) == 15 * 4);

constexpr int kParameterTypeByte = 2;
constexpr int kParameterFlags = 2;
constexpr int kNoValue = 255;
constexpr int kRangeParameter = 0;
constexpr int kBandwidthParameter = 1;
constexpr int kFirstBandParameter = 2;
constexpr int kSliderMinimum = 0;
constexpr int kSliderMaximum = 128;
constexpr int kSliderCentre = 64;             // 0 dB

constexpr const char* kAuthor = "Tarvo Lumo developers";
constexpr const char* kCommands = "&About...\n&Graph...";

}  // namespace lumo
