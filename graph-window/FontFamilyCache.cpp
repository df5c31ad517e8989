#include "graph-window/FontFamilyCache.h"

namespace lumo::graph {

const FontFamilyRecord& SansSerifFamily() {
    // A function-local static is initialised once even when several threads paint first.
    static const FontFamilyRecord record = [] {
        FontFamilyRecord fetched = {nullptr, Ok};
        fetched.status = GdipGetGenericFontFamilySansSerif(&fetched.family);
        return fetched;
    }();
    return record;
}

}  // namespace lumo::graph
