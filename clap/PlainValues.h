// The parameters as CLAP plain values, each a whole number (CLAP_PARAM_IS_STEPPED):
//
//   Range       0..32    dB                          raw = value
//   Bandwidth   1..24    twelfths of an octave       raw = value
//   band i      -64..64  steps of Range/64, 0 flat   raw = value + 64 (the slider)
//
// A value from a host is clamped to its range and taken to the nearest step (a host's 11.9999
// for 12 is 12); a value that is not finite brings nothing.
#pragma once

#include "product/Parameters.h"

namespace lumo::clap {

double PlainOfRaw(const product::Parameter& parameter, int raw);

// False (and `raw` untouched) when `plain` is not finite. Allocates nothing.
bool RawOfPlain(const product::Parameter& parameter, double plain, int& raw);

}  // namespace lumo::clap
