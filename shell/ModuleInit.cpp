// Module start-up: ln 2 for the filter design, computed once when the module is loaded.
#include <cmath>

#include "EqualiserMachine.h"

namespace lumo {

double gLn2 = 0.0;

namespace {
struct ComputeLn2AtLoad {
    ComputeLn2AtLoad() { gLn2 = std::log(2.0); }
} gComputeLn2AtLoad;
}  // namespace

}  // namespace lumo

#ifdef _WIN32
#include "graph/GraphWindow.h"

// Windows loader, at attach: static initialisation above has run; thread notifications are off.
// At an unload by FreeLibrary (not at process exit) the graph window class goes with the module.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        lumo::gLn2 = std::log(2.0);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        lumo::UnregisterGraphWindowClass();
    }
    return TRUE;
}
#endif
