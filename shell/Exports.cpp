// The plug-in's two exports.
#include <lumo/abi/CallingConvention.h>
#include <lumo/abi/Exports.h>

#include "shell/EqualiserMachine.h"
#include "shell/ParameterTable.h"

// Host, any thread, also before any machine exists: the constant description.
LUMO_EXPORT const lumo::abi::MachineDescription* GetInfo() { return &lumo::Description(); }

// Host, UI thread: a new machine, or null when memory cannot be had.
LUMO_EXPORT lumo::abi::MachineBase* CreateMachine() { return lumo::NewEqualiserMachine(); }

// The exports have the types hosts call them with.
namespace {
[[maybe_unused]] constexpr lumo::abi::GetInfoFunction kGetInfo = &GetInfo;
[[maybe_unused]] constexpr lumo::abi::CreateMachineFunction kCreateMachine = &CreateMachine;
}  // namespace
