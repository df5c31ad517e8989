// Process-wide odds and ends: module handle, cursors, stock objects, screen metrics, and the
// message boxes, which are recorded instead of shown.
#include <deque>
#include <mutex>
#include <string>

#include "StandinState.h"

using namespace lumo::standin;

namespace {

constexpr uintptr_t kProcessModule = 0x00400000;  // where Windows loads an executable
constexpr uintptr_t kStockObjectBase = 0x00900000;
constexpr uintptr_t kCursorBase = 0x00A00000;
constexpr int kStockObjectCount = 20;  // stock ids 0 to 19

struct ShownMessageBox {
    std::string caption;
    std::string text;
    UINT style;
};

struct MessageBoxes {
    std::mutex mutex;
    std::deque<ShownMessageBox> shown;  // a deque keeps the strings in place while it grows
};

MessageBoxes& Boxes() {
    static MessageBoxes* boxes = new MessageBoxes;
    return *boxes;
}

}  // namespace

namespace lumo::standin {

bool StockBrushColour(HBRUSH brush, uint32_t* argb) {
    static const uint32_t kColours[] = {0xFFFFFFFF, 0xFFC0C0C0, 0xFF808080, 0xFF404040, 0xFF000000};
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value < kStockObjectBase || (value - kStockObjectBase) % 4 != 0) return false;
    uintptr_t index = (value - kStockObjectBase) / 4;
    if (index >= sizeof kColours / sizeof kColours[0]) return false;  // NULL_BRUSH or no brush
    *argb = kColours[index];
    return true;
}

}  // namespace lumo::standin

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    // Only the process itself is known by handle; other modules are not loaded under a name.
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(kProcessModule);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    uintptr_t id = reinterpret_cast<uintptr_t>(cursorName);
    // System cursors (IDC_ARROW and its neighbours) come without an instance; modules have no
    // cursor resources here.
    if (instance || id < 32512 || id > 32650) return nullptr;
    return reinterpret_cast<HCURSOR>(kCursorBase + id * 4);
}

HGDIOBJ WINAPI GetStockObject(int object) {
    if (object < 0 || object >= kStockObjectCount || object == 9) return nullptr;
    return reinterpret_cast<HGDIOBJ>(kStockObjectBase + static_cast<uintptr_t>(object) * 4);
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return kLumoStandinScreenWidth;
        case SM_CYSCREEN: return kLumoStandinScreenHeight;
        default: return 0;
    }
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner && !IsWindow(owner)) return 0;  // an invalid owner fails the call, as on Win32
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    boxes.shown.push_back({caption ? caption : "Error", text ? text : "", type});
    return IDOK;
}

int LumoStandinMessageBoxCount(void) {
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    return static_cast<int>(boxes.shown.size());
}

const char* LumoStandinMessageBoxCaption(int index) {
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    if (index < 0 || index >= static_cast<int>(boxes.shown.size())) return nullptr;
    return boxes.shown[index].caption.c_str();
}

const char* LumoStandinMessageBoxText(int index) {
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    if (index < 0 || index >= static_cast<int>(boxes.shown.size())) return nullptr;
    return boxes.shown[index].text.c_str();
}

UINT LumoStandinMessageBoxStyle(int index) {
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    if (index < 0 || index >= static_cast<int>(boxes.shown.size())) return 0;
    return boxes.shown[index].style;
}

void LumoStandinClearMessageBoxes(void) {
    MessageBoxes& boxes = Boxes();
    std::lock_guard<std::mutex> lock(boxes.mutex);
    boxes.shown.clear();
}

}  // extern "C"
