// A parameter as VST3 hosts see it: its ID is its index in the machine's order (stable), its
// normalised value (raw - minimum) / (maximum - minimum) with a step per raw value, its plain
// value the control value of product/Controls.h (Range in dB, Bandwidth in octaves, a band in
// steps of Range/64 from -64 to +64).
#pragma once

#include "product/Parameters.h"
#include "vst3/Interfaces.h"

namespace lumo::vst3 {

// The nearest raw value, clamped to the range; false (raw untouched) for a value not finite.
bool RawOfNormalised(const product::Parameter& parameter, double normalised, int& raw);
double NormalisedOfRaw(const product::Parameter& parameter, int raw);

// Plain (control) values and normalised ones, on the steps. A value that is not finite gives the
// parameter's default.
double PlainOfNormalised(const product::Parameter& parameter, double normalised);
double NormalisedOfPlain(const product::Parameter& parameter, double plain);

// ID, title (the parameter's name), units, steps, default, automatable.
void DescribeParameter(const product::Parameter& parameter, int index, v3_param_info& info);

}  // namespace lumo::vst3
