// The plug-in boundary as a host sees it: the records GetInfo returns, the machine's head, and
// the host's own objects the machine calls back. Declared here on the host side, independent of
// any plug-in's headers, so the host depends only on the binary layout.
#pragma once

#include <cstdint>

// Member functions at the boundary: __thiscall on 32-bit Windows (the callee pops its argument
// words), `this` as the first argument on x86-64.
#if defined(__i386__) && defined(_WIN32)
#define LUMO_HOST_THISCALL __attribute__((thiscall))
#else
#define LUMO_HOST_THISCALL
#endif

namespace lumo::host::abi {

// One per parameter; integer fields are 32-bit, text fields pointer-sized.
struct ParameterRecord {
    int32_t type;
    const char* name;
    const char* description;
    int32_t minimum;
    int32_t maximum;
    int32_t noValue;
    int32_t flags;
    int32_t defaultValue;
};

struct MachineDescription {
    int32_t machineType;
    int32_t interfaceVersion;
    int32_t flags;
    int32_t minTracks;
    int32_t maxTracks;
    int32_t globalParameterCount;
    int32_t trackParameterCount;
    const ParameterRecord* const* parameters;
    int32_t attributeCount;
    const void* const* attributes;
    const char* fullName;
    const char* shortName;
    const char* author;
    const char* commands;
    const void* lastReference;
};

// The machine reads only the third field.
struct HostInfo {
    int32_t tempoBpm;
    int32_t ticksPerBeat;
    int32_t sampleRateHz;
};

// The fields every machine object begins with; the host reads and writes them directly.
struct MachineHead {
    void* const* table;
    unsigned char* parameterBlock;
    void* reserved1;
    void* reserved2;
    HostInfo* hostInfo;
    void* callbacks;
};

// Positions in the machine's table of 19 operations.
enum MachineSlot : int {
    kSlotDeletingDestructor = 0,  // void* (unsigned flags)
    kSlotInitialise = 1,          // void (StateReader*)
    kSlotApplyParameters = 2,     // void ()
    kSlotProcessAudio = 3,        // bool (float*, int frames, int mode)
    kSlotSaveState = 6,           // void (StateWriter*)
    kSlotRunCommand = 8,          // void (int)
    kSlotParameterValueText = 14, // const char* (int index, int raw)
    kMachineSlotCount = 19,
};

// Position of HideGraphWindow (bool) in the extension's table of 81 operations.
constexpr int kSlotHideGraphWindow = 25;
constexpr int kExtensionSlotCount = 81;

// Audio modes of ProcessAudio.
constexpr int kModeNoInput = 2;   // render what is left of the output
constexpr int kModeInput = 3;     // process the buffer in place

constexpr int kNoValue = 255;

// The host's objects. Each has exactly the listed virtual slots, in this order, and no virtual
// destructor (which would add slots).
class HostCallbacks {
public:
    virtual float* ScratchBuffer() = 0;
    virtual void RegisterExtension(void* extension) = 0;
    virtual void* OwnHandle() = 0;
    virtual const char* MachineTitle(void* handle) = 0;
    virtual void* HostWindow() = 0;
    virtual void ParameterTextChanged(void* handle, int parameterIndex) = 0;

protected:
    ~HostCallbacks() = default;
};

class StateReader {
public:
    virtual void Read(void* destination, int byteCount) = 0;

protected:
    ~StateReader() = default;
};

class StateWriter {
public:
    virtual void Write(const void* source, int byteCount) = 0;

protected:
    ~StateWriter() = default;
};

// Calls slot `slot` of the table at offset 0 of `object` as a member function.
template <typename R, typename... Args>
R CallSlot(void* object, int slot, Args... args) {
    using Fn = R(LUMO_HOST_THISCALL*)(void*, Args...);
    void* const* table = *static_cast<void* const* const*>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}

}  // namespace lumo::host::abi
