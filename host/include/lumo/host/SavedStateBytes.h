// The objects a host hands a machine for its saved state: a writer that collects what SaveState
// writes, and a reader that hands out stored bytes to Initialise. The reference host, lumo and
// every test host use these two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include <lumo/abi/HostCallbacks.h>

namespace lumo::host {

class SavedStateWriter final : public abi::StateWriter {
public:
    // Machine, UI thread, inside SaveState: appends byteCount bytes (none when byteCount <= 0).
    void Write(const void* source, int byteCount) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

class SavedStateReader final : public abi::StateReader {
public:
    explicit SavedStateReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Machine, UI thread, inside Initialise: copies the next byteCount bytes; past the end, the
    // bytes that are left, leaving the rest of the destination untouched.
    void Read(void* destination, int byteCount) override;

    size_t BytesLeft() const { return bytes_.size() - position_; }

private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace lumo::host
