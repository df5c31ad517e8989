#include "vst3/Stream.h"

namespace lumo::vst3 {

bool ReadExactly(v3_bstream** stream, std::uint8_t* out, int32_t bytes) {
    int32_t done = 0;
    while (done < bytes) {
        int32_t moved = 0;
        if (TableOf(stream).read(stream, out + done, bytes - done, &moved) != kResultOk || moved <= 0 ||
            moved > bytes - done)
            return false;
        done += moved;
    }
    return true;
}

bool WriteAll(v3_bstream** stream, const std::uint8_t* data, int32_t bytes) {
    int32_t done = 0;
    while (done < bytes) {
        int32_t moved = 0;
        // The interface takes a non-const buffer; a stream only reads from it.
        if (TableOf(stream).write(stream, const_cast<std::uint8_t*>(data) + done, bytes - done, &moved) !=
                kResultOk ||
            moved <= 0 || moved > bytes - done)
            return false;
        done += moved;
    }
    return true;
}

}  // namespace lumo::vst3
