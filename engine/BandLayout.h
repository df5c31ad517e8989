// Where a deliverable's bands sit: band i has its centre at 1000 x 2^((i - K) x S) Hz.
#pragma once

namespace lumo::engine {

// The most bands any deliverable has, with room for one more (vector lanes come in pairs).
constexpr int kMaxBands = 32;

struct BandLayout {
    int bandCount;            // N
    int oneKilohertzBand;     // K
    double spacingOctaves;    // S, as the double nearest to it (1/3, 1/2, 2/3)
};

}  // namespace lumo::engine
