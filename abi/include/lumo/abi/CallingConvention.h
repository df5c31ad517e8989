// How the host and a machine call each other. Objects that cross the boundary begin with a
// pointer to their table of operations; every operation is a member function: __thiscall on
// 32-bit Windows (`this` in ECX, the callee pops its argument words, so each operation takes
// exactly its number of words), `this` as the first argument on x86-64.
#pragma once

// Marks a free function or function pointer that stands in for a member function. GCC accepts
// thiscall on non-member functions as an extension (and says so under -Wattributes), which is
// exactly what a host needs to call or fill a table of member functions.
#if defined(__i386__) && defined(_WIN32)
#define LUMO_THISCALL __attribute__((thiscall))
#define LUMO_THISCALL_BEGIN _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wattributes\"")
#define LUMO_THISCALL_END _Pragma("GCC diagnostic pop")
#else
#define LUMO_THISCALL
#define LUMO_THISCALL_BEGIN
#define LUMO_THISCALL_END
#endif

// The two exports of a plug-in: C linkage, undecorated names (a .def file on Windows, a version
// script natively keeps everything else local).
#if defined(_WIN32)
#define LUMO_EXPORT extern "C"
#else
#define LUMO_EXPORT extern "C" __attribute__((visibility("default")))
#endif
