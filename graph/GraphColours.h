// The response graph's colours, as 0xAARRGGBB words: the machine's window (GDI+) and the LV2
// plug-ins' inline display (cairo) paint with the same ones.
#pragma once

#include <cstdint>

namespace lumo::graph {

constexpr std::uint32_t kCurveColour = 0xFF00FF32;
constexpr std::uint32_t kGridColour = 0xFF1E3C1E;
constexpr std::uint32_t kLabelColour = 0xFF3C783C;
constexpr std::uint32_t kAreaColour = 0xD2009600;
constexpr std::uint32_t kBackgroundColour = 0xFF000000;

}  // namespace lumo::graph
