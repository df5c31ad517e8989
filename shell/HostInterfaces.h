// The host's objects as the machine sees them. The host owns all of them.
#pragma once

namespace lumo {

// The machine reads only the sample rate (third field).
struct HostInfo {
    int tempoBpm;
    int ticksPerBeat;
    int sampleRateHz;
};

class MachineExtension;

// The host's table of callbacks, exactly these six slots in this order.
class HostCallbacks {
public:
    virtual float* ScratchBuffer() = 0;                           // one block of stereo frames
    virtual void RegisterExtension(MachineExtension* extension) = 0;
    virtual void* OwnHandle() = 0;                                // opaque handle of this machine
    virtual const char* MachineTitle(void* handle) = 0;           // instance name, NUL-terminated
    virtual void* HostWindow() = 0;                               // owner for the graph window (HWND)
    virtual void ParameterTextChanged(void* handle, int parameterIndex) = 0;

protected:
    ~HostCallbacks() = default;
};

// Saved-state reader and writer handed to Initialise and SaveState; only slot 0 is used.
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

}  // namespace lumo
