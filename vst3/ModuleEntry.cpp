// What the module exports, the only platform-specific part of the face: GetPluginFactory on
// every platform, and the module's entry and exit as each platform's hosts call them
// (ModuleEntry/ModuleExit on Linux, InitDll/ExitDll on Windows). Nothing needs setting up or
// tearing down, so they only succeed. The host calls them on its main thread.
#include "vst3/Factory.h"

#if defined(_WIN32)
#define LUMO_VST3_EXPORT extern "C" __declspec(dllexport)
#else
#define LUMO_VST3_EXPORT extern "C" __attribute__((visibility("default")))
#endif

LUMO_VST3_EXPORT v3_plugin_factory** V3_API GetPluginFactory() { return lumo::vst3::Factory(); }

#if defined(_WIN32)
LUMO_VST3_EXPORT bool V3_API InitDll() { return true; }
LUMO_VST3_EXPORT bool V3_API ExitDll() { return true; }
#else
LUMO_VST3_EXPORT bool ModuleEntry(void*) { return true; }
LUMO_VST3_EXPORT bool ModuleExit() { return true; }
#endif
