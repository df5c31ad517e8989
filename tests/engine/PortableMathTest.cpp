// The design's own sine, cosine, hyperbolic sine and exponential against the C library's, over
// the ranges the band design uses: within a few units in the last place (where sine and cosine
// pass through 0 away from 0, plus one unit of the angle: C libraries differ there in the last
// bits of tiny values).
#include <gtest/gtest.h>

#include <cmath>

#include "engine/PortableMath.h"

namespace lumo::test {
namespace {

double Ulp(double value) { return std::fabs(std::nextafter(value, INFINITY) - value); }

TEST(PortableMath, AgreesWithTheCLibraryWithinAFewUlps) {
    using namespace engine::portable;
    for (int i = 1; i <= 100000; ++i) {
        const double angle = i * (3.2 / 100000);     // 0 to just above pi
        const double exponent = (i - 50000) * 1e-4;  // -5 to +5
        ASSERT_NEAR(Sin(angle), std::sin(angle), 4.0 * Ulp(std::sin(angle)) + Ulp(angle)) << angle;
        ASSERT_NEAR(Cos(angle), std::cos(angle), 4.0 * Ulp(std::cos(angle)) + Ulp(angle)) << angle;
        ASSERT_NEAR(Sinh(angle), std::sinh(angle), 4.0 * Ulp(std::sinh(angle))) << angle;
        ASSERT_NEAR(Exp(exponent), std::exp(exponent), 4.0 * Ulp(std::exp(exponent))) << exponent;
    }
    EXPECT_EQ(Sin(1e-300), 1e-300);
}

}  // namespace
}  // namespace lumo::test
