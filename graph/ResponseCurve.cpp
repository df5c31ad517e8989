// The combined magnitude response of all band filters, sampled at 121 points from 20 Hz to
// 20 kHz, and its hand-over to the painter.
#include <cmath>

#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

constexpr double kTwoPiTimes20Hz = 125.66370614359172;
constexpr int kMaxCurvePoints = kCurveSlots - 2;  // room for the two anchors

// Fills curvePoints and publishes a copy to the painter. Returns false without computing when
// another thread is computing the curve at this moment; never waits.
bool ComputeAndPublish(EqualiserMachine& machine) {
    CurveMailbox& mailbox = machine.curveMailbox;
    if (!mailbox.TryBeginWrite()) return false;

    int n = machine.curvePointCount;
    if (n < 0) n = 0;
    if (n > kMaxCurvePoints) n = kMaxCurvePoints;
    const double sampleRateHz = static_cast<double>(machine.SampleRateHz());
    const double step = 1.0 / (n - 1);
    const double ratio = std::pow(1000.0, step);
    const float stepF = static_cast<float>(step);
    double angle = kTwoPiTimes20Hz / sampleRateHz;

    CurvePoint* points = machine.curvePoints;
    for (int i = 0; i < n; ++i) {
        points[i + 1].x = static_cast<float>(i) * stepF;
        points[i + 1].y = machine.EvaluateResponse(angle);
        angle = angle * ratio;  // successive products, not powers
    }
    points[n + 1] = {1.0f, 0.0f};

    CurveSnapshot& snapshot = mailbox.BackBuffer();
    for (int slot = 0; slot < n + 2; ++slot) snapshot.points[slot] = points[slot];
    snapshot.pointCount = n;
    mailbox.EndWrite(true);
    return true;
}

}  // namespace

float EqualiserMachine::EvaluateResponse(double angleRadians) const {
    const float cosA = static_cast<float>(std::cos(angleRadians));
    const float sinA = static_cast<float>(std::sin(angleRadians));

    // N and D are the band's numerator and denominator times z at z = e^(-j angle); N / D is the
    // conjugate of its response, which has the same magnitude.
    float productRe = 1.0f;
    float productIm = 0.0f;
    for (const BandFilter& filter : bandFilters) {
        const float b0 = filter.left.b[0];
        const float b1 = filter.left.b[1];
        const float b2 = filter.left.b[2];
        const float a1 = filter.left.a[1];
        const float a2 = filter.left.a[2];

        const float numRe = b1 + b0 * cosA + b2 * cosA;
        const float numIm = b2 * sinA - b0 * sinA;
        const float denRe = a1 + cosA + a2 * cosA;
        const float denIm = a2 * sinA - sinA;
        const float denSquared = denRe * denRe + denIm * denIm;
        const float reciprocal = static_cast<float>(1.0 / static_cast<double>(denSquared));

        const float bandRe = (numRe * denRe + numIm * denIm) * reciprocal;
        const float bandIm = (numIm * denRe - numRe * denIm) * reciprocal;
        const float nextRe = productRe * bandRe - productIm * bandIm;
        const float nextIm = productIm * bandRe + productRe * bandIm;
        productRe = nextRe;
        productIm = nextIm;
    }

    const float magnitudeSquared = productRe * productRe + productIm * productIm;
    const float twentyLog = std::log10(magnitudeSquared) * 20.0f;
    return static_cast<float>(static_cast<double>(twentyLog) * 0.016666666666666666);
}

void EqualiserMachine::ComputeCurve() {
    // When ApplyParameters is computing on another thread right now, its curve comes from the
    // newest coefficients anyway.
    ComputeAndPublish(*this);
}

void EqualiserMachine::RefreshCurve() {
    if (!curveDirty) return;
    // The window handle as published by the window's thread: this runs on the audio thread.
    const HWND window = curveMailbox.window.load(std::memory_order_acquire);
    if (window == nullptr) return;
    // If the Graph command holds the curve now, the refresh stays pending for the next call.
    if (!ComputeAndPublish(*this)) return;
    InvalidateRect(window, nullptr, FALSE);
    curveDirty = false;
}

}  // namespace lumo
