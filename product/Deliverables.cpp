#include "product/Deliverables.h"

#include <cstring>

namespace lumo::product {

const Deliverable& DeliverableAt(int index) {
    switch (index) {
    case 1: return Lumo20();
    case 2: return Lumo15();
    default: return Lumo31();
    }
}

const Deliverable* FindDeliverable(const char* fullName) {
    if (fullName == nullptr) return nullptr;
    for (int i = 0; i < kDeliverableCount; ++i)
        if (std::strcmp(DeliverableAt(i).fullName, fullName) == 0) return &DeliverableAt(i);
    return nullptr;
}

}  // namespace lumo::product
