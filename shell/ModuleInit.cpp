// The module's life in the host process: thread notifications off at load, the graph window
// class unregistered when the module is unloaded (so loading it again registers it afresh).
#include "graph-window/GraphView.h"
#include "shell/ThisDeliverable.h"

#ifdef _WIN32
// Windows loader. At attach, static initialisation (ln 2 for the filter design among it) has
// run. At an unload by FreeLibrary (not at process exit) the window class goes with the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        lumo::graph::UnregisterGraphWindowClass(lumo::ThisDeliverable().windowClassName);
    }
    return TRUE;
}
#else
namespace {
// A shared object has no DllMain: its static destructors run when it is unloaded.
struct UnregisterAtUnload {
    ~UnregisterAtUnload() {
        lumo::graph::UnregisterGraphWindowClass(lumo::ThisDeliverable().windowClassName);
    }
} gUnregisterAtUnload;
}  // namespace
#endif
