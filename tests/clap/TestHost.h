// The host as the plug-in sees it: a clap_host_t with a name, the thread-check extension and
// nothing else, request_restart and request_process ignored (a file is rendered once),
// request_callback remembered for the main thread to serve.
#pragma once

#include <clap/host.h>
#include <clap/plugin.h>

#include <atomic>
#include <thread>

namespace lumo::clap_host {

class TestHost {
public:
    TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    const clap_host_t* Clap() const { return &host_; }

    // Marks the calling thread as the audio thread (its whole life long).
    static void BecomeAudioThread();

    // Called by the main thread: runs plugin->on_main_thread once if the plug-in asked for it.
    void ServeCallbackRequest(const clap_plugin_t& plugin);

private:
    static const void* GetExtension(const clap_host_t* host, const char* id);
    static void RequestRestart(const clap_host_t*) {}
    static void RequestProcess(const clap_host_t*) {}
    static void RequestCallback(const clap_host_t* host);
    static bool IsMainThread(const clap_host_t* host);
    static bool IsAudioThread(const clap_host_t* host);

    clap_host_t host_;
    const std::thread::id mainThread_;
    std::atomic<bool> callbackRequested_{false};
};

}  // namespace lumo::clap_host
