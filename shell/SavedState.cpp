// Reading and writing the 10 bytes a song keeps of a machine (layout in lumo/abi/SavedState.h).
#include "shell/SavedState.h"

#include <lumo/abi/GraphWindow.h>
#include <lumo/abi/SavedState.h>

#include <cstdint>

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

SavedState ReadSavedState(abi::StateReader* reader) {
    SavedState state = {{abi::kGraphWindowDefaultX, abi::kGraphWindowDefaultY,
                         abi::kGraphWindowDefaultWidth, abi::kGraphWindowDefaultHeight},
                        false};
    if (reader == nullptr) return state;
    // A state of another version is not read further: the defaults stay.
    unsigned char version = 0;
    reader->Read(&version, 1);
    if (version != abi::kSavedStateVersion) return state;
    ReadInt16(reader, state.geometry.x);
    ReadInt16(reader, state.geometry.y);
    ReadInt16(reader, state.geometry.width);
    ReadInt16(reader, state.geometry.height);
    unsigned char openByte = 0;
    reader->Read(&openByte, 1);
    state.open = openByte != 0;
    return state;
}

void WriteSavedState(abi::StateWriter* writer, const SavedState& state) {
    writer->Write(&abi::kSavedStateVersion, 1);
    WriteInt16(writer, state.geometry.x);
    WriteInt16(writer, state.geometry.y);
    WriteInt16(writer, state.geometry.width);
    WriteInt16(writer, state.geometry.height);
    const unsigned char open = state.open ? 1 : 0;
    writer->Write(&open, 1);
}

}  // namespace lumo
