// The generic sans-serif family, fetched once per module and shared by every machine's painter.
#pragma once

#include "graph-window/Gdiplus.h"

namespace lumo::graph {
using namespace gdip;  // the flat interface's names: gdiplus.dll's or the stand-in's

struct FontFamilyRecord {
    GpFontFamily* family;
    GpStatus status;  // of the fetch; a failed fetch is not retried
};

// Fetches the family on the first call, from whichever thread paints first; never released.
const FontFamilyRecord& SansSerifFamily();

}  // namespace lumo::graph
