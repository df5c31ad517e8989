// What the CLAP file host and qtractor cannot reach: events at sample offsets against the
// machine's plug-in file in lockstep, silence flags, texts that follow Range and the rescan they
// ask for, the state chunk (refusals, settings made before any audio), bad input.
#include <gtest/gtest.h>

#include <clap/entry.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/plugin-factory.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "lumo/host/HostedMachine.h"
#include "lumo/host/PluginLibrary.h"

namespace {

namespace host = lumo::host;
namespace abi = lumo::abi;

constexpr double kRate = 44100.0;

// A host that counts request_callback and records params.rescan.
struct Host {
    std::atomic<int> callbacks{0};
    std::vector<uint32_t> rescans;
    clap_host_params_t params{[](const clap_host_t* h, uint32_t flags) { Of(h)->rescans.push_back(flags); },
                              [](const clap_host_t*, clap_id, uint32_t) {}, [](const clap_host_t*) {}};
    clap_host_t host{CLAP_VERSION_INIT, this, "lumo test", "", "", "1",
                     [](const clap_host_t* h, const char* id) -> const void* {
                         return std::strcmp(id, CLAP_EXT_PARAMS) == 0 ? &Of(h)->params : nullptr;
                     },
                     [](const clap_host_t*) {}, [](const clap_host_t*) {},
                     [](const clap_host_t* h) { ++Of(h)->callbacks; }};
    static Host* Of(const clap_host_t* h) { return static_cast<Host*>(h->host_data); }
};

struct Events {
    std::vector<clap_event_param_value_t> list;
    clap_input_events_t in{this, [](const clap_input_events_t* e) { return static_cast<uint32_t>(Of(e).size()); },
                           [](const clap_input_events_t* e, uint32_t i) -> const clap_event_header_t* {
                               return &Of(e)[i].header;
                           }};
    static std::vector<clap_event_param_value_t>& Of(const clap_input_events_t* e) {
        return static_cast<Events*>(e->ctx)->list;
    }
    Events& Add(uint32_t time, clap_id id, double value) {
        list.push_back({{sizeof(clap_event_param_value_t), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0},
                        id, nullptr, -1, -1, -1, -1, value});
        return *this;
    }
};

// Bytes through streams that move at most `step` bytes a call.
struct Stream {
    std::vector<uint8_t> bytes;
    size_t at = 0, step = 1;
    static Stream& Of(const void* ctx) { return *static_cast<Stream*>(const_cast<void*>(ctx)); }
    clap_ostream_t out{this, [](const clap_ostream_t* s, const void* b, uint64_t n) -> int64_t {
                           Stream& self = Of(s->ctx);
                           n = std::min<uint64_t>(n, self.step);
                           const auto* bytes = static_cast<const uint8_t*>(b);
                           self.bytes.insert(self.bytes.end(), bytes, bytes + n);
                           return static_cast<int64_t>(n);
                       }};
    clap_istream_t in{this, [](const clap_istream_t* s, void* b, uint64_t n) -> int64_t {
                          Stream& self = Of(s->ctx);
                          n = std::min<uint64_t>({n, self.step, self.bytes.size() - self.at});
                          if (n > 0) std::memcpy(b, self.bytes.data() + self.at, n);
                          self.at += n;
                          return static_cast<int64_t>(n);
                      }};
};

const clap_plugin_factory_t* Factory() {
    return static_cast<const clap_plugin_factory_t*>(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
}

// One instance through the factory and its extensions.
struct Plugin {
    Plugin(int kind, Host& host) {
        plugin = Factory()->create_plugin(Factory(), &host.host, Factory()->get_plugin_descriptor(Factory(), kind)->id);
        plugin->init(plugin);
        params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
    }
    ~Plugin() {
        if (active) plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    bool Activate(double rate = kRate) { return active = plugin->activate(plugin, rate, 1, 1 << 16); }
    void Flush(Events& events) { params->flush(plugin, &events.in, nullptr); }
    std::vector<double> Values() const {
        std::vector<double> values(params->count(plugin), NAN);
        for (clap_id id = 0; id < values.size(); ++id) params->get_value(plugin, id, &values[id]);
        return values;
    }
    std::string Text(clap_id id, double value) const {
        char text[64] = "(refused)";
        params->value_to_text(plugin, id, value, text, sizeof text);
        return text;
    }
    // Interleaved stereo through separate host channels, in place or not.
    clap_process_status Process(float* interleaved, uint32_t frames, Events* events = nullptr, bool inPlace = true,
                                uint64_t constantIn = 0, uint64_t* constantOut = nullptr) {
        std::vector<float> in[2] = {std::vector<float>(frames + 1), std::vector<float>(frames + 1)};
        std::vector<float> out[2] = {in[0], in[1]};
        for (uint32_t i = 0; i < 2 * frames; ++i) in[i % 2][i / 2] = interleaved[i];
        float* inPointers[2] = {in[0].data(), in[1].data()};
        float* outPointers[2] = {inPlace ? in[0].data() : out[0].data(), inPlace ? in[1].data() : out[1].data()};
        clap_audio_buffer_t input{inPointers, nullptr, 2, 0, constantIn}, output{outPointers, nullptr, 2, 0, 0};
        Events none;
        const clap_input_events_t* list = &(events != nullptr ? *events : none).in;
        const clap_process_t process{-1, frames, nullptr, &input, &output, 1, 1, list, nullptr};
        const clap_process_status status = plugin->process(plugin, &process);
        for (uint32_t i = 0; i < 2 * frames; ++i) interleaved[i] = outPointers[i % 2][i / 2];
        if (constantOut != nullptr) *constantOut = output.constant_mask;
        return status;
    }
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    bool active = false;
};

std::vector<float> Noise(uint32_t frames, uint32_t seed, float level = 0.25f) {
    std::vector<float> samples(static_cast<size_t>(frames) * 2);
    for (float& s : samples) {
        seed = seed * 1664525u + 1013904223u;
        s = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 2.0f * level;
    }
    return samples;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

constexpr clap_id kRange = 0, kBandwidth = 1;
clap_id Band(int band) { return static_cast<clap_id>(2 + band); }

// Events at their frames act as the machine's parameter calls there, the block split at each
// frame with every event of one frame in one call (several at one frame, out of order, past the
// block's end, unknown, not finite, beyond the ends; blocks of 0, 1 and longer than the engine's
// call; in place or not): bit for bit the machine's plug-in file through the reference host with
// its blocks split at the same frames.
TEST(ClapProcess, EventsAtOffsetsActAsTheMachinesCalls) {
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(Factory()->get_plugin_descriptor(Factory(), kind)->name);
        Host host;
        Plugin plugin(kind, host);
        ASSERT_TRUE(plugin.Activate());
        host::PluginLibrary library(std::string(LUMO_TEST_PLUGIN_DIR) + "/" +
                                    Factory()->get_plugin_descriptor(Factory(), kind)->name + host::PluginSuffix());
        host::HostedMachine machine(library, {static_cast<int>(kRate), 126, 4, 8192, ""});
        machine.Initialise();

        struct Change { uint32_t time; clap_id id; double plain; int raw; };  // raw -1: the machine gets nothing
        const int k = kind == 0 ? 17 : kind == 1 ? 11 : 8;  // the 1 kHz band
        const std::vector<std::pair<uint32_t, std::vector<Change>>> blocks = {
            {300, {{100, Band(k), 40, 104}, {100, kRange, 9.4, 9}, {100, Band(0), -64, 0}, {250, kBandwidth, 6, 6}}},
            {1, {{0, Band(k + 2), 12, 76}}},
            {0, {{0, Band(3), 1000, 128}}},  // acts at the next block's start
            {777, {{5, Band(k), 0, 64}, {5, 999, 1, -1}, {400, Band(3), NAN, -1}, {300, kRange, 20, 20}}},
            {10000, {{9000, Band(0), 0, 64}, {10005, kBandwidth, 1, 1}}},
            {5000, {{4999, Band(3), 0, 64}}},
            {20000, {{0, Band(k + 2), 0, 64}}},  // every band flat: rings out, then sleeps
            {512, {}},
        };
        std::vector<Change> carried;
        uint32_t seed = 1;
        for (const auto& [frames, changes] : blocks) {
            Events events;
            std::vector<Change> schedule;  // the machine's: {frame in this block, index, raw}
            schedule.swap(carried);
            uint32_t last = 0;
            for (const Change& change : changes) {
                events.Add(change.time, change.id, change.plain);
                last = std::max(last, std::min(change.time, frames));
                if (change.raw < 0) continue;
                (last < frames ? schedule : carried).push_back({last < frames ? last : 0, change.id, 0, change.raw});
            }
            std::vector<float> actual = Noise(frames, seed++), expected = actual;
            for (uint32_t start = 0, end = 0; start < frames; start = end) {
                end = frames;
                for (const Change& c : schedule) {
                    if (c.time == start) machine.SetParameter(static_cast<int>(c.id), c.raw);
                    if (c.time > start) end = std::min(end, c.time);
                }
                machine.ApplyParameters();
                for (uint32_t at = start; at < end; at += 8192)
                    machine.ProcessAudio(expected.data() + 2 * at, static_cast<int>(std::min(8192u, end - at)),
                                         abi::kModeInput);
            }
            plugin.Process(actual.data(), frames, &events, seed % 2 == 0);
            ASSERT_TRUE(SameBits(actual, expected)) << "block of " << frames;
        }
        std::vector<float> input = Noise(64, 9), output = input;
        plugin.Process(output.data(), 64);
        EXPECT_TRUE(SameBits(input, output));  // asleep: passed through
    }
}

// A constant input channel is read as its first sample; the output is flagged constant, and the
// plug-in asks to sleep, only when every band slept through a silent block.
TEST(ClapProcess, SilenceFlags) {
    Host host;
    Plugin plugin(0, host), filled(0, host);
    ASSERT_TRUE(plugin.Activate() && filled.Activate());
    std::vector<float> audio = Noise(256, 1), silence(512, 0.0f);
    uint64_t mask = 99;
    plugin.Process(audio.data(), 256);
    EXPECT_EQ(CLAP_PROCESS_SLEEP, plugin.Process(silence.data(), 256, nullptr, false, 3, &mask));
    EXPECT_EQ(3u, mask);
    EXPECT_EQ(CLAP_PROCESS_CONTINUE, plugin.Process(silence.data(), 256, nullptr, true, 0, &mask));
    EXPECT_EQ(0u, mask);  // not flagged silent by the host

    Events boost;
    boost.Add(0, Band(10), 30);
    std::vector<float> level(512, NAN), full(512, 0.5f);  // only the first frame holds the constant
    level[0] = level[1] = 0.5f;
    EXPECT_EQ(CLAP_PROCESS_CONTINUE, plugin.Process(level.data(), 256, &boost, false, 3, &mask));
    filled.Process(full.data(), 256, &boost);
    EXPECT_EQ(0u, mask);
    EXPECT_TRUE(SameBits(level, full));
}

// A band's text is its gain at the Range in force; a new Range, from flush or process, asks the
// host once for the main thread, which then has the texts rendered again. Every shown text typed
// back gives its value.
TEST(ClapParams, TextsFollowRangeAndReadBack) {
    Host host;
    Plugin plugin(0, host);
    EXPECT_EQ("16.0 dB", plugin.Text(kRange, 16));
    EXPECT_EQ("0.67 octave", plugin.Text(kBandwidth, 8));
    Events range12, same, range32;
    plugin.Flush(range12.Add(0, kRange, 12).Add(0, Band(4), -32));
    EXPECT_EQ(1, host.callbacks.load());
    plugin.plugin->on_main_thread(plugin.plugin);
    EXPECT_EQ(std::vector<uint32_t>{CLAP_PARAM_RESCAN_TEXT}, host.rescans);
    EXPECT_EQ("12.0 dB", plugin.Text(Band(4), 64));
    EXPECT_EQ("-6.0 dB", plugin.Text(Band(4), plugin.Values()[Band(4)]));

    ASSERT_TRUE(plugin.Activate());
    std::vector<float> audio = Noise(64, 2);
    plugin.Process(audio.data(), 64, &same.Add(10, kRange, 12));
    EXPECT_EQ(1, host.callbacks.load());  // Range unchanged: nothing to render again
    plugin.Process(audio.data(), 64, &range32.Add(10, kRange, 32));
    EXPECT_EQ(2, host.callbacks.load());
    EXPECT_EQ("32.0 dB", plugin.Text(Band(4), 64));

    for (clap_id id = 0; id < plugin.params->count(plugin.plugin); ++id) {
        clap_param_info_t info;
        ASSERT_TRUE(plugin.params->get_info(plugin.plugin, id, &info));
        EXPECT_EQ(CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE, info.flags);
        for (double value = info.min_value, back = NAN; value <= info.max_value; ++value) {
            EXPECT_TRUE(plugin.params->text_to_value(plugin.plugin, id, plugin.Text(id, value).c_str(), &back));
            EXPECT_EQ(value, back) << plugin.Text(id, value);
        }
    }
}

// Settings made before any audio are saved; the state reloads through streams that move a byte
// at a time (into an active instance: its next block uses it); a short, long, damaged, newer,
// foreign or out-of-range chunk, or an empty stream, is refused with nothing changed.
TEST(ClapState, SavesEarlySettingsAndRefusesBadChunks) {
    Host host;
    Plugin first(0, host), second(0, host), other(1, host);
    Events settings;
    first.Flush(settings.Add(0, kRange, 20).Add(0, kBandwidth, 3).Add(0, Band(5), -10).Add(0, Band(30), 64));
    Stream saved, foreign;
    ASSERT_TRUE(first.state->save(first.plugin, &saved.out) && other.state->save(other.plugin, &foreign.out));

    const std::vector<double> defaults = second.Values();
    auto refused = [&](std::vector<uint8_t> bytes) {
        Stream stream;
        stream.bytes = bytes;
        return !second.state->load(second.plugin, &stream.in) && second.Values() == defaults;
    };
    std::vector<uint8_t> longer = saved.bytes, damaged = saved.bytes, newer = saved.bytes, wild = saved.bytes;
    longer.push_back(0);
    damaged[0] ^= 1;
    newer[4] = 2;
    wild.back() = 200;
    EXPECT_TRUE(refused({}) && refused(longer) && refused(damaged) && refused(newer) && refused(wild));
    EXPECT_TRUE(refused(foreign.bytes) && refused(std::vector<uint8_t>(saved.bytes.begin(), saved.bytes.end() - 1)));
    EXPECT_TRUE(host.rescans.empty());

    ASSERT_TRUE(second.Activate() && first.Activate());
    ASSERT_TRUE(second.state->load(second.plugin, &saved.in));
    EXPECT_EQ(first.Values(), second.Values());
    EXPECT_EQ(std::vector<uint32_t>{CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT}, host.rescans);
    std::vector<float> a = Noise(4096, 3), b = a, input = a;
    first.Process(a.data(), 4096);
    second.Process(b.data(), 4096);
    EXPECT_TRUE(SameBits(a, b));
    EXPECT_FALSE(SameBits(a, input));
}

// The main thread reads values and texts, saves, loads and answers callbacks while the audio
// thread takes events: no data race (ThreadSanitizer), and the values stay in range.
TEST(ClapThreads, MainThreadAndProcessShareOnlyAtomics) {
    Host host;
    Plugin plugin(0, host);
    ASSERT_TRUE(plugin.Activate());
    Stream saved;
    ASSERT_TRUE(plugin.state->save(plugin.plugin, &saved.out));
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (uint32_t round = 0; round < 300; ++round) {
            Events events;
            events.Add(round % 64, kRange, round % 33).Add(round % 64, Band(round % 31), round % 129 - 64.0);
            std::vector<float> samples = Noise(64, round);
            plugin.Process(samples.data(), 64, &events);
        }
        done = true;
    });
    while (!done) {
        const std::vector<double> values = plugin.Values();
        EXPECT_TRUE(values[kRange] >= 0 && values[kRange] <= 32);
        EXPECT_NE("(refused)", plugin.Text(Band(3), 64));
        plugin.plugin->on_main_thread(plugin.plugin);
        Stream copy;
        saved.at = 0;
        EXPECT_TRUE(plugin.state->save(plugin.plugin, &copy.out) && plugin.state->load(plugin.plugin, &saved.in));
    }
    audio.join();
}

// Calls out of order, unknown IDs, values beyond the ends or not finite, other events, missing
// buffers, empty blocks, many instances on several threads: no crash, refusals where CLAP has
// them, nothing but finite output.
TEST(ClapBadInput, NeitherCrashesNorMakesNaN) {
    Host host;
    EXPECT_EQ(nullptr, clap_entry.get_factory("clap.nothing"));
    EXPECT_EQ(nullptr, Factory()->get_plugin_descriptor(Factory(), 3));
    EXPECT_EQ(nullptr, Factory()->create_plugin(Factory(), &host.host, "org.tarvo-lumo.lumo-99"));
    Plugin plugin(2, host);
    const clap_plugin_t* p = plugin.plugin;
    std::vector<float> audio = Noise(64, 4);
    EXPECT_EQ(CLAP_PROCESS_ERROR, plugin.Process(audio.data(), 64));  // not active
    EXPECT_FALSE(p->start_processing(p) || plugin.Activate(0.0) || plugin.Activate(NAN) || plugin.Activate(1e9));
    ASSERT_TRUE(plugin.Activate(96000.0));
    EXPECT_FALSE(plugin.Activate(48000.0));  // already active
    double value = 0;
    char text[8];
    EXPECT_FALSE(p->get_extension(p, "clap.nothing") || plugin.params->get_value(p, 17, &value) ||
                 plugin.params->value_to_text(p, 0, NAN, text, sizeof text) ||
                 plugin.params->text_to_value(p, 0, "loud", &value) ||
                 plugin.params->text_to_value(p, 99, "1 dB", &value));

    Events wild;
    wild.Add(0, Band(3), INFINITY).Add(1, Band(4), 1e300).Add(2, kRange, -1e300).Add(3, 0xFFFFFFFFu, 1);
    wild.Add(4, Band(5), 20).list.back().header.type = CLAP_EVENT_PARAM_MOD;
    plugin.Process(audio.data(), 64, &wild);
    const std::vector<double> values = plugin.Values();
    EXPECT_EQ((std::vector<double>{0, 16, 0, 0, 0, 0, 64, 0}), std::vector<double>(values.begin(), values.begin() + 8));
    clap_process_t none{-1, 64, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr};
    EXPECT_EQ(CLAP_PROCESS_ERROR, p->process(p, &none));
    EXPECT_EQ(CLAP_PROCESS_ERROR, p->process(p, nullptr));
    plugin.Process(nullptr, 0);
    p->reset(p);

    std::vector<std::thread> threads;
    std::atomic<int> nonFinite{0};
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([t, &nonFinite] {
            Host own;
            Plugin instance(t % 3, own);
            instance.Activate(t % 2 ? 48000.0 : 22050.0);
            const double wildValues[] = {NAN, INFINITY, -1e30, 1e30, 3.0, -7.5, 64.0, -64.0};
            for (uint32_t round = 0; round < 40; ++round) {
                Events events;
                events.Add(0, (round * 5 + t) % 8, wildValues[(round + t) % 8]);
                events.Add(round, Band(round % 15), round % 3 ? 64 : -64);
                const uint32_t frames = round % 4 == 0 ? round % 2 : 37 * round;
                std::vector<float> samples = Noise(frames, round, 1.0f);
                instance.Process(samples.data(), frames, &events, round % 2);
                for (float s : samples) nonFinite += std::isfinite(s) ? 0 : 1;
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, nonFinite.load());
}

}  // namespace
