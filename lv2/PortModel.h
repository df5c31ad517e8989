// The plug-ins' ports, shared by the plug-in and the Turtle generator so that both read one
// definition: the port indices, each control's range and default in the units the port shows,
// and the exact map from a port value onto the machine's raw parameter value.
//
//   port 0, 1   audio in, left and right (group "in")
//   port 2, 3   audio out, left and right (group "out")
//   port 4      Range, dB, 0..32 whole dB                   raw = value
//   port 5      Bandwidth, octaves, 1/12..2 in 1/12 steps   raw = value x 12 (twelfths)
//   port 6 + i  band i, steps of Range/64, -64..+64, 0 flat raw = value + 64 (the slider)
//
// A port value is clamped to its range and rounded to the nearest step, as the machine clamps its
// raw bytes; a value that is not finite brings nothing (the last good value stays).
#pragma once

#include <string>

#include "engine/Parameters.h"

namespace lumo {
struct Deliverable;
}

namespace lumo::lv2 {

constexpr int kInLeftPort = 0;
constexpr int kInRightPort = 1;
constexpr int kOutLeftPort = 2;
constexpr int kOutRightPort = 3;
constexpr int kRangePort = 4;
constexpr int kBandwidthPort = 5;
constexpr int kFirstBandPort = 6;  // band i is port 6 + i

// Controls in the machine's parameter order: Range, Bandwidth, then the bands.
constexpr int kFirstControlPort = kRangePort;
constexpr int kBandStepsEachWay = engine::kSliderCentre;  // 64: the slider ends are +-Range

int PortCount(const Deliverable& d);

// A control port's range and default in port units.
struct ControlRange {
    float minimum;
    float maximum;
    float defaultValue;
};
ControlRange RangeOfControl(const Deliverable& d, int port);

// The machine's raw value for a control port's value; false (and `raw` untouched) for a value
// that is not finite. Allocates nothing.
bool RawValue(int port, float value, int& raw);

// The port value that stands for a raw value (the inverse of RawValue on the steps).
double PortValueOfRaw(int port, int raw);

// Names (for the Turtle generator and the tests).
std::string BandSymbol(const char* bandName);  // "1.25 kHz" -> "band_1_25khz"
std::string BandwidthLabel(int twelfths);      // 8 -> "2/3 oct", 13 -> "1 1/12 oct"

}  // namespace lumo::lv2
