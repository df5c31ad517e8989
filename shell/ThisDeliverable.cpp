// Compiled once per plug-in file with LUMO_DELIVERABLE_INDEX, the machine's place in the family.
#include "shell/ThisDeliverable.h"

#include "product/Deliverables.h"

namespace lumo {

const product::Deliverable& ThisDeliverable() { return product::DeliverableAt(LUMO_DELIVERABLE_INDEX); }

}  // namespace lumo
