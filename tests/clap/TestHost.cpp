#include "TestHost.h"

#include <clap/ext/thread-check.h>

#include <cstring>

namespace lumo::clap_host {
namespace {

thread_local bool tIsAudioThread = false;

TestHost& Of(const clap_host_t* host) { return *static_cast<TestHost*>(host->host_data); }

}  // namespace

TestHost::TestHost() : host_{}, mainThread_(std::this_thread::get_id()) {
    host_.clap_version = CLAP_VERSION;
    host_.host_data = this;
    host_.name = "lumo-clap-host";
    host_.vendor = "Tarvo Lumo tests";
    host_.url = "";
    host_.version = "1";
    host_.get_extension = GetExtension;
    host_.request_restart = RequestRestart;
    host_.request_process = RequestProcess;
    host_.request_callback = RequestCallback;
}

void TestHost::BecomeAudioThread() { tIsAudioThread = true; }

void TestHost::ServeCallbackRequest(const clap_plugin_t& plugin) {
    if (callbackRequested_.exchange(false)) plugin.on_main_thread(&plugin);
}

// [thread-safe]
const void* TestHost::GetExtension(const clap_host_t*, const char* id) {
    static const clap_host_thread_check_t threadCheck{IsMainThread, IsAudioThread};
    if (id != nullptr && std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return &threadCheck;
    return nullptr;
}

// [thread-safe]
void TestHost::RequestCallback(const clap_host_t* host) { Of(host).callbackRequested_ = true; }

// [thread-safe]
bool TestHost::IsMainThread(const clap_host_t* host) { return std::this_thread::get_id() == Of(host).mainThread_; }

// [thread-safe]
bool TestHost::IsAudioThread(const clap_host_t*) { return tIsAudioThread; }

}  // namespace lumo::clap_host
