// Probes of the painted picture, at pixels computed from the client size: the picture's colours
// (allowing for antialiasing) and the plot's geometry as the painter derives it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "Desktop.h"

namespace lumo::graphtest::probes {

struct Colour {
    int a, r, g, b;
};

using Image = desktop::ClientImage;

inline Colour PixelAt(const Image& image, int x, int y) {
    EXPECT_TRUE(image.Contains(x, y)) << "pixel " << x << ", " << y;
    if (!image.Contains(x, y)) return {0, 0, 0, 0};
    const uint32_t argb = image.At(x, y);
    return {int(argb >> 24), int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
}

inline bool IsBlack(Colour c) { return c.a == 255 && c.r == 0 && c.g == 0 && c.b == 0; }

// The grid colour (30, 60, 30), possibly spread over two pixels by antialiasing.
inline bool IsGridColoured(Colour c) {
    return c.g >= 25 && c.g <= 62 && std::abs(2 * c.r - c.g) <= 6 && std::abs(c.b - c.r) <= 4;
}

// The area colour 0xD2009600 over black: (0, 123, 0).
inline bool IsAreaColoured(Colour c) { return c.r <= 2 && c.b <= 2 && std::abs(c.g - 123) <= 3; }

// Plot geometry from the client size, as the painter derives it.
struct Plot {
    Plot(int clientWidth, int clientHeight)
        : width(clientWidth - 38.0), half((clientHeight - 30.0) / 2.0) {}
    double X(double curveX) const { return 25.0 + width * curveX; }
    double Y(double curveY) const { return 10.0 + half - half * curveY; }
    double width, half;
};

// The greenest pixel of a short run across a line at a fractional position.
inline Colour GreenestAcrossRow(const Image& image, int x, double y) {
    Colour best = {0, 0, -1, 0};
    for (int row = int(std::floor(y)) - 1; row <= int(std::floor(y)) + 1; ++row) {
        const Colour c = PixelAt(image, x, row);
        if (c.g > best.g) best = c;
    }
    return best;
}
inline Colour GreenestAcrossColumn(const Image& image, double x, int y) {
    Colour best = {0, 0, -1, 0};
    for (int column = int(std::floor(x)) - 1; column <= int(std::floor(x)) + 1; ++column) {
        const Colour c = PixelAt(image, column, y);
        if (c.g > best.g) best = c;
    }
    return best;
}

// Some pixel of the box is drawn in the label colour (60, 120, 60) or an antialiased part of it.
inline bool BoxHasLabelInk(const Image& image, int left, int top, int right, int bottom) {
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const Colour c = PixelAt(image, x, y);
            if (c.g >= 40 && std::abs(2 * c.r - c.g) <= 8) return true;
        }
    return false;
}

}  // namespace lumo::graphtest::probes
