// The graph window as a host sees it: where a new machine's window opens and how far the user
// can size it.
#pragma once

namespace lumo::abi {

// Outer rectangle of the window of a machine without saved state (left, top, width, height).
constexpr int kGraphWindowDefaultX = 0;
constexpr int kGraphWindowDefaultY = 0;
constexpr int kGraphWindowDefaultWidth = 406;
constexpr int kGraphWindowDefaultHeight = 232;

// Limits of the outer size while the user drags the window's border.
constexpr int kGraphWindowMinWidth = 300;
constexpr int kGraphWindowMinHeight = 200;
constexpr int kGraphWindowMaxWidth = 600;
constexpr int kGraphWindowMaxHeight = 400;

}  // namespace lumo::abi
