// The plug-in factory the module exports: the three machines as classes (IPluginFactory, 2 and 3).
#pragma once

#include "vst3/Interfaces.h"

namespace lumo::vst3 {

// The one factory of the module (static: its references are not counted).
v3_plugin_factory** Factory();

}  // namespace lumo::vst3
