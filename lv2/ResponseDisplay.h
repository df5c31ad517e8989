// The picture for Ardour's mixer strip: the combined response from the engine's published
// coefficients, laid out by the graph's PlotLayout with its label margins left off (the strip has
// no room for labels), drawn with cairo. Runs on the host's display thread, never on the audio
// thread; it is the published coefficients' only reader.
#pragma once

#include <vector>

#include "engine/CoefficientSnapshot.h"
#include "lv2/InlineDisplay.h"

namespace lumo::lv2 {

// Draws the grid and the response of `bands` at `sampleRateHz` into an ARGB32 image.
void DrawResponse(const engine::CoefficientSnapshot& bands, int sampleRateHz, unsigned char* data,
                  int width, int height, int stride);

// The height the picture takes for a strip `width` wide with at most `maxHeight` of room.
int PictureHeight(int width, int maxHeight);

class ResponseDisplay {
public:
    // Draws again only when the coefficients or the size changed since the last picture.
    LV2_Inline_Display_Image_Surface* Render(const engine::CoefficientSnapshot& bands,
                                             int sampleRateHz, unsigned width, unsigned maxHeight);

private:
    std::vector<unsigned char> pixels_;
    LV2_Inline_Display_Image_Surface surface_ = {nullptr, 0, 0, 0};
    engine::CoefficientSnapshot drawn_;
    bool haveDrawn_ = false;
};

}  // namespace lumo::lv2
