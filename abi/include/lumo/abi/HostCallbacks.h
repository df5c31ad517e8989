// The host's objects as a machine calls them: the table of callbacks, and the reader and writer of
// the state a song keeps for each machine. The host owns all of them.
#pragma once

#include "lumo/abi/CallingConvention.h"

namespace lumo::abi {

class MachineExtension;

// The host's callbacks object: its first word points at the host's table of operations, the rest
// is the host's own. Buzz's table is long; a machine calls exactly the six operations below, at
// these slots (0-based). Every other slot is a host operation the machine never calls: a host
// fills them with operations that stop the process naming the slot, so a machine that calls a
// wrong slot fails loudly instead of corrupting the stack.
struct HostCallbacks {
    void* const* table;
};

// One operation of the host's table: its slot, its signature (as a member function of the
// callbacks object) and the call as the machine makes it.
LUMO_THISCALL_BEGIN
template <int Slot, typename R, typename... Args>
struct HostOperation {
    static constexpr int kSlot = Slot;
    using Function = R(LUMO_THISCALL*)(HostCallbacks* self, Args...);
    static R Call(HostCallbacks* host, Args... args) {
        return reinterpret_cast<Function>(host->table[Slot])(host, args...);
    }
};
LUMO_THISCALL_END

// Machine, audio thread, in an output call without input: a host-owned float buffer for one
// block of interleaved stereo frames.
using ScratchBuffer = HostOperation<7, float*>;
// Machine, in Initialise: the machine's extended interface; the host may then call it.
using RegisterExtension = HostOperation<29, void, MachineExtension*>;
// Machine, in Initialise: an opaque handle of this machine instance.
using OwnHandle = HostOperation<34, void*>;
// Machine, UI thread, when it creates its graph window: the instance's name (the caption).
using MachineTitle = HostOperation<46, const char*, void* /*handle*/>;
// Machine, UI thread, when it creates its graph window: the host's main window (an HWND, may be
// null), made owner of the graph window.
using HostWindow = HostOperation<112, void*>;
// Machine, in ApplyParameters after a new Range: the host shows that parameter's text anew.
using ParameterTextChanged = HostOperation<120, void, void* /*handle*/, int /*parameterIndex*/>;

// Slots a host provides at least: the real host's table reaches past the last one above.
constexpr int kHostTableSlots = 137;
static_assert(ParameterTextChanged::kSlot < kHostTableSlots);

// Host objects handed to Initialise (null when the song holds no state for the machine) and to
// SaveState; the machine calls only their first operation, with byte counts of 1 and 2. A read
// past the end of the stored bytes copies what is left and leaves the rest untouched.
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

}  // namespace lumo::abi
