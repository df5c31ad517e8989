// The graph window's class and procedure, shared by all machines of a deliverable.
#pragma once

#include "shell/Win32.h"

namespace lumo {

LRESULT CALLBACK GraphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The module that holds GraphWindowProc: the class is registered under it, so a class can never
// point at the code of a module that is gone.
HINSTANCE GraphModuleInstance();

// Registers the class; fails harmlessly when this module registered it before.
void RegisterGraphWindowClass();

// Called when the module is unloaded, so that loading it again registers the class afresh.
void UnregisterGraphWindowClass();

}  // namespace lumo
