// The tables of operations the instance hands to hosts, one per interface (Tables.cpp).
#pragma once

#include "vst3/Interfaces.h"

namespace lumo::vst3 {

extern const v3_component_cpp kComponentTable;
extern const v3_audio_processor_cpp kProcessorTable;
extern const v3_edit_controller_cpp kControllerTable;
extern const v3_process_context_requirements_cpp kRequirementsTable;

}  // namespace lumo::vst3
