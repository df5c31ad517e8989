// A host for tests that drive one machine object directly: its callbacks table is laid out as the
// real host's (lumo/host/HostCallbacksTable.h), and it records what the machine asks of it. Saved
// states go through the reference host's reader and writer (lumo/host/SavedStateBytes.h).
#pragma once

#include <lumo/abi/Machine.h>

#include <memory>
#include <string>
#include <vector>

#include "lumo/host/HostCallbacksTable.h"
#include "lumo/host/SavedStateBytes.h"
#include "shell/EqualiserMachine.h"
#include "shell/ThisDeliverable.h"

namespace lumo::test {

class FakeHost final : public host::HostServices {
public:
    float* ScratchBuffer() override {
        ++scratchCalls;
        return scratch.data();
    }
    void RegisterExtension(abi::MachineExtension* registered) override { extension = registered; }
    void* OwnHandle() override { return &handleTag; }
    const char* MachineTitle(void* handle) override {
        titleAskedFor = handle;
        return title.c_str();
    }
    void* HostWindow() override { return ownerWindow; }
    void ParameterTextChanged(void* handle, int parameterIndex) override {
        textChangedHandles.push_back(handle);
        textChanged.push_back(parameterIndex);
    }

    abi::HostCallbacks* Callbacks() { return &callbacks_; }

    int handleTag = 0;
    std::vector<float> scratch = std::vector<float>(2 * 16384, 12345.0f);
    int scratchCalls = 0;
    std::vector<void*> textChangedHandles;
    std::vector<int> textChanged;
    void* titleAskedFor = nullptr;
    std::string title = "Lumo graph test";
    void* ownerWindow = nullptr;
    abi::MachineExtension* extension = nullptr;

private:
    host::HostCallbacksObject callbacks_{*this};
};

// A machine of the deliverable the test is linked with, destroyed through its slot 0.
struct MachineDeleter {
    void operator()(EqualiserMachine* machine) const { machine->DeletingDestructor(1u); }
};
using MachinePointer = std::unique_ptr<EqualiserMachine, MachineDeleter>;

inline MachinePointer NewMachine() {
    return MachinePointer(static_cast<EqualiserMachine*>(NewEqualiserMachine()));
}

// The machine's layout, for tests of every deliverable.
inline int BandCount() { return ThisDeliverable().layout.bandCount; }
inline int OneKilohertzBand() { return ThisDeliverable().layout.oneKilohertzBand; }

}  // namespace lumo::test
