#include "graph/PlotLayout.h"

#include <cmath>

namespace lumo::graph {
namespace {

struct DecibelRow {
    const wchar_t* label;
    double fractionOfHalfHeight;
};

constexpr DecibelRow kDecibelRows[PlotLayout::kDecibelLines] = {
    {L"+30", 0.0},
    {L"+20", 0.3333333333333333},
    {L"+10", 0.6666666666666666},
    {L"0", 1.0},
    {L"-10", 1.3333333333333333},
    {L"-20", 1.6666666666666667},
    {L"-30", 2.0},
};

// The position of frequency 20 x number Hz on the axis log(f / 20) / log(1000), in float.
float AxisFraction(double number, float perLn1000) {
    return static_cast<float>(std::log(number)) * perLn1000;
}

}  // namespace

PlotLayout::PlotLayout(int clientWidth, int clientHeight)
    : hasRoom_(clientWidth > kHorizontalMargins && clientHeight > kVerticalMargins),
      plotWidth_(static_cast<float>(clientWidth) - static_cast<float>(kHorizontalMargins)),
      halfHeight_((static_cast<float>(clientHeight) - static_cast<float>(kVerticalMargins)) * 0.5f) {
    const float w = plotWidth_;
    for (int row = 0; row < kDecibelLines; ++row) {
        const float y =
            static_cast<float>(static_cast<double>(halfHeight_) * kDecibelRows[row].fractionOfHalfHeight);
        decibelLines_[row] = {kDecibelRows[row].label, {0.0f, y}, TextAlign::Far, TextAlign::Center,
                              {0.0f, y}, {w, y}};
    }

    const float perLn1000 = 1.0f / static_cast<float>(std::log(1000.0));
    const float plotHeight = halfHeight_ * 2.0f;
    const struct {
        const wchar_t* label;
        float x;
        TextAlign horizontal;
    } columns[kFrequencyLines] = {
        {L"20", 0.0f, TextAlign::Near},
        {L"100", AxisFraction(5.0, perLn1000) * w, TextAlign::Center},
        {L"1k", AxisFraction(50.0, perLn1000) * w, TextAlign::Center},
        {L"10k", AxisFraction(500.0, perLn1000) * w, TextAlign::Center},
        {L"20k", w, TextAlign::Center},
    };
    for (int column = 0; column < kFrequencyLines; ++column) {
        const float x = columns[column].x;
        frequencyLines_[column] = {columns[column].label, {x, plotHeight}, columns[column].horizontal,
                                   TextAlign::Near, {x, 0.0f}, {x, plotHeight}};
    }
}

float PlotLayout::CurvePenWidth() const {
    return static_cast<float>(1.0 / static_cast<double>(plotWidth_));
}

PlotPoint PlotLayout::CurvePixel(const CurvePoint& point) const {
    return {static_cast<float>(kLeftMargin) + plotWidth_ * point.x,
            static_cast<float>(kTopMargin) + halfHeight_ - halfHeight_ * point.y};
}

}  // namespace lumo::graph
