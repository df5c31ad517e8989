// Which machine of the family this plug-in file is: each of the three files is the same machine
// code linked with its own shell/ThisDeliverable.cpp (cmake/LumoDeliverable.cmake).
#pragma once

#include "product/Deliverable.h"

namespace lumo {

const product::Deliverable& ThisDeliverable();

}  // namespace lumo
