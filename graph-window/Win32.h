// Win32 for the machine: the real headers on Windows, the project's stand-in on Linux.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <lumo/win32.h>
#endif
