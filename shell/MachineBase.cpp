#include "MachineBase.h"

#include <cstddef>
#include <new>

namespace lumo {

// The host reads and writes the head at fixed offsets: the table pointer, then five pointers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(MachineBase, parameterBlock) == 1 * sizeof(void*));
static_assert(offsetof(MachineBase, reserved1) == 2 * sizeof(void*));
static_assert(offsetof(MachineBase, reserved2) == 3 * sizeof(void*));
static_assert(offsetof(MachineBase, hostInfo) == 4 * sizeof(void*));
static_assert(offsetof(MachineBase, callbacks) == 5 * sizeof(void*));
#pragma GCC diagnostic pop
static_assert(offsetof(HostInfo, sampleRateHz) == 8);

void* MachineBase::DeletingDestructor(unsigned flags) {
    if (flags & 1u) ::operator delete(this);
    return this;
}
void MachineBase::Initialise(StateReader*) {}
void MachineBase::ApplyParameters() {}
bool MachineBase::ProcessAudio(float*, int, int) { return false; }
bool MachineBase::Unused5(int, int, int, int) { return false; }
void MachineBase::Unused6() {}
void MachineBase::SaveState(StateWriter*) {}
void MachineBase::Unused8() {}
void MachineBase::RunCommand(int) {}
void MachineBase::Unused10(int) {}
void MachineBase::Unused11(int) {}
bool MachineBase::Unused12(int) { return false; }
void MachineBase::Unused13(int, int, int) {}
void MachineBase::Unused14(int) {}
const char* MachineBase::ParameterValueText(int, int) { return nullptr; }
void* MachineBase::Unused16() { return nullptr; }
bool MachineBase::Unused17(int, int, int) { return false; }
void MachineBase::Unused18() {}
int MachineBase::Unused19(int) { return -1; }

}  // namespace lumo
