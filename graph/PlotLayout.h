// Where everything of the graph lands in the client area, worked out without drawing: the plot
// rectangle inside its margins, the grid lines with their labels, and the curve's pixels. The
// painter draws from it; tests check it directly.
#pragma once

#include "graph/CurvePoint.h"

namespace lumo::graph {

// How a label sits against its anchor point (values as GDI+'s StringAlignment).
enum class TextAlign { Near = 0, Center = 1, Far = 2 };

struct PlotPoint {
    float x;
    float y;
};

// A grid line with its label, in plot coordinates (origin at the plot's top-left corner). The
// label is laid out in a box of zero size at `labelAnchor`, placed by the two alignments.
struct GridLine {
    const wchar_t* label;
    PlotPoint labelAnchor;
    TextAlign horizontal;
    TextAlign vertical;
    PlotPoint from;
    PlotPoint to;
};

class PlotLayout {
public:
    static constexpr int kLeftMargin = 25;
    static constexpr int kRightMargin = 13;
    static constexpr int kTopMargin = 10;
    static constexpr int kBottomMargin = 20;
    static constexpr int kHorizontalMargins = kLeftMargin + kRightMargin;
    static constexpr int kVerticalMargins = kTopMargin + kBottomMargin;
    static constexpr int kDecibelLines = 7;             // +30 to -30 dB
    static constexpr int kFrequencyLines = 5;           // 20 Hz, 100 Hz, 1 kHz, 10 kHz, 20 kHz

    PlotLayout(int clientWidth, int clientHeight);

    // False when the client area leaves no room for the plot: only the background is painted.
    bool HasRoom() const { return hasRoom_; }
    float PlotWidth() const { return plotWidth_; }    // W: 20 Hz at 0, 20 kHz at W
    float HalfHeight() const { return halfHeight_; }  // h: +30 dB at 0, 0 dB at h, -30 dB at 2h
    // The curve pen's width in curve units: one pixel along x.
    float CurvePenWidth() const;

    // In drawing order: the decibel lines from +30 down, labels ending at the plot's left edge;
    // then the frequency lines from 20 Hz, labels hanging below the plot.
    const GridLine& DecibelLine(int row) const { return decibelLines_[row]; }
    const GridLine& FrequencyLine(int column) const { return frequencyLines_[column]; }

    // Where a curve point lands in client pixels: (left margin + W x, top margin + h - h y).
    PlotPoint CurvePixel(const CurvePoint& point) const;

private:
    bool hasRoom_;
    float plotWidth_;
    float halfHeight_;
    GridLine decibelLines_[kDecibelLines];
    GridLine frequencyLines_[kFrequencyLines];
};

}  // namespace lumo::graph
