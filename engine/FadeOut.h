// The linear fade over the last part of the output that follows the end of the input.
#pragma once

namespace lumo::engine {

// counter: frames of output still to come. A block that starts with counter below fadeLength is
// scaled frame by frame by max(counter, 0) / fadeLength while counter counts down by one per
// frame; a block that starts at or above fadeLength keeps its level and counter drops by n.
void FadeOut(float* frames, int n, int& counter, int fadeLength);

}  // namespace lumo::engine
