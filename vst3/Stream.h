// The host's byte streams (IBStream) for the settings chunk. A stream may move fewer bytes than
// asked for in one call: these loop until all are moved, the stream stops or it fails.
#pragma once

#include <cstdint>

#include "vst3/Interfaces.h"

namespace lumo::vst3 {

// True when all `bytes` were read into `out`.
bool ReadExactly(v3_bstream** stream, std::uint8_t* out, int32_t bytes);

// True when all `bytes` were written.
bool WriteAll(v3_bstream** stream, const std::uint8_t* data, int32_t bytes);

}  // namespace lumo::vst3
