// The constant records a plug-in describes itself with, and the host's record the machine reads.
// Integer fields are 32-bit signed, text and list fields pointers (4 bytes in the DLL).
#pragma once

#include <cstdint>

namespace lumo::abi {

constexpr int32_t kMachineType = 2;
constexpr int32_t kInterfaceVersion = 63;
constexpr int32_t kDescriptionFlags = 0x2000;
constexpr int32_t kParameterTypeByte = 2;  // one byte of the parameter block
constexpr int32_t kParameterFlags = 2;
// The parameter-change protocol: before each ApplyParameters the host writes one byte per global
// parameter into the machine's parameter block, the new value or kNoValue for "unchanged".
constexpr int32_t kNoValue = 255;

// One per global parameter.
struct ParameterRecord {
    int32_t type;             // kParameterTypeByte
    const char* name;
    const char* description;
    int32_t minimum;
    int32_t maximum;
    int32_t noValue;          // kNoValue
    int32_t flags;            // kParameterFlags
    int32_t defaultValue;
};

// What GetInfo returns: constant, the same record on every call.
struct MachineDescription {
    int32_t machineType;                       // kMachineType
    int32_t interfaceVersion;                  // kInterfaceVersion
    int32_t flags;                             // kDescriptionFlags
    int32_t minTracks;
    int32_t maxTracks;
    int32_t globalParameterCount;              // bands + 2
    int32_t trackParameterCount;
    const ParameterRecord* const* parameters;  // globalParameterCount records, in parameter order
    int32_t attributeCount;
    const void* const* attributes;             // an empty list
    const char* fullName;                      // "Tarvo Lumo-31"
    const char* shortName;                     // "Lumo-31"
    const char* author;
    const char* commands;                      // one command per line, numbered from 0
    const void* lastReference;                 // null
};

// The host's record; the machine reads only the sample rate.
struct HostInfo {
    int32_t tempoBpm;
    int32_t ticksPerBeat;
    int32_t sampleRateHz;
};

static_assert(sizeof(void*) != 4 || sizeof(ParameterRecord) == 8 * 4);
static_assert(sizeof(void*) != 4 || sizeof(MachineDescription) == 15 * 4);
static_assert(sizeof(HostInfo) == 3 * 4);

}  // namespace lumo::abi
