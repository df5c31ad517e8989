#include "lumo/host/SavedStateBytes.h"

#include <algorithm>
#include <cstring>

namespace lumo::host {

void SavedStateWriter::Write(const void* source, int byteCount) {
    if (byteCount <= 0 || source == nullptr) return;
    const auto* bytes = static_cast<const uint8_t*>(source);
    bytes_.insert(bytes_.end(), bytes, bytes + byteCount);
}

void SavedStateReader::Read(void* destination, int byteCount) {
    if (byteCount <= 0 || destination == nullptr) return;
    const size_t count = std::min(BytesLeft(), static_cast<size_t>(byteCount));
    if (count > 0) std::memcpy(destination, bytes_.data() + position_, count);
    position_ += count;
}

}  // namespace lumo::host
