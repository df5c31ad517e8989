// A minimal host for the Windows tests, declared entirely on the host's side: it knows the
// plug-ins only through their exports, the machine head and the tables of operations, never
// through the machine's own headers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace testhost {

#define HOST_THISCALL __attribute__((thiscall))

struct HostInfo {
    int tempoBpm = 126;
    int ticksPerBeat = 4;
    int sampleRateHz = 44100;
};

struct ParameterRecord {
    int type;
    const char* name;
    const char* description;
    int minimum;
    int maximum;
    int noValue;
    int flags;
    int defaultValue;
};

struct MachineDescription {
    int machineType;
    int interfaceVersion;
    int flags;
    int minTracks;
    int maxTracks;
    int globalParameterCount;
    int trackParameterCount;
    const ParameterRecord* const* parameters;
    int attributeCount;
    const void* const* attributes;
    const char* fullName;
    const char* shortName;
    const char* author;
    const char* commands;
    const void* lastReference;
};

// The head every machine begins with; the host writes hostInfo and callbacks.
struct MachineHead {
    void** table;
    unsigned char* parameterBlock;
    void* reserved1;
    void* reserved2;
    HostInfo* hostInfo;
    void* callbacks;
};

constexpr int kScratchFrames = 256;

// The host's callbacks: exactly six operations, in the host's order.
class Callbacks {
public:
    virtual HOST_THISCALL float* ScratchBuffer() { return scratch.data(); }
    virtual HOST_THISCALL void RegisterExtension(void* ext) { extension = ext; ++registrations; }
    virtual HOST_THISCALL void* OwnHandle() { return &handleTag; }
    virtual HOST_THISCALL const char* MachineTitle(void*) { return "Test Lumo"; }
    virtual HOST_THISCALL void* HostWindow() { return nullptr; }
    virtual HOST_THISCALL void ParameterTextChanged(void*, int) { ++textChanges; }

    std::vector<float> scratch = std::vector<float>(2 * kScratchFrames);
    void* extension = nullptr;
    int registrations = 0;
    int textChanges = 0;
    int handleTag = 0;
};

// Saved-state writer: one operation, Write(source, byteCount).
class StateWriter {
public:
    virtual HOST_THISCALL void Write(const void* source, int byteCount) {
        const auto* bytes = static_cast<const unsigned char*>(source);
        data.insert(data.end(), bytes, bytes + byteCount);
    }
    std::vector<unsigned char> data;
};

using GetInfoFn = const MachineDescription* (*)();
using CreateMachineFn = MachineHead* (*)();

// An export's address, as a plain pointer to be cast to the export's own type.
inline void* ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

inline std::string PluginDir() {
    if (const char* dir = std::getenv("LUMO_PLUGIN_DIR"); dir && *dir) return dir;
#ifdef LUMO_PLUGIN_DIR
    return LUMO_PLUGIN_DIR;
#else
    return ".";
#endif
}

inline std::string PluginPath(int bands) {
    return PluginDir() + "/Tarvo Lumo-" + std::to_string(bands) + ".dll";
}

// Delivers the pending messages of this thread (paints, window bookkeeping) for about ms.
inline void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

}  // namespace testhost
