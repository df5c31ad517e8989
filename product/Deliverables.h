// The family: the three machines every face offers, in the order faces list them.
#pragma once

#include "product/Deliverable.h"

namespace lumo::product {

// Each defined by its entry in deliverables/.
const Deliverable& Lumo31();
const Deliverable& Lumo20();
const Deliverable& Lumo15();

constexpr int kDeliverableCount = 3;

// 0: Lumo-31, 1: Lumo-20, 2: Lumo-15.
const Deliverable& DeliverableAt(int index);

// The machine with this full name ("Tarvo Lumo-31"), or null for any other machine.
const Deliverable* FindDeliverable(const char* fullName);

}  // namespace lumo::product
