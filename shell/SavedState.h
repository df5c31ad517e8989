// The 10 bytes a song keeps of a machine (layout in lumo/abi/SavedState.h): the graph window's
// geometry and whether it is open.
#pragma once

#include <lumo/abi/Machine.h>

#include "graph-window/GraphView.h"

namespace lumo {

struct SavedState {
    graph::WindowGeometry geometry;
    bool open;
};

// The state the reader holds; the defaults (the default geometry, closed) for a null reader or a
// state of another version, and the fields as they were for bytes the reader does not supply.
SavedState ReadSavedState(abi::StateReader* reader);

// Writes the state as six Write calls.
void WriteSavedState(abi::StateWriter* writer, const SavedState& state);

}  // namespace lumo
