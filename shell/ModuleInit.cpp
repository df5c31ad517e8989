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
// Windows loader, at attach: static initialisation above has run; thread notifications are off.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        lumo::gLn2 = std::log(2.0);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
#endif
