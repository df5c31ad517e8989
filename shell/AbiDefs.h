// Export markers at the host boundary. Member functions of the host-facing tables need no
// marker: MinGW's GCC already calls them __thiscall on 32-bit Windows (callee pops), the host's
// convention, and x86-64 passes `this` first.
#pragma once

// The two exports of a plug-in. On Windows a .def file names them; natively a version script
// keeps every other symbol local.
#if defined(_WIN32)
#define LUMO_EXPORT extern "C"
#else
#define LUMO_EXPORT extern "C" __attribute__((visibility("default")))
#endif
