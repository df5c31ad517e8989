// Calling conventions and export markers at the host boundary.
#pragma once

// Member functions of host-facing tables use the platform's member convention: __thiscall on
// 32-bit Windows (callee pops its argument words), `this` as first argument on x86-64.
#if defined(__i386__) && defined(_WIN32)
#define LUMO_THISCALL __attribute__((thiscall))
#else
#define LUMO_THISCALL
#endif

// The two exports of a plug-in. On Windows a .def file names them; natively a version script
// keeps every other symbol local.
#if defined(_WIN32)
#define LUMO_EXPORT extern "C"
#else
#define LUMO_EXPORT extern "C" __attribute__((visibility("default")))
#endif
