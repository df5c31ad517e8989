// The machine object as the host sees it: the head the host reads and writes directly, and the
// table of 19 operations. Operations a machine does not need keep the default bodies below.
// Slot 0 is a deleting destructor taking a flags word: one slot, as the host's compiler lays out
// a virtual destructor (GCC's `virtual ~T()` would take two), so this class has none.
#pragma once

#include <cstddef>

#include "lumo/abi/HostCallbacks.h"
#include "lumo/abi/Records.h"

namespace lumo::abi {

// Modes of ProcessAudio.
constexpr int kModeNone = 0;     // nothing to do; the machine returns false
constexpr int kModeRead = 1;     // nothing to do; the machine returns true
constexpr int kModeNoInput = 2;  // output wanted, no input: the machine renders what is left
constexpr int kModeInput = 3;    // (and any other value) the buffer is processed in place

// The commands text, one command per line, and the index RunCommand gets for each line.
constexpr const char* kCommandsText = "&About...\n&Graph...";
constexpr int kCommandAbout = 0;
constexpr int kCommandGraph = 1;

// ParameterValueText's texts fit this many bytes, NUL included, for any raw value.
constexpr int kValueTextBytes = 64;

class MachineBase {
public:
    // Slot 0. Host, UI thread: tears the machine down; releases its memory when bit 0 of flags is
    // set; returns the object's address. The host destroys a machine with flags 1.
    virtual void* DeletingDestructor(unsigned flags) = 0;
    // Slot 1. Host, UI thread, once, after setting hostInfo and callbacks; reader is null when the
    // song holds no state for the machine.
    virtual void Initialise(StateReader*) {}
    // Slot 2. Host, audio thread, after writing the parameter block; never concurrent with
    // ProcessAudio. The first call after Initialise carries every parameter.
    virtual void ApplyParameters() {}
    // Slot 3. Host, audio thread: n interleaved stereo float frames, in place; false means the
    // output is silence and the buffer was not written.
    virtual bool ProcessAudio(float* /*buffer*/, int /*frames*/, int /*mode*/) { return false; }
    virtual bool Unused4(int, int, int, int) { return false; }
    virtual void Unused5() {}
    // Slot 6. Host, UI thread, when it saves a song.
    virtual void SaveState(StateWriter*) {}
    virtual void Unused7() {}
    // Slot 8. Host, UI thread: the index of a line of the commands text.
    virtual void RunCommand(int /*index*/) {}
    virtual void Unused9(int) {}
    virtual void Unused10(int) {}
    virtual bool Unused11(int) { return false; }
    virtual void Unused12(int, int, int) {}
    virtual void Unused13(int) {}
    // Slot 14. Host, UI thread: the text for a raw value of a parameter, in a buffer shared by
    // every machine of the plug-in and valid until the next call on any of them.
    virtual const char* ParameterValueText(int /*parameterIndex*/, int /*raw*/) { return nullptr; }
    virtual void* Unused15() { return nullptr; }
    virtual bool Unused16(int, int, int) { return false; }
    virtual void Unused17() {}
    virtual int Unused18(int) { return -1; }

    // The head. The host writes hostInfo and callbacks after CreateMachine, before Initialise, and
    // the parameter bytes into *parameterBlock before each ApplyParameters.
    unsigned char* parameterBlock = nullptr;
    void* reserved1 = nullptr;  // left null
    void* reserved2 = nullptr;  // left null
    HostInfo* hostInfo = nullptr;
    HostCallbacks* callbacks = nullptr;

protected:
    MachineBase() = default;
    ~MachineBase() = default;
    MachineBase(const MachineBase&) = delete;
    MachineBase& operator=(const MachineBase&) = delete;
};

// The slots a host calls by position (tests of the table itself).
enum MachineSlot : int {
    kSlotDeletingDestructor = 0,
    kSlotInitialise = 1,
    kSlotApplyParameters = 2,
    kSlotProcessAudio = 3,
    kSlotSaveState = 6,
    kSlotRunCommand = 8,
    kSlotParameterValueText = 14,
    kMachineSlots = 19,
};

// The head sits at fixed offsets: the table pointer, then five pointers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(MachineBase, parameterBlock) == 1 * sizeof(void*));
static_assert(offsetof(MachineBase, reserved1) == 2 * sizeof(void*));
static_assert(offsetof(MachineBase, reserved2) == 3 * sizeof(void*));
static_assert(offsetof(MachineBase, hostInfo) == 4 * sizeof(void*));
static_assert(offsetof(MachineBase, callbacks) == 5 * sizeof(void*));
#pragma GCC diagnostic pop

}  // namespace lumo::abi
