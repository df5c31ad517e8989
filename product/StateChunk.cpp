#include "product/StateChunk.h"

#include <cstring>

namespace lumo::product {
namespace {

constexpr char kMagic[4] = {'T', 'L', 'u', 'm'};
constexpr std::uint8_t kVersion = 1;

}  // namespace

std::size_t WriteStateChunk(const Deliverable& d, const int* raw, std::uint8_t* out) {
    const int count = ParameterCount(d);
    std::memcpy(out, kMagic, sizeof kMagic);
    out[4] = kVersion;
    out[5] = static_cast<std::uint8_t>(d.layout.bandCount);
    out[6] = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) out[kStateChunkHeaderBytes + i] = static_cast<std::uint8_t>(raw[i]);
    return kStateChunkHeaderBytes + static_cast<std::size_t>(count);
}

bool ReadStateChunk(const Deliverable& d, const std::uint8_t* chunk, std::size_t bytes, int* raw) {
    const int count = ParameterCount(d);
    if (chunk == nullptr || bytes != kStateChunkHeaderBytes + static_cast<std::size_t>(count)) return false;
    if (std::memcmp(chunk, kMagic, sizeof kMagic) != 0 || chunk[4] != kVersion ||
        chunk[5] != d.layout.bandCount || chunk[6] != count)
        return false;
    const std::uint8_t* values = chunk + kStateChunkHeaderBytes;
    for (int i = 0; i < count; ++i) {
        const Parameter p = ParameterAt(d, i);
        if (values[i] < p.minimum || values[i] > p.maximum) return false;
    }
    for (int i = 0; i < count; ++i) raw[i] = values[i];
    return true;
}

}  // namespace lumo::product
