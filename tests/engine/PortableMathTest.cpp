// The design's own sine, cosine, hyperbolic sine and exponential against the C library's, over
// the ranges the band design uses: within a few units in the last place.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/PortableMath.h"

namespace lumo::test {
namespace {

double Ulps(double value, double reference) {
    return std::fabs(value - reference) / std::fabs(std::nextafter(reference, INFINITY) - reference);
}

TEST(PortableMath, AgreesWithTheCLibraryWithinAFewUlps) {
    using namespace engine::portable;
    for (int i = 1; i <= 100000; ++i) {
        const double angle = i * (3.2 / 100000);        // 0 to just above pi
        const double exponent = (i - 50000) * 1e-4;     // -5 to +5
        ASSERT_LE(Ulps(Sin(angle), std::sin(angle)), 4.0) << angle;
        ASSERT_LE(Ulps(Cos(angle), std::cos(angle)), 4.0) << angle;
        ASSERT_LE(Ulps(Sinh(angle), std::sinh(angle)), 4.0) << angle;
        ASSERT_LE(Ulps(Exp(exponent), std::exp(exponent)), 4.0) << exponent;
    }
    EXPECT_EQ(Sin(1e-300), 1e-300);
}

}  // namespace
}  // namespace lumo::test
