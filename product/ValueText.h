// The machine's value texts, as the Buzz host shows them and every other face too: "16.0 dB",
// "0.67 octave", a band's gain in dB at the Range in force, with one decimal more than a step
// needs. Writes into the caller's buffer; allocates nothing.
#pragma once

#include <cstddef>

#include "product/Parameters.h"

namespace lumo::product {

// The Range the band texts follow before any Range value has reached the machine: the band
// gains then span the engine's initial ends.
constexpr int kNoRangeYet = -1;

// The text of `raw` (any int, not only the parameter's range) with the bands' gains at rangeDb
// (or kNoRangeYet); always NUL-terminated when size > 0.
void FormatValueText(const Parameter& parameter, int raw, int rangeDb, char* text, std::size_t size);

// A band slider's gain in dB at rangeDb (or kNoRangeYet), as the engine designs it.
double BandGainDb(int slider, int rangeDb);

}  // namespace lumo::product
