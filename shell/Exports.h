// What a deliverable's entry needs to provide its two exports.
#pragma once

#include "AbiDefs.h"
#include "MachineBase.h"
#include "MachineDescription.h"

namespace lumo {

const MachineDescription& Description();
// Allocates and constructs a machine; null when memory cannot be had. Never throws.
MachineBase* NewEqualiserMachine();

}  // namespace lumo
