#include "BandFilter.h"

namespace lumo {

BandFilter::BandFilter() {
    right.bInUse = left.b;
    right.aInUse = left.a;
}

void BandFilter::ResetState() {
    left.state1 = left.state2 = 0.0f;
    right.state1 = right.state2 = 0.0f;
}

}  // namespace lumo
