// Every band's coefficient set as the last parameter change left them, for readers on other
// threads (the response graph): the normalised sets the cascade runs, as designed.
#pragma once

#include "engine/BandLayout.h"
#include "engine/Biquad.h"

namespace lumo::engine {

struct CoefficientSnapshot {
    int bandCount = 0;
    BiquadCoefficients bands[kMaxBands];  // band order, lowest centre first; identity until designed
};

}  // namespace lumo::engine
