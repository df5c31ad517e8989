// SaveState: the 10-byte state a song keeps for each machine.
#include <cstdint>

#include "EqualiserMachine.h"

namespace lumo {
namespace {

void WriteInt16(StateWriter* writer, int value) {
    const uint16_t low16 = static_cast<uint16_t>(value);
    const unsigned char bytes[2] = {static_cast<unsigned char>(low16 & 0xFF),
                                    static_cast<unsigned char>(low16 >> 8)};
    writer->Write(bytes, 2);
}

}  // namespace

void EqualiserMachine::SaveState(StateWriter* writer) {
    const unsigned char version = 1;
    writer->Write(&version, 1);
    WriteInt16(writer, windowX);
    WriteInt16(writer, windowY);
    WriteInt16(writer, windowWidth);
    WriteInt16(writer, windowHeight);
    const unsigned char open = graphOpen ? 1 : 0;
    writer->Write(&open, 1);
}

}  // namespace lumo
