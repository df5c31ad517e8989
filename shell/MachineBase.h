// The machine's table of 19 operations as the host calls them, with default bodies.
// Slot 0 is a deleting destructor taking a flags word (one slot, as the host's compiler lays
// out a virtual destructor); MachineBase therefore has no C++ virtual destructor.
#pragma once

#include "HostInterfaces.h"

namespace lumo {

class MachineBase {
public:
    // Host, UI thread: tears the machine down; frees its memory when bit 0 of flags is set.
    virtual void* DeletingDestructor(unsigned flags);
    // Host, UI thread, once after hostInfo and callbacks are set; reader is null without a saved state.
    virtual void Initialise(StateReader* reader);
    // Host, audio thread, after writing the parameter block; never concurrent with ProcessAudio.
    virtual void ApplyParameters();
    // Host, audio thread: frames interleaved stereo floats in place; false means silence.
    virtual bool ProcessAudio(float* buffer, int frames, int mode);
    virtual bool Unused5(int, int, int, int);
    virtual void Unused6();
    // Host, UI thread, when saving a song.
    virtual void SaveState(StateWriter* writer);
    virtual void Unused8();
    // Host, UI thread: index of a line of the commands text.
    virtual void RunCommand(int index);
    virtual void Unused10(int);
    virtual void Unused11(int);
    virtual bool Unused12(int);
    virtual void Unused13(int, int, int);
    virtual void Unused14(int);
    // Host, UI thread: a text for a raw value, valid until the next call on any machine of this kind.
    virtual const char* ParameterValueText(int parameterIndex, int raw);
    virtual void* Unused16();
    virtual bool Unused17(int, int, int);
    virtual void Unused18();
    virtual int Unused19(int);

    // The machine head: the host reads and writes these directly.
    unsigned char* parameterBlock = nullptr;
    void* reserved1 = nullptr;
    void* reserved2 = nullptr;
    HostInfo* hostInfo = nullptr;
    HostCallbacks* callbacks = nullptr;

protected:
    MachineBase() = default;
    ~MachineBase() = default;
    MachineBase(const MachineBase&) = delete;
    MachineBase& operator=(const MachineBase&) = delete;
};

}  // namespace lumo
