// The two functions every plug-in file exports.
#pragma once

#include "lumo/abi/Records.h"

namespace lumo::abi {

class MachineBase;

// Host, any thread, also before any machine exists: the constant description, never null.
using GetInfoFunction = const MachineDescription* (*)();
// Host, UI thread: a new machine (the host then sets hostInfo and callbacks and calls
// Initialise), or null when memory cannot be had. Destroyed through its slot 0 with flags 1.
using CreateMachineFunction = MachineBase* (*)();

constexpr const char* kGetInfoExport = "GetInfo";
constexpr const char* kCreateMachineExport = "CreateMachine";

}  // namespace lumo::abi
