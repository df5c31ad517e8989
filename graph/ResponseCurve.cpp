#include "graph/ResponseCurve.h"

#include <cmath>

namespace lumo::graph {
namespace {
constexpr double kTwoPiTimes20Hz = 125.66370614359172;

// The factor of a band that runs in double, as the float bands' below but in doubles throughout,
// then rounded to float for the product.
void WideFactor(const engine::WideBiquadCoefficients& c, double cosA, double sinA, float& re,
                float& im) {
    const double numRe = c.b1 + c.b0 * cosA + c.b2 * cosA;
    const double numIm = c.b2 * sinA - c.b0 * sinA;
    const double denRe = c.a1 + cosA + c.a2 * cosA;
    const double denIm = c.a2 * sinA - sinA;
    const double reciprocal = 1.0 / (denRe * denRe + denIm * denIm);
    re = static_cast<float>((numRe * denRe + numIm * denIm) * reciprocal);
    im = static_cast<float>((numIm * denRe - numRe * denIm) * reciprocal);
}

}  // namespace

float EvaluateResponseDbOver30(const engine::CoefficientSnapshot& bands, double angleRadians) {
    const double cosWide = std::cos(angleRadians);
    const double sinWide = std::sin(angleRadians);
    const float cosA = static_cast<float>(cosWide);
    const float sinA = static_cast<float>(sinWide);

    // N and D are the band's numerator and denominator times z at z = e^(-j angle); N / D is the
    // conjugate of its response, which has the same magnitude.
    float productRe = 1.0f;
    float productIm = 0.0f;
    for (int band = 0; band < bands.bandCount; ++band) {
        float bandRe, bandIm;
        if (bands.RunsInDouble(band)) {
            WideFactor(bands.wide[band], cosWide, sinWide, bandRe, bandIm);
        } else {
            const engine::BiquadCoefficients& section = bands.bands[band];
            const float b0 = section.b0, b1 = section.b1, b2 = section.b2;
            const float a1 = section.a1, a2 = section.a2;

            const float numRe = b1 + b0 * cosA + b2 * cosA;
            const float numIm = b2 * sinA - b0 * sinA;
            const float denRe = a1 + cosA + a2 * cosA;
            const float denIm = a2 * sinA - sinA;
            const float denSquared = denRe * denRe + denIm * denIm;
            const float reciprocal = static_cast<float>(1.0 / static_cast<double>(denSquared));

            bandRe = (numRe * denRe + numIm * denIm) * reciprocal;
            bandIm = (numIm * denRe - numRe * denIm) * reciprocal;
        }
        const float nextRe = productRe * bandRe - productIm * bandIm;
        const float nextIm = productIm * bandRe + productRe * bandIm;
        productRe = nextRe;
        productIm = nextIm;
    }

    const float magnitudeSquared = productRe * productRe + productIm * productIm;
    const float twentyLog = std::log10(magnitudeSquared) * 20.0f;
    return static_cast<float>(static_cast<double>(twentyLog) * 0.016666666666666666);
}

void ComputeCurve(const engine::CoefficientSnapshot& bands, int sampleRateHz, Curve& curve) {
    const int n = kCurvePointCount;
    const double step = 1.0 / (n - 1);
    const double ratio = std::pow(1000.0, step);
    const float stepF = static_cast<float>(step);
    double angle = kTwoPiTimes20Hz / static_cast<double>(sampleRateHz);

    for (int i = 0; i < n; ++i) {
        curve.slots[i + 1].x = static_cast<float>(i) * stepF;
        curve.slots[i + 1].y = EvaluateResponseDbOver30(bands, angle);
        angle = angle * ratio;  // successive products, not powers
    }
    curve.slots[n + 1] = {1.0f, 0.0f};
}

}  // namespace lumo::graph
