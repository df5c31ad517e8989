#include "MachineBase.h"

#include <new>

namespace lumo {

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
