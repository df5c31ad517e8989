// What the LV2 hosts of host-identity.sh cannot reach: controls changed mid-stream act as the
// machine's parameter call with those new values (bit for bit against the machine's plug-in file,
// driven in lockstep through the reference host), only the changed band is redesigned, a band
// turned flat goes to sleep, bad input, and the inline display.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <lumo/abi/Machine.h>

#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"
#include "graph/ResponseCurve.h"
#include "lv2/Plugin.h"
#include "product/Controls.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace lumo::lv2 {
namespace {

constexpr double kRate = 44100.0;

struct QueueDrawCounter {
    std::atomic<int> calls{0};
    LV2_Inline_Display feature{this, [](void* self) { ++static_cast<QueueDrawCounter*>(self)->calls; }};
    LV2_Feature entry{LUMO_LV2_INLINEDISPLAY__queue_draw, &feature};
    const LV2_Feature* list[2] = {&entry, nullptr};
};

// One plug-in instance through its descriptor, with its ports on buffers of its own.
class Plugin {
public:
    explicit Plugin(int kind, double rate = kRate, const LV2_Feature* const* features = nullptr)
        : descriptor_(lv2_descriptor(static_cast<uint32_t>(kind))),
          handle_(descriptor_->instantiate(descriptor_, rate, "/nowhere/", features)) {
        const product::Deliverable& d = kPlugins[kind].deliverable();
        controls_.resize(static_cast<size_t>(PortCount(d)));
        for (int port = kFirstControlPort; port < PortCount(d); ++port)
            controls_[static_cast<size_t>(port)] =
                product::ControlRangeOf(product::ParameterAt(d, ParameterOfPort(port))).defaultValue;
    }
    ~Plugin() {
        if (handle_ != nullptr) descriptor_->cleanup(handle_);
    }
    void ConnectAll() {
        for (size_t port = kFirstControlPort; port < controls_.size(); ++port)
            descriptor_->connect_port(handle_, static_cast<uint32_t>(port), &controls_[port]);
    }
    void Set(int port, float value) { controls_[static_cast<size_t>(port)] = value; }
    // Runs interleaved stereo through the plug-in in place, the outputs on the inputs' buffers.
    void Run(float* interleaved, int frames) {
        left_.assign(static_cast<size_t>(frames) + 1, 0.0f);
        right_.assign(static_cast<size_t>(frames) + 1, 0.0f);
        for (int i = 0; i < frames; ++i) {
            left_[static_cast<size_t>(i)] = interleaved[2 * i];
            right_[static_cast<size_t>(i)] = interleaved[2 * i + 1];
        }
        descriptor_->connect_port(handle_, kInLeftPort, left_.data());
        descriptor_->connect_port(handle_, kInRightPort, right_.data());
        descriptor_->connect_port(handle_, kOutLeftPort, left_.data());
        descriptor_->connect_port(handle_, kOutRightPort, right_.data());
        descriptor_->run(handle_, static_cast<uint32_t>(frames));
        for (int i = 0; i < frames; ++i) {
            interleaved[2 * i] = left_[static_cast<size_t>(i)];
            interleaved[2 * i + 1] = right_[static_cast<size_t>(i)];
        }
    }
    const LV2_Descriptor* Descriptor() const { return descriptor_; }
    LV2_Handle Handle() const { return handle_; }
    Instance& Inside() const { return *static_cast<Instance*>(handle_); }

private:
    const LV2_Descriptor* descriptor_;
    LV2_Handle handle_;
    std::vector<float> controls_;
    std::vector<float> left_, right_;
};

std::vector<float> Noise(int frames, uint32_t seed, float level = 0.25f) {
    std::vector<float> samples(static_cast<size_t>(frames) * 2);
    for (float& s : samples) {
        seed = seed * 1664525u + 1013904223u;
        s = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 2.0f * level;
    }
    return samples;
}

int BandPort(int band) { return kFirstBandPort + band; }

// The same 32-bit words (an empty block has no data pointer to hand memcmp).
bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

std::string MachinePath(int kind) {
    return std::string(LUMO_TEST_PLUGIN_DIR) + "/" + kPlugins[kind].deliverable().fullName + host::PluginSuffix();
}

// A change between two runs is the machine's parameter call with exactly the changed values:
// the same audio, bit for bit, as the machine's plug-in file given those calls, for any block
// lengths (including 0 and 1), with a band turned flat, a new Range, a new Bandwidth, values
// beyond the ends and values that are not finite in between.
TEST(Lv2Plugin, ControlChangesActAsTheMachinesParameterCalls) {
    for (int kind = 0; kind < kPluginCount; ++kind) {
        SCOPED_TRACE(kPlugins[kind].uri);
        Plugin plugin(kind);
        plugin.ConnectAll();
        host::PluginLibrary library(MachinePath(kind));
        host::HostSettings settings;
        settings.sampleRateHz = static_cast<int>(kRate);
        settings.maxBlockFrames = kChunkFrames;
        host::HostedMachine machine(library, settings);
        machine.Initialise();

        struct Step {
            int port;
            float value;  // the plug-in's port value
            int raw;      // the machine's raw value then (-1: the machine gets nothing)
            int frames;   // the block that follows
        };
        const int k = kPlugins[kind].deliverable().layout.oneKilohertzBand;
        const Step steps[] = {
            {BandPort(k), 40.0f, 104, 300},      // first call: every control, this one boosted
            {BandPort(0), -64.0f, 0, 1},
            {kRangePort, 9.4f, 9, 0},            // rounds to whole dB; a block of 0 frames
            {BandPort(k + 2), 12.0f, 76, 777},
            {BandPort(k), 0.0f, 64, 1000},       // turned flat: rings out
            {BandPort(3), 1000.0f, 128, 513},    // beyond the end: clamped
            {kBandwidthPort, 0.5f, 6, 256},
            {BandPort(3), NAN, -1, 64},          // not finite: the last good value stays
            {kRangePort, INFINITY, -1, 100},
            {kBandwidthPort, 0.04f, 1, 9000},    // below the end: clamped to 1/12 octave
            {BandPort(0), 0.0f, 64, 10000},      // every band but two flat, ringing out to sleep
            {BandPort(3), 0.0f, 64, 5000},
            {BandPort(k + 2), 0.0f, 64, 20000},  // all asleep
        };
        uint32_t seed = 7;
        for (const Step& step : steps) {
            plugin.Set(step.port, step.value);
            if (step.raw >= 0) machine.SetParameter(step.port - kFirstControlPort, step.raw);
            machine.ApplyParameters();
            std::vector<float> input = Noise(step.frames, seed++);
            std::vector<float> expected = input;
            // The host's block in one call, in calls of kChunkFrames when longer (as the plug-in).
            for (int done = 0; done < step.frames; done += kChunkFrames)
                machine.ProcessAudio(expected.data() + 2 * done, std::min(kChunkFrames, step.frames - done),
                                     abi::kModeInput);
            plugin.Run(input.data(), step.frames);
            ASSERT_TRUE(SameBits(input, expected)) << "after port " << step.port << " = " << step.value;
        }
        // Every band is asleep now: the input comes back unchanged.
        std::vector<float> input = Noise(512, 99);
        std::vector<float> output = input;
        plugin.Run(output.data(), 512);
        EXPECT_TRUE(SameBits(input, output));
    }
}

// One band's control redesigns that band only; the others keep their coefficients, activity and
// ring-out; turned flat, the band rings out for the tail's length, then sleeps with a zero state.
TEST(Lv2Plugin, ABandChangeRedesignsOnlyItsBandAndAFlatBandSleeps) {
    Plugin plugin(0);
    plugin.ConnectAll();
    engine::Equaliser& engine = plugin.Inside().Engine();
    const int tailFrames = static_cast<int>(kRate * 0.2);
    plugin.Set(BandPort(5), 30.0f);
    plugin.Set(BandPort(20), -30.0f);
    std::vector<float> audio = Noise(4096, 1);
    plugin.Run(audio.data(), 4096);
    plugin.Set(BandPort(20), 0.0f);  // 20 turned flat: ringing out from here
    plugin.Run(audio.data(), 100);
    ASSERT_EQ(engine::BandActivity::RingingOut, engine.Activity(20));

    const engine::CoefficientSnapshot before = engine.Coefficients();
    plugin.Set(BandPort(5), 31.0f);
    plugin.Run(audio.data(), 1);
    const engine::CoefficientSnapshot& after = engine.Coefficients();
    for (int band = 0; band < 31; ++band) {
        const bool same = std::memcmp(&before.bands[band], &after.bands[band], sizeof before.bands[band]) == 0;
        EXPECT_EQ(band != 5, same) << "band " << band;
    }
    EXPECT_EQ(engine::BandActivity::Active, engine.Activity(5));

    // Band 20's ring-out goes on from where it was (band 5's change did not re-arm it): it
    // sleeps exactly one tail after it was turned flat, and its state is cleared at the next call.
    int ringing = 101;
    for (; ringing + 256 < tailFrames; ringing += 256) plugin.Run(audio.data(), 256);
    plugin.Run(audio.data(), tailFrames - 1 - ringing);
    EXPECT_EQ(engine::BandActivity::RingingOut, engine.Activity(20));
    plugin.Run(audio.data(), 1);
    EXPECT_EQ(engine::BandActivity::Asleep, engine.Activity(20));
    plugin.Run(audio.data(), 1);
    const engine::StereoBiquadState state = engine.BandState(20);
    EXPECT_EQ(0.0f, state.left1);
    EXPECT_EQ(0.0f, state.left2);
    EXPECT_EQ(0.0f, state.right1);
    EXPECT_EQ(0.0f, state.right2);
}

// Unconnected ports, run before activate, blocks of 0 and 1 frames, huge and non-finite controls,
// several instances at once (on threads of their own): no crash, nothing but finite output.
TEST(Lv2Plugin, BadInputNeitherCrashesNorMakesNaN) {
    for (int kind = 0; kind < kPluginCount; ++kind) {
        const LV2_Descriptor* d = lv2_descriptor(static_cast<uint32_t>(kind));
        EXPECT_EQ(nullptr, d->instantiate(d, 0.0, "", nullptr));
        EXPECT_EQ(nullptr, d->instantiate(d, NAN, "", nullptr));
        LV2_Handle bare = d->instantiate(d, 96000.0, "", nullptr);
        ASSERT_NE(nullptr, bare);
        d->run(bare, 0);
        d->run(bare, 64);  // nothing connected, not activated
        float out[2][64];
        d->connect_port(bare, kOutLeftPort, out[0]);
        d->connect_port(bare, kOutRightPort, out[1]);
        d->connect_port(bare, 999, out[0]);  // no such port: ignored
        d->run(bare, 64);  // no input: silence
        for (const float* channel : out)
            for (int i = 0; i < 64; ++i) EXPECT_EQ(0.0f, channel[i]);
        d->activate(bare);
        d->deactivate(bare);
        d->cleanup(bare);
    }
    EXPECT_EQ(nullptr, lv2_descriptor(kPluginCount));

    std::vector<std::thread> threads;
    std::atomic<int> nonFinite{0};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &nonFinite] {
            Plugin plugin(t % kPluginCount, t % 2 ? 48000.0 : 22050.0);
            plugin.ConnectAll();
            const float wild[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3.0f, -7.5f};
            for (int round = 0; round < 40; ++round) {
                plugin.Set(kFirstControlPort + (round * 5 + t) % 8, wild[(round + t) % 7]);
                plugin.Set(BandPort(round % 15), round % 3 ? 64.0f : -64.0f);
                const int frames = round % 4 == 0 ? round % 2 : 37 * round;
                std::vector<float> audio = Noise(frames, static_cast<uint32_t>(round), 1.0f);
                plugin.Run(audio.data(), frames);
                for (float s : audio)
                    if (!std::isfinite(s)) ++nonFinite;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, nonFinite.load());
}

// The inline display: asked for only when the curve may have changed; its pixels follow the
// curve computed from the published coefficients; rendered on another thread while the audio
// thread changes controls.
TEST(Lv2Display, PicturesFollowTheCurve) {
    QueueDrawCounter counter;
    Plugin plugin(0, kRate, counter.list);
    plugin.ConnectAll();
    const LV2_Descriptor* d = plugin.Descriptor();
    const auto* display = static_cast<const LV2_Inline_Display_Interface*>(
        d->extension_data(LUMO_LV2_INLINEDISPLAY__interface));
    ASSERT_NE(nullptr, display);
    EXPECT_EQ(nullptr, d->extension_data("http://example.org/none"));

    std::vector<float> audio = Noise(64, 3);
    plugin.Set(kRangePort, 24.0f);
    plugin.Set(BandPort(17), 64.0f);   // +24 dB at 1 kHz
    plugin.Set(BandPort(5), -32.0f);   // -12 dB at 63 Hz
    plugin.Run(audio.data(), 64);
    EXPECT_EQ(1, counter.calls.load());
    plugin.Run(audio.data(), 64);
    EXPECT_EQ(1, counter.calls.load());  // nothing changed: no redraw asked for

    const LV2_Inline_Display_Image_Surface* picture = display->render(plugin.Handle(), 300, 1000);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(300, picture->width);
    EXPECT_EQ(PictureHeight(300, 1000), picture->height);
    EXPECT_EQ(picture, display->render(plugin.Handle(), 300, 1000));  // the same curve: kept

    // In each column, the row nearest the curve's colour (the most blue: only the curve has
    // blue) lies on the curve as the graph computes it.
    const int w = picture->width, h = picture->height;
    const engine::CoefficientSnapshot bands = plugin.Inside().Engine().Coefficients();
    int checked = 0;
    for (int x = 2; x < w - 2; x += 7) {
        const double fraction = x / static_cast<double>(w);
        const double angle = 2.0 * 3.141592653589793 * 20.0 * std::pow(1000.0, fraction) / kRate;
        const double expectedY = h / 2.0 - h / 2.0 * graph::EvaluateResponseDbOver30(bands, angle);
        int bestRow = -1, bestBlue = 0;
        for (int y = 0; y < h; ++y) {
            const unsigned char* pixel = picture->data + y * picture->stride + 4 * x;  // B, G, R, A
            if (pixel[0] > bestBlue) bestBlue = pixel[0], bestRow = y;
        }
        ASSERT_GT(bestBlue, 10) << "no curve in column " << x;
        EXPECT_NEAR(expectedY, bestRow + 0.5, 2.5) << "column " << x;
        ++checked;
    }
    EXPECT_GT(checked, 30);

    // Drawn on its own thread while the audio thread changes the curve.
    std::atomic<bool> done{false};
    std::thread painter([&] {
        while (!done) display->render(plugin.Handle(), 120, 80);
    });
    for (int round = 0; round < 300; ++round) {
        plugin.Set(BandPort(round % 31), static_cast<float>(round % 129 - 64));
        plugin.Run(audio.data(), 64);
    }
    done = true;
    painter.join();
    EXPECT_GT(counter.calls.load(), 200);
}

}  // namespace
}  // namespace lumo::lv2
