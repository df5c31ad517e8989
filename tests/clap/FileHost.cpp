// A small CLAP host over files, for the tests: loads a .clap through its clap_entry only, lists
// its plug-ins, or runs one over a stereo 32-bit float WAV in blocks of N frames.
//   lumo-clap-host PLUGIN.clap --list
//   lumo-clap-host PLUGIN.clap PLUGIN_ID IN.wav OUT.wav [--block N] [--set PARAM_ID=PLAIN_VALUE]...
//                  [--at FRAME:PARAM_ID=PLAIN_VALUE]...
// --set values go in through params.flush before activation (as a host restoring a session);
// --at values as CLAP_EVENT_PARAM_VALUE at that frame of its block. OUT is as long as IN.
#include <dlfcn.h>
#include <sndfile.h>

#include <clap/entry.h>
#include <clap/ext/params.h>
#include <clap/plugin-factory.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Change {
    long frame;  // -1: before activation
    clap_id id;
    double value;
};

struct EventList {
    std::vector<clap_event_param_value_t> events;
    clap_input_events_t in{this,
                           [](const clap_input_events_t* l) {
                               return static_cast<uint32_t>(static_cast<EventList*>(l->ctx)->events.size());
                           },
                           [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
                               return &static_cast<EventList*>(l->ctx)->events[i].header;
                           }};
    void Add(uint32_t time, clap_id id, double value) {
        events.push_back({{sizeof(clap_event_param_value_t), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0},
                          id, nullptr, -1, -1, -1, -1, value});
    }
};

bool callbackRequested = false;
const clap_host_params_t kHostParams = {[](const clap_host_t*, clap_param_rescan_flags) {},
                                        [](const clap_host_t*, clap_id, clap_param_clear_flags) {},
                                        [](const clap_host_t*) {}};
const clap_host_t kHost = {CLAP_VERSION_INIT, nullptr, "lumo-clap-host", "Tarvo Lumo tests", "", "1",
                           [](const clap_host_t*, const char* id) -> const void* {
                               return std::strcmp(id, CLAP_EXT_PARAMS) == 0 ? &kHostParams : nullptr;
                           },
                           [](const clap_host_t*) {}, [](const clap_host_t*) {},
                           [](const clap_host_t*) { callbackRequested = true; }};

int Fail(const std::string& message) {
    std::fprintf(stderr, "lumo-clap-host: %s\n", message.c_str());
    return 1;
}

bool ParseChange(const char* text, long frame, std::vector<Change>& changes) {
    unsigned id = 0;
    double value = 0;
    if (std::sscanf(text, "%u=%lf", &id, &value) != 2) return false;
    changes.push_back({frame, id, value});
    return true;
}

int Run(const clap_plugin_factory_t* factory, int argc, char** argv) {
    uint32_t block = 256;
    std::vector<Change> changes;
    for (int i = 5; i + 1 < argc; i += 2) {
        long frame = 0;
        int consumed = 0;
        bool ok = true;
        if (std::strcmp(argv[i], "--block") == 0)
            block = static_cast<uint32_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--set") == 0)
            ok = ParseChange(argv[i + 1], -1, changes);
        else if (std::strcmp(argv[i], "--at") == 0 && std::sscanf(argv[i + 1], "%ld:%n", &frame, &consumed) == 1)
            ok = ParseChange(argv[i + 1] + consumed, frame, changes);
        else
            ok = false;
        if (!ok) return Fail(std::string("cannot read ") + argv[i] + " " + argv[i + 1]);
    }
    if (block < 1 || (argc - 5) % 2 != 0) return Fail("bad arguments");

    SF_INFO info{};
    SNDFILE* in = sf_open(argv[3], SFM_READ, &info);
    if (in == nullptr || info.channels != 2) return Fail(std::string("cannot read stereo ") + argv[3]);
    std::vector<float> audio(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(in, audio.data(), info.frames);
    sf_close(in);

    const clap_plugin_t* plugin = factory->create_plugin(factory, &kHost, argv[2]);
    if (plugin == nullptr || !plugin->init(plugin)) return Fail(std::string("no plug-in ") + argv[2]);
    const auto* params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
    EventList early;
    for (const Change& c : changes)
        if (c.frame < 0) early.Add(0, c.id, c.value);
    if (params != nullptr) params->flush(plugin, &early.in, nullptr);
    if (!plugin->activate(plugin, info.samplerate, 1, block) || !plugin->start_processing(plugin))
        return Fail("the plug-in refused to start");

    std::vector<float> channels[2] = {std::vector<float>(block), std::vector<float>(block)};
    float* pointers[2] = {channels[0].data(), channels[1].data()};
    clap_audio_buffer_t input{pointers, nullptr, 2, 0, 0}, output{pointers, nullptr, 2, 0, 0};
    for (long start = 0; start < info.frames; start += block) {
        const uint32_t frames = static_cast<uint32_t>(std::min<long>(block, info.frames - start));
        EventList events;
        for (const Change& c : changes)
            if (c.frame >= start && c.frame < start + frames)
                events.Add(static_cast<uint32_t>(c.frame - start), c.id, c.value);
        std::stable_sort(events.events.begin(), events.events.end(),
                         [](const auto& a, const auto& b) { return a.header.time < b.header.time; });
        for (uint32_t i = 0; i < frames; ++i)
            for (int c = 0; c < 2; ++c) channels[c][i] = audio[2 * (start + i) + c];
        const clap_process_t process{start, frames, nullptr, &input, &output, 1, 1, &events.in, nullptr};
        if (plugin->process(plugin, &process) == CLAP_PROCESS_ERROR) return Fail("process failed");
        for (uint32_t i = 0; i < frames; ++i)
            for (int c = 0; c < 2; ++c) audio[2 * (start + i) + c] = channels[c][i];
        if (callbackRequested) {
            callbackRequested = false;
            plugin->on_main_thread(plugin);
        }
    }
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);

    SF_INFO outInfo{};
    outInfo.samplerate = info.samplerate;
    outInfo.channels = 2;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* out = sf_open(argv[4], SFM_WRITE, &outInfo);
    if (out == nullptr) return Fail(std::string("cannot write ") + argv[4]);
    const sf_count_t written = sf_writef_float(out, audio.data(), info.frames);
    sf_close(out);
    return written == info.frames ? 0 : Fail(std::string("cannot write ") + argv[4]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc < 5) {
        std::fprintf(stderr, "usage: lumo-clap-host PLUGIN.clap --list | PLUGIN_ID IN.wav OUT.wav [--block N] "
                             "[--set PARAM_ID=VALUE]... [--at FRAME:PARAM_ID=VALUE]...\n");
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    const auto* entry =
        library != nullptr ? static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry")) : nullptr;
    if (entry == nullptr || !entry->init(argv[1])) return Fail(std::string("not a CLAP file: ") + argv[1]);
    const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    int status = 0;
    if (factory == nullptr) {
        status = Fail("no plug-in factory");
    } else if (argc == 3 && std::strcmp(argv[2], "--list") == 0) {
        for (uint32_t i = 0; i < factory->get_plugin_count(factory); ++i) {
            const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, i);
            std::printf("%s|%s|%s", d->id, d->name, d->vendor);
            for (const char* const* f = d->features; f != nullptr && *f != nullptr; ++f) std::printf("|%s", *f);
            std::printf("\n");
        }
    } else {
        status = Run(factory, argc, argv);
    }
    entry->deinit();
    dlclose(library);
    return status;
}
