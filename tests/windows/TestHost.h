// A minimal host for the Windows tests: it knows the plug-ins only through their exports and the
// host boundary's headers (lumo/abi), never through the machine's own code, and lays out its
// callbacks table as the real host does (lumo/host/HostCallbacksTable.h), recording every call.
#pragma once

#include <windows.h>

#include <lumo/abi/Exports.h>
#include <lumo/abi/Machine.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "lumo/host/HostCallbacksTable.h"
#include "lumo/host/SavedStateBytes.h"

namespace testhost {

namespace abi = lumo::abi;

constexpr int kScratchFrames = 256;

// One call the machine made into the host's table: its slot and its argument words.
struct HostCall {
    int slot;
    std::vector<uintptr_t> arguments;
    bool operator==(const HostCall& other) const {
        return slot == other.slot && arguments == other.arguments;
    }
};

class RecordingHost final : public lumo::host::HostServices {
public:
    float* ScratchBuffer() override {
        calls.push_back({abi::ScratchBuffer::kSlot, {}});
        return scratch.data();
    }
    void RegisterExtension(abi::MachineExtension* registered) override {
        calls.push_back({abi::RegisterExtension::kSlot, {Word(registered)}});
        extension = registered;
    }
    void* OwnHandle() override {
        calls.push_back({abi::OwnHandle::kSlot, {}});
        return &handleTag;
    }
    const char* MachineTitle(void* handle) override {
        calls.push_back({abi::MachineTitle::kSlot, {Word(handle)}});
        return "Test Lumo";
    }
    void* HostWindow() override {
        calls.push_back({abi::HostWindow::kSlot, {}});
        return ownerWindow;
    }
    void ParameterTextChanged(void* handle, int index) override {
        calls.push_back({abi::ParameterTextChanged::kSlot, {Word(handle), static_cast<uintptr_t>(index)}});
    }

    static uintptr_t Word(const void* p) { return reinterpret_cast<uintptr_t>(p); }
    abi::HostCallbacks* Callbacks() { return &object_; }
    std::vector<HostCall> TakeCalls() { return std::exchange(calls, {}); }

    std::vector<float> scratch = std::vector<float>(2 * kScratchFrames);
    abi::MachineExtension* extension = nullptr;
    void* ownerWindow = nullptr;
    int handleTag = 0;
    std::vector<HostCall> calls;

private:
    lumo::host::HostCallbacksObject object_{*this};
};

// An export's address, as the export's type.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
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

// A plug-in DLL loaded as the host loads it, with its two exports. The test unloads it.
struct PluginFile {
    explicit PluginFile(int bands) : module(LoadLibraryA(PluginPath(bands).c_str())) {
        if (module == nullptr) return;
        getInfo = Export<abi::GetInfoFunction>(module, abi::kGetInfoExport);
        createMachine = Export<abi::CreateMachineFunction>(module, abi::kCreateMachineExport);
    }
    bool Loaded() const { return module != nullptr && getInfo != nullptr && createMachine != nullptr; }
    // A new machine with the host's records set, as the host does before Initialise.
    abi::MachineBase* CreateMachine(abi::HostInfo& hostInfo, RecordingHost& host) const {
        abi::MachineBase* machine = createMachine();
        if (machine == nullptr) return nullptr;
        machine->hostInfo = &hostInfo;
        machine->callbacks = host.Callbacks();
        return machine;
    }

    HMODULE module;
    abi::GetInfoFunction getInfo = nullptr;
    abi::CreateMachineFunction createMachine = nullptr;
};

// GDI+ for the graph window's paints: the host starts it once, the plug-ins never do.
struct GdiplusStartupInput {
    UINT32 version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};
extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);

inline bool StartGdiplusOnce() {
    static const bool started = [] {
        ULONG_PTR token = 0;
        GdiplusStartupInput input;
        return GdiplusStartup(&token, &input, nullptr) == 0;
    }();
    return started;
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
