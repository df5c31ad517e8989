// The parameters as controls in a plug-in host's units (LV2 ports, VST3 and CLAP parameters):
//
//   Range       0..32 dB, whole dB                          raw = value
//   Bandwidth   1/12..2 octaves in 24 steps of 1/12          raw = value x 12 (twelfths)
//   band i      -64..+64 steps of Range/64, 0 flat           raw = value + 64 (the slider)
//
// A control value is clamped to its range and rounded to the nearest step, as the machine clamps
// its raw values; a value that is not finite brings nothing.
#pragma once

#include <string>

#include "product/Parameters.h"

namespace lumo::product {

struct ControlRange {
    float minimum;
    float maximum;
    float defaultValue;
    int steps;  // maximum - minimum in steps: 32, 23, 128
};
ControlRange ControlRangeOf(const Parameter& parameter);

// The raw value for a control value; false (and `raw` untouched) when the value is not finite.
// Computed in float, as the LV2 ports carry it. Allocates nothing.
bool RawOfControlValue(const Parameter& parameter, float value, int& raw);

// The control value that stands for a raw value (the inverse of RawOfControlValue on the steps).
double ControlValueOfRaw(const Parameter& parameter, int raw);

// The control's unit as hosts label it: "dB", "oct", "" for a band's steps.
const char* ControlUnit(const Parameter& parameter);

// A stable identifier made of the name: "range", "bandwidth", "band_1_25khz" ("1.25 kHz").
std::string ControlSymbol(const Parameter& parameter);

// Bandwidth steps as fractions of an octave: 8 -> "2/3 oct", 13 -> "1 1/12 oct".
std::string BandwidthFractionLabel(int twelfths);

}  // namespace lumo::product
