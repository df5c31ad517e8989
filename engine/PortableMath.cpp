#include "engine/PortableMath.h"

#include <cmath>

namespace lumo::engine::portable {
namespace {

// ln 2 and pi / 2 in two parts, the first with its low bits zero so that a small integer times
// it is exact (Cody and Waite's reduction).
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kPiOver2High = 1.57079632673412561417e+00;
constexpr double kPiOver2Low = 6.07710050650619224932e-11;

// Taylor series by Horner's rule, highest term first: e^r - 1 for |r| <= 0.35, sin r and cos r
// for |r| <= pi / 4, and sinh r for |r| < 1, each to well below an ulp.
double ExpMinusOne(double r) {
    double sum = 0.0;
    for (int n = 20; n >= 1; --n) sum = r / n * (1.0 + sum);
    return sum;
}
double SinSeries(double r) {
    double sum = 0.0;
    for (int n = 25; n >= 3; n -= 2) sum = -(r * r) / (n * (n - 1)) * (1.0 + sum);
    return r * (1.0 + sum);
}
double CosSeries(double r) {
    double sum = 0.0;
    for (int n = 24; n >= 2; n -= 2) sum = -(r * r) / (n * (n - 1)) * (1.0 + sum);
    return 1.0 + sum;
}
double SinhSeries(double r) {
    double sum = 0.0;
    for (int n = 25; n >= 3; n -= 2) sum = (r * r) / (n * (n - 1)) * (1.0 + sum);
    return r * (1.0 + sum);
}

// x = k pi/2 + r with |r| <= pi/4; the quadrant is k mod 4.
double ReduceQuarterTurns(double x, int& quadrant) {
    const double k = std::floor(x * 0.63661977236758134308 + 0.5);  // x * 2/pi, nearest
    quadrant = static_cast<int>(k - 4.0 * std::floor(k * 0.25));
    return (x - k * kPiOver2High) - k * kPiOver2Low;
}

}  // namespace

double Exp(double x) {
    const double k = std::floor(x * 1.44269504088896338700 + 0.5);  // x / ln 2, nearest
    const double r = (x - k * kLn2High) - k * kLn2Low;
    return std::ldexp(1.0 + ExpMinusOne(r), static_cast<int>(k));
}

double Sinh(double x) {
    if (std::fabs(x) < 1.0) return SinhSeries(x);
    return 0.5 * (Exp(x) - Exp(-x));
}

double Sin(double x) {
    int quadrant = 0;
    const double r = ReduceQuarterTurns(x, quadrant);
    switch (quadrant) {
    case 0: return SinSeries(r);
    case 1: return CosSeries(r);
    case 2: return -SinSeries(r);
    default: return -CosSeries(r);
    }
}

double Cos(double x) {
    int quadrant = 0;
    const double r = ReduceQuarterTurns(x, quadrant);
    switch (quadrant) {
    case 0: return CosSeries(r);
    case 1: return -SinSeries(r);
    case 2: return -CosSeries(r);
    default: return SinSeries(r);
    }
}

}  // namespace lumo::engine::portable
