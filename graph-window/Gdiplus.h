// The GDI+ flat interface: gdiplus.dll on Windows, the project's cairo stand-in on Linux.
#pragma once

#include "graph-window/Win32.h"

#ifdef _WIN32
#include <objidl.h>
#include <gdiplus.h>
namespace lumo::gdip {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;
}  // namespace lumo::gdip
#else
#include <lumo/gdiplus.h>
namespace lumo::gdip {}
#endif
