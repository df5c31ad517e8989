// Where the graph's parts land, checked without drawing: the plot inside its margins, the grid
// lines and their label anchors, and the curve's pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "graph/PlotLayout.h"

namespace lumo::graph {
namespace {

TEST(PlotLayout, PlotSitsInsideItsMarginsAtEverySize) {
    for (const auto& [cw, ch] : {std::pair{390, 194}, std::pair{584, 362}, std::pair{39, 31}}) {
        SCOPED_TRACE(testing::Message() << cw << "x" << ch);
        const PlotLayout layout(cw, ch);
        ASSERT_TRUE(layout.HasRoom());
        EXPECT_EQ(layout.PlotWidth(), cw - 38.0f);
        EXPECT_EQ(layout.HalfHeight(), (ch - 30.0f) * 0.5f);
        // The corners of the curve's axes: 20 Hz at +30 dB top-left, 20 kHz at -30 dB
        // bottom-right, leaving 25, 10, 13 and 20 pixels of margin.
        const PlotPoint topLeft = layout.CurvePixel({0.0f, 1.0f});
        const PlotPoint bottomRight = layout.CurvePixel({1.0f, -1.0f});
        EXPECT_EQ(topLeft.x, 25.0f);
        EXPECT_EQ(topLeft.y, 10.0f);
        EXPECT_EQ(cw - bottomRight.x, 13.0f);
        EXPECT_EQ(ch - bottomRight.y, 20.0f);
        EXPECT_EQ(layout.CurvePixel({0.5f, 0.0f}).y, 10.0f + layout.HalfHeight());  // 0 dB
        // One pixel wide along x in curve units.
        EXPECT_NEAR(layout.CurvePenWidth() * layout.PlotWidth(), 1.0f, 1e-6f);
    }
    EXPECT_FALSE(PlotLayout(38, 200).HasRoom());
    EXPECT_FALSE(PlotLayout(300, 30).HasRoom());
    EXPECT_FALSE(PlotLayout(0, 0).HasRoom());
}

TEST(PlotLayout, DecibelLinesEveryTenDecibelsLabelledAtTheLeftEdge) {
    const PlotLayout layout(390, 194);
    const wchar_t* labels[] = {L"+30", L"+20", L"+10", L"0", L"-10", L"-20", L"-30"};
    for (int row = 0; row < PlotLayout::kDecibelLines; ++row) {
        const GridLine& line = layout.DecibelLine(row);
        const double dB = 30.0 - 10.0 * row;
        EXPECT_STREQ(line.label, labels[row]);
        // In plot coordinates, the row lies where a curve point of that level lands.
        const float expectedY =
            layout.CurvePixel({0.0f, static_cast<float>(dB / 30.0)}).y - PlotLayout::kTopMargin;
        EXPECT_NEAR(line.from.y, expectedY, 1e-4) << dB;
        EXPECT_EQ(line.to.y, line.from.y);
        EXPECT_EQ(line.from.x, 0.0f);
        EXPECT_EQ(line.to.x, layout.PlotWidth());
        // The label ends at the plot's left edge, centred on its line.
        EXPECT_EQ(line.labelAnchor.x, 0.0f);
        EXPECT_EQ(line.labelAnchor.y, line.from.y);
        EXPECT_EQ(line.horizontal, TextAlign::Far);
        EXPECT_EQ(line.vertical, TextAlign::Center);
    }
}

TEST(PlotLayout, FrequencyLinesAtTheirPlacesOnTheLogAxisLabelledBelowThePlot) {
    const PlotLayout layout(584, 362);
    const struct {
        const wchar_t* label;
        double hz;
        TextAlign horizontal;
    } columns[] = {{L"20", 20.0, TextAlign::Near},
                   {L"100", 100.0, TextAlign::Center},
                   {L"1k", 1000.0, TextAlign::Center},
                   {L"10k", 10000.0, TextAlign::Center},
                   {L"20k", 20000.0, TextAlign::Center}};
    const float bottom = 2.0f * layout.HalfHeight();
    for (int column = 0; column < PlotLayout::kFrequencyLines; ++column) {
        const GridLine& line = layout.FrequencyLine(column);
        const double axis = std::log(columns[column].hz / 20.0) / std::log(1000.0);
        EXPECT_STREQ(line.label, columns[column].label);
        EXPECT_NEAR(line.from.x, axis * layout.PlotWidth(), 1e-3) << columns[column].hz;
        EXPECT_EQ(line.to.x, line.from.x);
        EXPECT_EQ(line.from.y, 0.0f);
        EXPECT_EQ(line.to.y, bottom);
        // The label hangs from the plot's bottom edge: starting at 20 Hz, centred on the others.
        EXPECT_EQ(line.labelAnchor.x, line.from.x);
        EXPECT_EQ(line.labelAnchor.y, bottom);
        EXPECT_EQ(line.horizontal, columns[column].horizontal);
        EXPECT_EQ(line.vertical, TextAlign::Near);
    }
}

}  // namespace
}  // namespace lumo::graph
