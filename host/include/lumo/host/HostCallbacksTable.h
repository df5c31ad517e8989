// The host's callbacks object as the reference host lays it out: Buzz's table, with the six
// operations a machine calls at their slots and every other slot an operation that stops the
// process with a message naming the slot.
#pragma once

#include <lumo/abi/HostCallbacks.h>
#include <lumo/abi/MachineExtension.h>

namespace lumo::host {

// What a host answers to the six operations a machine calls (see lumo/abi/HostCallbacks.h).
class HostServices {
public:
    virtual float* ScratchBuffer() = 0;
    virtual void RegisterExtension(abi::MachineExtension* extension) = 0;
    virtual void* OwnHandle() = 0;
    virtual const char* MachineTitle(void* handle) = 0;
    virtual void* HostWindow() = 0;
    virtual void ParameterTextChanged(void* handle, int parameterIndex) = 0;

protected:
    ~HostServices() = default;
};

// The object a machine's `callbacks` points at; forwards the six operations to `services`.
class HostCallbacksObject : public abi::HostCallbacks {
public:
    explicit HostCallbacksObject(HostServices& services);
    HostCallbacksObject(const HostCallbacksObject&) = delete;
    HostCallbacksObject& operator=(const HostCallbacksObject&) = delete;

    HostServices& Services() const { return *services_; }

private:
    HostServices* services_;
};

}  // namespace lumo::host
