// What the validator and Ardour cannot reach: band texts that follow Range (and the host told
// from the main thread only), the settings chunk (a setting made before any audio survives, a
// damaged chunk changes nothing), changes at sample offsets against the machine's plug-in file
// with the block split there, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include <lumo/abi/Machine.h>

#include "FakeHost.h"
#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"
#include "product/Parameters.h"
#include "product/PluginProcessor.h"
#include "product/StateChunk.h"
#include "vst3/Text.h"

namespace lumo::vst3::test {
namespace {

constexpr v3_param_id kRange = product::kRangeParameter;
constexpr v3_param_id kBandwidth = product::kBandwidthParameter;
v3_param_id Band(int band) { return static_cast<v3_param_id>(product::kFirstBandParameter + band); }

const product::Deliverable& DeliverableOf(int kind) { return kMachines[kind].deliverable(); }
product::Parameter ParameterOf(int kind, v3_param_id id) { return product::ParameterAt(DeliverableOf(kind), int(id)); }
// The VST3 normalised value of a raw value: (raw - minimum) / (maximum - minimum).
double Normalised(int kind, v3_param_id id, int raw) {
    const product::Parameter p = ParameterOf(kind, id);
    return static_cast<double>(raw - p.minimum) / (p.maximum - p.minimum);
}

std::string Text(Plugin& plugin, v3_param_id id, double normalised) {
    v3_str_128 text{};
    const v3_result result = plugin.Controller().get_parameter_string_for_value(plugin.E(), id, normalised, text);
    return result == V3_OK ? Utf8OfUtf16(text, 128) : "(refused)";
}

double Typed(Plugin& plugin, v3_param_id id, const char* typed) {
    v3_str_128 text{};
    CopyToUtf16(typed, text, 128);
    double value = -1.0;
    return plugin.Controller().get_parameter_value_for_string(plugin.E(), id, text, &value) == V3_OK ? value : -1.0;
}

std::vector<float> Noise(size_t samples, uint32_t seed, float level = 0.25f) {
    std::vector<float> out(samples);
    for (float& s : out) {
        seed = seed * 1664525u + 1013904223u;
        s = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 2.0f * level;
    }
    return out;
}

// Planar stereo run through the plug-in in place.
v3_result RunInPlace(Plugin& plugin, std::vector<float>& left, std::vector<float>& right, v3_param_changes** changes,
                     uint64_t inFlags = 0, uint64_t* outFlags = nullptr) {
    float* channels[2] = {left.data(), right.data()};
    return plugin.Process(channels, channels, static_cast<int32_t>(left.size()), changes, inFlags, outFlags);
}

std::string MachinePath(int kind) {
    return std::string(LUMO_TEST_PLUGIN_DIR) + "/" + DeliverableOf(kind).fullName + host::PluginSuffix();
}

// The bands' texts follow the Range the controller has; the host hears of a new Range through
// restartComponent(kParamTitlesChanged), on the controller's calls only, never from process().
// Every text shown, typed back, is the same value.
TEST(Vst3Controller, BandTextsFollowRangeAndTheHostIsToldOnTheMainThread) {
    Plugin plugin(0);
    Handler handler;
    ASSERT_EQ(V3_OK, plugin.Controller().set_component_handler(plugin.E(), handler.Get()));
    const v3_param_id k = Band(DeliverableOf(0).layout.oneKilohertzBand);
    EXPECT_EQ("8.0 dB", Text(plugin, k, Normalised(0, k, 96)));  // +32 steps at Range 16
    EXPECT_EQ("16.0 dB", Text(plugin, kRange, plugin.Get(kRange)));
    EXPECT_EQ("0.67 octave", Text(plugin, kBandwidth, Normalised(0, kBandwidth, 8)));

    plugin.Set(k, Normalised(0, k, 100));
    plugin.Set(kRange, Normalised(0, kRange, 12));
    plugin.Set(kRange, Normalised(0, kRange, 12));  // the same again: nothing new to tell
    EXPECT_EQ(std::vector<int32_t>{V3_RESTART_PARAM_TITLES_CHANGED}, handler.restarts);
    EXPECT_EQ("6.0 dB", Text(plugin, k, Normalised(0, k, 96)));
    EXPECT_DOUBLE_EQ(Normalised(0, k, 96), Typed(plugin, k, "6.0 dB"));
    EXPECT_DOUBLE_EQ(Normalised(0, k, 96), Typed(plugin, k, "6"));  // a bare number is in dB
    EXPECT_EQ(-1.0, Typed(plugin, k, "loud"));

    for (int kind = 0; kind < kMachineCount; ++kind) {
        Plugin other(kind);
        other.Set(kRange, Normalised(kind, kRange, 7));
        for (v3_param_id id = 0; id < static_cast<v3_param_id>(product::ParameterCount(DeliverableOf(kind))); ++id)
            for (int raw = ParameterOf(kind, id).minimum; raw <= ParameterOf(kind, id).maximum; ++raw) {
                const std::string shown = Text(other, id, Normalised(kind, id, raw));
                ASSERT_DOUBLE_EQ(Normalised(kind, id, raw), Typed(other, id, shown.c_str())) << id << " " << shown;
            }
    }

    // Range automated on the audio thread: the texts follow, the host is not called from there;
    // it hears when its controller call brings the same Range.
    ASSERT_EQ(V3_OK, plugin.Setup(44100.0));
    Changes changes;
    changes.Add(kRange, 3, Normalised(0, kRange, 24));
    std::vector<float> left = Noise(64, 1), right = Noise(64, 2);
    ASSERT_EQ(V3_OK, RunInPlace(plugin, left, right, changes.Get()));
    EXPECT_EQ(1u, handler.restarts.size());
    EXPECT_EQ("12.0 dB", Text(plugin, k, Normalised(0, k, 96)));
    plugin.Set(kRange, Normalised(0, kRange, 24));
    EXPECT_EQ(2u, handler.restarts.size());

    // A loaded state with another Range is a new Range too.
    Plugin source(0);
    source.Set(kRange, Normalised(0, kRange, 20));
    ASSERT_EQ(V3_OK, plugin.Load(source.Save()));
    EXPECT_EQ(3u, handler.restarts.size());
    EXPECT_EQ("10.0 dB", Text(plugin, k, Normalised(0, k, 96)));
    EXPECT_EQ(V3_OK, plugin.Controller().set_component_handler(plugin.E(), nullptr));
    EXPECT_EQ(0, handler.references);
}

// The settings a host saves are the controller's, even before any audio ran, and come back into
// another instance's controller and audio; a short, damaged or foreign chunk changes nothing.
TEST(Vst3State, ASettingMadeBeforeAnyAudioSurvivesAndADamagedChunkChangesNothing) {
    Plugin first(1);
    const int bands = DeliverableOf(1).layout.bandCount;
    first.Set(kRange, Normalised(1, kRange, 9));
    first.Set(kBandwidth, Normalised(1, kBandwidth, 5));
    first.Set(Band(2), Normalised(1, Band(2), 128));
    first.Set(Band(bands - 3), Normalised(1, Band(bands - 3), 20));
    Stream saved;
    saved.step = 1;  // a stream that takes one byte a call
    ASSERT_EQ(V3_OK, first.Controller().get_state(first.E(), saved.Get()));
    EXPECT_EQ(first.Save(), saved.bytes);

    Plugin second(1);
    Stream trickle;
    trickle.bytes = saved.bytes;
    trickle.step = 1;
    trickle.bytes.push_back(0xEE);  // what a host keeps after the chunk stays unread
    ASSERT_EQ(V3_OK, second.Component().set_state(second.C(), trickle.Get()));
    for (v3_param_id id : {kRange, kBandwidth, Band(2), Band(bands - 3), Band(4)})
        EXPECT_EQ(first.Get(id), second.Get(id));
    EXPECT_EQ(saved.bytes, second.Save());

    // The loaded settings reach the audio, loaded before activation and while active: the machine
    // with the same values gives the same bits.
    host::PluginLibrary library(MachinePath(1));
    host::HostSettings hostSettings;
    hostSettings.sampleRateHz = 48000;
    hostSettings.maxBlockFrames = 512;
    host::HostedMachine machine(library, hostSettings);
    machine.Initialise();
    for (const auto& [id, raw] : {std::pair{kRange, 9}, {kBandwidth, 5}, {Band(2), 128}, {Band(bands - 3), 20}})
        machine.SetParameter(static_cast<int>(id), raw);
    ASSERT_EQ(V3_OK, second.Setup(48000.0));
    auto sameAsMachine = [&](uint32_t seed) {
        machine.ApplyParameters();
        std::vector<float> left = Noise(512, seed), right = Noise(512, seed + 1), expected(1024);
        for (size_t i = 0; i < 512; ++i) expected[2 * i] = left[i], expected[2 * i + 1] = right[i];
        machine.ProcessAudio(expected.data(), 512, abi::kModeInput);
        if (RunInPlace(second, left, right, nullptr) != V3_OK) return false;
        for (size_t i = 0; i < 512; ++i)
            if (expected[2 * i] != left[i] || expected[2 * i + 1] != right[i]) return false;
        return true;
    };
    EXPECT_TRUE(sameAsMachine(5));
    first.Set(Band(2), Normalised(1, Band(2), 30));
    ASSERT_EQ(V3_OK, second.Load(first.Save()));
    machine.SetParameter(static_cast<int>(Band(2)), 30);
    EXPECT_TRUE(sameAsMachine(7));
    // A new rate later: the new processor starts from the settings, not from the defaults.
    ASSERT_EQ(V3_OK, second.Component().set_active(second.C(), 0));
    ASSERT_EQ(V3_OK, second.Setup(96000.0));
    for (v3_param_id id = 0; id < static_cast<v3_param_id>(product::ParameterCount(DeliverableOf(1))); ++id)
        EXPECT_EQ(Normalised(1, id, second.Inside().Processor().Values().Raw(int(id))), second.Get(id)) << id;

    // Refused, with nothing changed: every shorter chunk, a damaged header, a value beyond its
    // range, another machine's chunk, a stream that fails, no stream.
    const std::vector<uint8_t> before = second.Save();
    std::vector<std::vector<uint8_t>> bad;
    for (size_t length = 0; length < saved.bytes.size(); ++length)
        bad.emplace_back(saved.bytes.begin(), saved.bytes.begin() + static_cast<long>(length));
    for (size_t at : {0u, 3u, 4u, 5u, 6u}) {
        bad.push_back(saved.bytes);
        bad.back()[at] ^= 0x21;
    }
    bad.push_back(saved.bytes);
    bad.back()[product::kStateChunkHeaderBytes + 3] = 200;  // a band slider beyond 128
    bad.push_back(Plugin(0).Save());
    for (const std::vector<uint8_t>& chunk : bad) EXPECT_EQ(V3_FALSE, second.Load(chunk)) << chunk.size();
    Stream failing;
    failing.bytes = saved.bytes;
    failing.fail = true;
    EXPECT_EQ(V3_FALSE, second.Controller().set_component_state(second.E(), failing.Get()));
    EXPECT_EQ(V3_FALSE, second.Controller().get_state(second.E(), failing.Get()));
    EXPECT_EQ(V3_INVALID_ARG, second.Component().set_state(second.C(), nullptr));
    EXPECT_EQ(before, second.Save());
    EXPECT_EQ(first.Get(kRange), second.Get(kRange));
}

// Changes at sample offsets are the machine's parameter calls there, bit for bit against its
// plug-in file with the block split at those offsets: several parameters at one offset in one
// call, offsets 0 and at the block's end, blocks of 0 and 1 frames, a repeated value (no
// change), in place and not.
TEST(Vst3Processing, ChangesAtSampleOffsetsMatchTheMachineWithTheBlockSplitThere) {
    struct Change {
        v3_param_id id;
        int32_t offset;
        int raw;
    };
    struct Block {
        int32_t frames;
        std::vector<Change> changes;
    };
    for (int kind = 0; kind < kMachineCount; ++kind) {
        SCOPED_TRACE(DeliverableOf(kind).fullName);
        const int k = DeliverableOf(kind).layout.oneKilohertzBand;
        const std::vector<Block> blocks = {
            {300, {{Band(k), 0, 110}, {kRange, 0, 10}}},
            {1000, {{Band(0), 17, 0}, {Band(k + 2), 17, 90}, {kBandwidth, 400, 3}, {Band(k), 999, 64}}},
            {0, {{Band(3), 0, 100}}},
            {1, {{Band(3), 0, 20}}},
            {777, {{kRange, 1, 32}, {Band(3), 1, 20}, {Band(1), 776, 80}, {Band(5), 900, 40}}},  // 900: past the end
            {4096, {{Band(k + 2), 2048, 64}, {Band(0), 2048, 64}, {Band(3), 4000, 64}}},
            {9000, {{Band(1), 8500, 64}, {Band(5), 8999, 64}}},
        };
        Plugin plugin(kind);
        ASSERT_EQ(V3_OK, plugin.Setup(44100.0));
        host::PluginLibrary library(MachinePath(kind));
        host::HostSettings hostSettings;
        hostSettings.maxBlockFrames = 9000;
        host::HostedMachine machine(library, hostSettings);
        machine.Initialise();

        bool first = true, inPlace = true;
        uint32_t seed = 11;
        for (const Block& block : blocks) {
            Changes changes;
            for (const Change& c : block.changes) changes.Add(c.id, c.offset, Normalised(kind, c.id, c.raw));
            std::vector<float> left = Noise(static_cast<size_t>(block.frames), seed++);
            std::vector<float> right = Noise(static_cast<size_t>(block.frames), seed++);
            std::vector<float> expected(2 * left.size());
            for (size_t i = 0; i < left.size(); ++i) expected[2 * i] = left[i], expected[2 * i + 1] = right[i];

            // The reference: the block in pieces between the offsets, each offset's changes in one call.
            auto apply = [&](auto atOffset) {
                bool any = first;
                for (const Change& c : block.changes)
                    if (atOffset(c.offset) && machine.ParameterValue(static_cast<int>(c.id)) != c.raw) {
                        machine.SetParameter(static_cast<int>(c.id), c.raw);
                        any = true;
                    }
                if (any) machine.ApplyParameters();
                first = false;
            };
            int32_t done = 0;
            while (true) {
                apply([done](int32_t offset) { return offset == done; });
                int32_t next = block.frames;
                for (const Change& c : block.changes)
                    if (c.offset > done && c.offset < next) next = c.offset;
                // As the plug-in's engine runs them: calls of at most kChunkFrames.
                for (int32_t at = done; at < next; at += product::PluginProcessor::kChunkFrames)
                    machine.ProcessAudio(expected.data() + 2 * at,
                                         std::min(product::PluginProcessor::kChunkFrames, next - at), abi::kModeInput);
                done = next;
                if (done >= block.frames) break;
            }
            apply([&block](int32_t offset) { return offset >= block.frames && block.frames > 0; });

            std::vector<float> outLeft(left.size()), outRight(right.size());
            float* in[2] = {left.data(), right.data()};
            float* out[2] = {inPlace ? left.data() : outLeft.data(), inPlace ? right.data() : outRight.data()};
            ASSERT_EQ(V3_OK, plugin.Process(in, out, block.frames, changes.Get()));
            for (size_t i = 0; i < left.size(); ++i)
                ASSERT_TRUE(expected[2 * i] == out[0][i] && expected[2 * i + 1] == out[1][i])
                    << "frame " << i << " of a " << block.frames << "-frame block";
            inPlace = !inPlace;
        }
    }
}

// Out-of-order calls, unknown IDs, values outside 0..1 or not finite, other arrangements, null
// and flagged-silent buffers, zero-length blocks, many instances on several threads: no crash,
// nothing but finite output, a refusal where VST3 has one.
TEST(Vst3BadInput, NeitherCrashesNorMakesNaN) {
    Plugin plugin(2);
    const v3_param_id unknown = 999;
    v3_str_128 text{};
    double value = 0.0;
    v3_param_info info{};
    EXPECT_EQ(V3_INVALID_ARG, plugin.Set(unknown, 0.5));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Controller().get_parameter_string_for_value(plugin.E(), unknown, 0.5, text));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Controller().get_parameter_value_for_string(plugin.E(), unknown, text, &value));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Controller().get_parameter_info(plugin.E(), -1, &info));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Controller().get_parameter_string_for_value(plugin.E(), kRange, NAN, text));
    for (double wild : {double{NAN}, double{INFINITY}, -double{INFINITY}, 1e300})
        EXPECT_TRUE(std::isfinite(plugin.Controller().normalised_parameter_to_plain(plugin.E(), kRange, wild)));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Set(kRange, NAN));
    EXPECT_EQ(0.5, plugin.Get(kRange));  // unchanged
    plugin.Set(kRange, 7.5);
    EXPECT_EQ(1.0, plugin.Get(kRange));
    plugin.Set(kRange, -3.0);
    EXPECT_EQ(0.0, plugin.Get(kRange));

    v3_speaker_arrangement mono = V3_SPEAKER_M, stereo = kStereo, pair[2] = {kStereo, kStereo};
    EXPECT_EQ(V3_FALSE, plugin.Processor().set_bus_arrangements(plugin.P(), &mono, 1, &mono, 1));
    EXPECT_EQ(V3_FALSE, plugin.Processor().set_bus_arrangements(plugin.P(), pair, 2, &stereo, 1));
    EXPECT_EQ(V3_OK, plugin.Processor().set_bus_arrangements(plugin.P(), &stereo, 1, &stereo, 1));
    EXPECT_EQ(V3_FALSE, plugin.Processor().can_process_sample_size(plugin.P(), V3_SAMPLE_64));
    v3_process_setup absurd{V3_REALTIME, V3_SAMPLE_32, 512, NAN};
    EXPECT_EQ(V3_FALSE, plugin.Processor().setup_processing(plugin.P(), &absurd));
    EXPECT_EQ(V3_INVALID_ARG, plugin.Processor().process(plugin.P(), nullptr));

    // Before setup and activation, with null buffers, no buses, zero frames, wild changes.
    std::vector<float> left = Noise(256, 3, 1.0f), right = Noise(256, 4, 1.0f);
    Changes wild;
    wild.Add(Band(1), -5, 1.0);
    wild.Add(Band(2), 100, NAN);
    wild.Add(unknown, 10, 0.3);
    wild.Add(kBandwidth, 1 << 30, 2.0);
    EXPECT_EQ(V3_OK, RunInPlace(plugin, left, right, wild.Get()));
    float* nulls[2] = {nullptr, nullptr};
    EXPECT_EQ(V3_OK, plugin.Process(nulls, nulls, 256, nullptr));
    v3_process_data bare{};
    bare.symbolic_sample_size = V3_SAMPLE_32;
    bare.nframes = 64;
    EXPECT_EQ(V3_OK, plugin.Processor().process(plugin.P(), &bare));
    bare.nframes = -1;
    EXPECT_EQ(V3_INVALID_ARG, plugin.Processor().process(plugin.P(), &bare));
    EXPECT_EQ(V3_OK, plugin.Component().set_active(plugin.C(), 1));
    EXPECT_EQ(V3_OK, plugin.Component().set_active(plugin.C(), 1));  // twice: already active
    for (float s : left) ASSERT_TRUE(std::isfinite(s));

    // Silence flags: a flagged channel reads as silence (whatever its buffer holds), and the
    // output is flagged silent once every band sleeps.
    Plugin quiet(2);
    ASSERT_EQ(V3_OK, quiet.Setup(48000.0));
    uint64_t flags = 0;
    std::vector<float> garbage = Noise(128, 8), garbage2 = Noise(128, 9);
    ASSERT_EQ(V3_OK, RunInPlace(quiet, garbage, garbage2, nullptr, 3, &flags));
    ASSERT_EQ(V3_OK, RunInPlace(quiet, garbage, garbage2, nullptr, 3, &flags));
    EXPECT_EQ(3u, flags);
    for (size_t i = 0; i < garbage.size(); ++i) ASSERT_TRUE(garbage[i] == 0.0f && garbage2[i] == 0.0f) << i;
    Changes boost;
    boost.Add(Band(4), 0, 1.0);
    ASSERT_EQ(V3_OK, RunInPlace(quiet, garbage, garbage2, boost.Get(), 3, &flags));
    EXPECT_EQ(0u, flags);  // a band runs: the host must listen

    std::atomic<int> nonFinite{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([t, &nonFinite] {
            Plugin instance(t % kMachineCount);
            instance.Setup(t % 2 ? 96000.0 : 22050.0);
            const double values[] = {NAN, INFINITY, -1.0, 2.0, 0.0, 1.0, 0.37};
            for (int round = 0; round < 40; ++round) {
                Changes changes;
                changes.Add(static_cast<v3_param_id>((round * 5 + t) % 9), round % 7, values[(round + t) % 7]);
                instance.Set(static_cast<v3_param_id>(round % 9), values[(round + 2 * t) % 7]);
                std::vector<float> l = Noise(size_t(round % 4 == 0 ? round % 2 : 37 * round), uint32_t(round), 1.0f);
                std::vector<float> r = l;
                RunInPlace(instance, l, r, changes.Get());
                for (size_t i = 0; i < l.size(); ++i)
                    if (!std::isfinite(l[i]) || !std::isfinite(r[i])) ++nonFinite;
                if (round % 10 == 0) instance.Load(instance.Save());
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, nonFinite.load());
}

}  // namespace
}  // namespace lumo::vst3::test
