// Initialise: register with the host, configure the scales and lengths, read the saved state.
#include <cstdint>

#include "EqualiserMachine.h"

namespace lumo {
namespace {

constexpr int kSavedStateVersion = 1;

// Reads a signed 16-bit little-endian value into field; bytes the reader does not supply leave
// the field as it was.
void ReadInt16(StateReader* reader, int& field) {
    const uint16_t low16 = static_cast<uint16_t>(field);
    unsigned char bytes[2] = {static_cast<unsigned char>(low16 & 0xFF),
                              static_cast<unsigned char>(low16 >> 8)};
    reader->Read(bytes, 2);
    const uint16_t value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    field = static_cast<int16_t>(value);
}

}  // namespace

void EqualiserMachine::Initialise(StateReader* reader) {
    callbacks->RegisterExtension(&extension);
    hostHandle = callbacks->OwnHandle();

    gainScale.Configure(&Record(kFirstBandParameter), -16.0, 16.0);
    bandwidthScale.Configure(&Record(kBandwidthParameter), 0.08333333333333333, 2.0);
    rangeScale.Configure(&Record(kRangeParameter), 0.0, 32.0);

    const double sampleRate = static_cast<double>(SampleRateHz());
    fadeCounter = 0;
    fadeReset = static_cast<int>(sampleRate * 0.2);
    fadeLength = static_cast<int>(sampleRate * 0.15);
    tailLength = static_cast<int>(sampleRate * 0.2);

    for (int band = 0; band < kBandCount; ++band) {
        bandFlat[band] = 1;
        bandTail[band] = 0;
    }

    curvePoints[0] = {0.0f, 0.0f};
    curvePointCount = kCurvePointCount;
    graphHiddenByHost = false;
    curveDirty = true;
    windowX = 0;
    windowY = 0;
    windowWidth = 406;
    windowHeight = 232;
    graphOpen = false;

    if (reader != nullptr) {
        // The reader leaves bytes it cannot supply untouched, so a short state keeps the
        // defaults of the fields it does not reach.
        unsigned char version = 0;
        reader->Read(&version, 1);
        if (version == kSavedStateVersion) {
            ReadInt16(reader, windowX);
            ReadInt16(reader, windowY);
            ReadInt16(reader, windowWidth);
            ReadInt16(reader, windowHeight);
            unsigned char open = graphOpen ? 1 : 0;
            reader->Read(&open, 1);
            graphOpen = open != 0;
        }
    }

    if (graphOpen) OpenGraphWindow();
}

}  // namespace lumo
