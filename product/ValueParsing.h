// Typed text to a raw value: what `lumo --set` accepts and what a host's parameter field takes
// back. Range in whole dB ("12", "12dB", "16.0 dB"); Bandwidth in octaves ("0.67oct",
// "1/3 oct", "0.67 octave": the nearest step); a band's gain in dB ("+6dB", "-3.5 dB", "6.0 dB":
// the nearest slider at the Range in force). A note says what a value in dB or octaves became.
#pragma once

#include <string>

#include "product/Parameters.h"

namespace lumo::product {

// What a number without a unit means: a raw value (lumo, where "Bandwidth=8" counts twelfths
// and "1 kHz=96" is a slider), or a value in the parameter's unit (hosts' fields, where "6" on
// a band is 6 dB and "0.5" on Bandwidth half an octave).
enum class BareNumber { Raw, InUnits };

struct ValueFromText {
    int raw = 0;
    std::string note;  // "1 kHz: +6dB -> slider 88 (+6.00 dB)"; empty for a raw value
};

// A gain in dB is taken at rangeDb, the Range in force. True and `value` for an accepted text
// (surrounding spaces ignored); false and a one-line `error` naming the value and the parameter
// otherwise. Raw values outside the parameter's range are refused; values in dB or octaves
// beyond the ends take the nearest end, and the note says so.
bool ParseValueText(const Parameter& parameter, const std::string& text, int rangeDb,
                    BareNumber bare, ValueFromText& value, std::string& error);

// Leading and trailing white space removed.
std::string TrimmedText(const std::string& text);

}  // namespace lumo::product
