// Initialise and SaveState: the machine's start in a song, and the 10 bytes the song keeps of it
// (layout in lumo/abi/SavedState.h).
#include <lumo/abi/GraphWindow.h>
#include <lumo/abi/SavedState.h>

#include <cstdint>

#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

// A signed 16-bit little-endian value into field; bytes the reader does not supply leave the
// field as it was.
void ReadInt16(abi::StateReader* reader, int& field) {
    const uint16_t low16 = static_cast<uint16_t>(field);
    unsigned char bytes[2] = {static_cast<unsigned char>(low16 & 0xFF),
                              static_cast<unsigned char>(low16 >> 8)};
    reader->Read(bytes, 2);
    field = static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
}

void WriteInt16(abi::StateWriter* writer, int value) {
    const uint16_t low16 = static_cast<uint16_t>(value);
    const unsigned char bytes[2] = {static_cast<unsigned char>(low16 & 0xFF),
                                    static_cast<unsigned char>(low16 >> 8)};
    writer->Write(bytes, 2);
}

}  // namespace

void EqualiserMachine::Initialise(abi::StateReader* reader) {
    if (callbacks != nullptr) {
        abi::RegisterExtension::Call(callbacks, &extension_);
        hostHandle_ = abi::OwnHandle::Call(callbacks);
    }
    engine_.Initialise(SampleRateHz());
    textRangeDb_.store(kInitialSpan, std::memory_order_relaxed);

    graph::WindowGeometry geometry = {abi::kGraphWindowDefaultX, abi::kGraphWindowDefaultY,
                                      abi::kGraphWindowDefaultWidth, abi::kGraphWindowDefaultHeight};
    bool open = false;
    if (reader != nullptr) {
        // A state of another version is not read further: the defaults stay.
        unsigned char version = 0;
        reader->Read(&version, 1);
        if (version == abi::kSavedStateVersion) {
            ReadInt16(reader, geometry.x);
            ReadInt16(reader, geometry.y);
            ReadInt16(reader, geometry.width);
            ReadInt16(reader, geometry.height);
            unsigned char openByte = 0;
            reader->Read(&openByte, 1);
            open = openByte != 0;
        }
    }
    // Reopens the window when it was saved open; the curve follows at the next parameter call.
    graph_.Initialise(geometry, open);
}

void EqualiserMachine::SaveState(abi::StateWriter* writer) {
    // The geometry the window procedure keeps current; a window the host's hide request closed
    // is saved as closed.
    const graph::WindowGeometry geometry = graph_.Geometry();
    writer->Write(&abi::kSavedStateVersion, 1);
    WriteInt16(writer, geometry.x);
    WriteInt16(writer, geometry.y);
    WriteInt16(writer, geometry.width);
    WriteInt16(writer, geometry.height);
    const unsigned char open = graph_.IsOpen() ? 1 : 0;
    writer->Write(&open, 1);
}

}  // namespace lumo
