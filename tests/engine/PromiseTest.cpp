// What every band promises at every usual sample rate, through the engine's interface: a sine at
// a band's centre comes out at the gain its slider asks for, and every band boosted or cut alike
// leaves 0 Hz alone. Low centres at high rates and narrow bandwidths are where float
// coefficients alone fall short.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

#include "EngineHarness.h"
#include "engine/Equaliser.h"

namespace lumo::test {
namespace {

constexpr int kRates[] = {44100, 48000, 96000, 192000, 384000};
constexpr int kRangeDb = 32;
constexpr double kAmplitude = 0.25;
constexpr int kBlockFrames = 4096;

struct Setting {
    int slider;
    int bandwidthTwelfths;
};

double GainDbOf(int slider) { return kRangeDb * (slider - 64) / 64.0; }

// An engine at `rate` with Range 32, `bandwidth` and each band at its slider.
void Configure(engine::Equaliser& equaliser, int rate, int bandwidthTwelfths,
               const std::vector<int>& sliders) {
    equaliser.Initialise(rate);
    engine::ParameterChanges changes;
    changes.rangeDb = kRangeDb;
    changes.bandwidthTwelfths = bandwidthTwelfths;
    for (int band = 0; band < kBandCount; ++band) changes.slider[band] = sliders[band];
    equaliser.ApplyParameters(changes, rate);
}

// The time constant, in frames, of the slowest of a band's poles as the engine runs them.
double TimeConstantFrames(engine::Equaliser& equaliser, int band) {
    const engine::WideBiquadCoefficients& c = equaliser.Coefficients().wide[band];
    const std::complex<double> root = std::sqrt(std::complex<double>(c.a1 * c.a1 - 4.0 * c.a2));
    const double largest = std::max(std::abs((-c.a1 + root) / 2.0), std::abs((-c.a1 - root) / 2.0));
    return 1.0 / (1.0 - largest);
}

// The gain in dB of a sine at w radians per sample, left channel, after `settle` frames: a
// least-squares fit of c cos + s sin over `measure` frames.
double SineGainDb(engine::Equaliser& equaliser, double w, long settle, long measure) {
    std::vector<float> block(2 * kBlockFrames);
    std::vector<double> cosines(kBlockFrames), sines(kBlockFrames);
    double cc = 0, ss = 0, cs = 0, yc = 0, ys = 0;
    for (long start = 0; start < settle + measure; start += kBlockFrames) {
        const int n = static_cast<int>(std::min<long>(kBlockFrames, settle + measure - start));
        // A rotating phasor, restarted exactly at every block.
        double c = std::cos(w * start), s = std::sin(w * start);
        const double cw = std::cos(w), sw = std::sin(w);
        for (int j = 0; j < n; ++j) {
            cosines[j] = c;
            sines[j] = s;
            block[2 * j] = block[2 * j + 1] = static_cast<float>(kAmplitude * s);
            const double next = c * cw - s * sw;
            s = s * cw + c * sw;
            c = next;
        }
        equaliser.Process(block.data(), n);
        for (int j = 0; j < n; ++j) {
            if (start + j < settle) continue;
            const double y = block[2 * j];
            cc += cosines[j] * cosines[j];
            ss += sines[j] * sines[j];
            cs += cosines[j] * sines[j];
            yc += y * cosines[j];
            ys += y * sines[j];
        }
    }
    const double det = cc * ss - cs * cs;
    const double a = (yc * ss - ys * cs) / det, b = (ys * cc - yc * cs) / det;
    return 20.0 * std::log10(std::hypot(a, b) / kAmplitude);
}

// The gain in dB at 0 Hz: a constant input with a little white noise on it (a perfectly constant
// input lets the float recurrence's rounding settle into a bias of its own), and after `settle`
// frames the output's sum over `measure` frames against the input's.
double ZeroHertzGainDb(engine::Equaliser& equaliser, long settle, long measure) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> noise(-0.01f, 0.01f);
    std::vector<float> block(2 * kBlockFrames), input(kBlockFrames);
    double sumIn = 0.0, sumOut = 0.0;
    for (long start = 0; start < settle + measure; start += kBlockFrames) {
        const int n = static_cast<int>(std::min<long>(kBlockFrames, settle + measure - start));
        for (int j = 0; j < n; ++j) {
            input[j] = static_cast<float>(kAmplitude) + noise(random);
            block[2 * j] = block[2 * j + 1] = input[j];
        }
        equaliser.Process(block.data(), n);
        if (start < settle) continue;
        for (int j = 0; j < n; ++j) {
            sumIn += input[j];
            sumOut += block[2 * j];
        }
    }
    return 20.0 * std::log10(sumOut / sumIn);
}

TEST(BandPromise, SineAtEachCentreHasTheGainAskedForAtEveryRate) {
    engine::Equaliser equaliser(ThisDeliverable().layout);
    for (int rate : kRates)
        for (int bandwidth : {1, kDefaultBandwidth, 24})
            for (int slider : {128, 0, 70})  // +32, -32, +3 dB
                for (int band = 0; band < kBandCount; ++band) {
                    if (CentreHz(band) >= 0.45 * rate) continue;
                    std::vector<int> sliders(kBandCount, 64);
                    sliders[band] = slider;
                    Configure(equaliser, rate, bandwidth, sliders);
                    equaliser.ClearBandStates();
                    const double w0 = 2.0 * kPi * CentreHz(band) / rate;
                    const long period = static_cast<long>(2.0 * kPi / w0) + 1;
                    // The transient starts at about the input's level and must fall well below
                    // the output's, which a cut makes smaller.
                    const double depth = std::max(0.0, -GainDbOf(slider)) / 20.0 * std::log(10.0);
                    const long settle =
                        static_cast<long>((6.0 + depth) * TimeConstantFrames(equaliser, band)) + period;
                    EXPECT_NEAR(SineGainDb(equaliser, w0, settle, std::max(2 * period, 4096L)),
                                GainDbOf(slider), 0.5)
                        << rate << " Hz, band " << band << ", slider " << slider << ", bandwidth "
                        << bandwidth << "/12, in double: " << equaliser.RunsInDouble(band);
                }
}

TEST(BandPromise, EveryBandAlikeLeavesZeroHertzAlone) {
    engine::Equaliser equaliser(ThisDeliverable().layout);
    // +-32 dB at 1/12 octave, +-8 dB at the default Bandwidth. (Every band at +-32 dB over
    // overlapping bandwidths makes a machine of more than 100 dB gain, whose transients and
    // rounding noise bury 0 Hz.)
    const Setting settings[] = {{128, 1}, {0, 1}, {80, kDefaultBandwidth}, {48, kDefaultBandwidth}};
    for (int rate : kRates)
        for (const Setting& setting : settings) {
            Configure(equaliser, rate, setting.bandwidthTwelfths,
                      std::vector<int>(kBandCount, setting.slider));
            equaliser.ClearBandStates();
            double slowest = 0.0;
            for (int band = 0; band < kBandCount; ++band)
                slowest = std::max(slowest, TimeConstantFrames(equaliser, band));
            EXPECT_NEAR(ZeroHertzGainDb(equaliser, static_cast<long>(5.0 * slowest), 1L << 18), 0.0, 0.5)
                << rate << " Hz, slider " << setting.slider << ", bandwidth "
                << setting.bandwidthTwelfths << "/12";
        }
}

}  // namespace
}  // namespace lumo::test
