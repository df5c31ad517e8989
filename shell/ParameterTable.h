// The plug-in's constant description and parameter records, built from its deliverable's
// parameters (product/Parameters.h) in the order of the host's parameter block.
#pragma once

#include <lumo/abi/Records.h>

namespace lumo {

constexpr const char* kAuthor = "Tarvo Lumo developers";

// The same records on every call, from the first call on (also before any machine exists).
const abi::MachineDescription& Description();
const abi::ParameterRecord& Record(int parameterIndex);
int ParameterCount();

}  // namespace lumo
