#include "product/ValueParsing.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumo::product {
namespace {

constexpr int kTwelfthsPerOctave = 12;  // Bandwidth's raw steps

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "0.67", "12": true and the number for a plain decimal (no sign, exponent or hex).
bool ParseDecimal(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

bool ParseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

// "-3.5": true and the number for a finite decimal with an optional sign.
bool ParseSignedNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(value);
}

// "+6dB", "-3.5 dB", "0db": true and the gain when the text is a number followed by dB.
bool ParseDecibels(const std::string& text, double& gainDb) {
    if (text.size() < 3 || Lower(text.substr(text.size() - 2)) != "db") return false;
    return ParseSignedNumber(TrimmedText(text.substr(0, text.size() - 2)), gainDb);
}

// "0.67oct", "1/3 oct", "2 octaves": true and the width in octaves. With unitOptional, a plain
// "0.5" or "1/3" too.
bool ParseOctaves(const std::string& text, double& octaves, bool unitOptional) {
    const std::string lower = Lower(text);
    std::string number = unitOptional ? lower : std::string();
    for (const char* unit : {"octaves", "octave", "oct"}) {
        const size_t length = std::strlen(unit);
        if (lower.size() > length && lower.compare(lower.size() - length, length, unit) == 0) {
            number = TrimmedText(lower.substr(0, lower.size() - length));
            break;
        }
    }
    const size_t slash = number.find('/');
    if (slash == std::string::npos) return ParseDecimal(number, octaves);
    double numerator = 0.0, denominator = 0.0;
    if (!ParseDecimal(TrimmedText(number.substr(0, slash)), numerator) ||
        !ParseDecimal(TrimmedText(number.substr(slash + 1)), denominator) || denominator == 0.0)
        return false;
    octaves = numerator / denominator;
    return true;
}

std::string FormatGain(double gainDb) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f dB", gainDb == 0.0 ? 0.0 : gainDb);
    return text;
}

bool RawWithinRange(const Parameter& p, long raw, const std::string& text, ValueFromText& value,
                    std::string& error) {
    if (raw < p.minimum || raw > p.maximum) {
        error = "value " + text + " for " + p.name + " is outside " + std::to_string(p.minimum) +
                ".." + std::to_string(p.maximum);
        return false;
    }
    value = {static_cast<int>(raw), ""};
    return true;
}

bool RangeFromText(const Parameter& p, const std::string& text, bool inUnits, ValueFromText& value,
                   std::string& error) {
    long raw = 0;
    double gainDb = 0.0;
    if (ParseDecibels(text, gainDb) || (inUnits && ParseSignedNumber(text, gainDb))) {
        if (gainDb != std::floor(gainDb)) {
            error = "value " + text + " for Range must be whole decibels";
            return false;
        }
        raw = static_cast<long>(gainDb);
    } else if (!ParseInteger(text, raw)) {
        error = "bad value '" + text + "' for Range: expected a number of dB";
        return false;
    }
    return RawWithinRange(p, raw, text, value, error);
}

// The nearest step to a width in octaves, within the parameter's range.
bool BandwidthFromOctaves(const Parameter& p, const std::string& text, double octaves,
                          ValueFromText& value, std::string& error) {
    if (!(octaves > 0.0) || !std::isfinite(octaves)) {
        error = "value " + text + " for " + p.name + " must be above 0 octaves";
        return false;
    }
    const double steps = octaves * kTwelfthsPerOctave;
    const long raw = steps < p.minimum ? p.minimum : steps > p.maximum ? p.maximum : std::lround(steps);
    char chosen[32];
    std::snprintf(chosen, sizeof chosen, "%.2f octave", static_cast<double>(raw) / kTwelfthsPerOctave);
    value.raw = static_cast<int>(raw);
    value.note = std::string(p.name) + ": " + text + " -> " + std::to_string(raw) + " (" + chosen + ")";
    if (std::fabs(steps - raw) > 0.5) value.note += raw == p.minimum ? ", the narrowest step" : ", the widest step";
    return true;
}

// The nearest slider to a gain in dB at rangeDb: slider s means Range x (s - 64) / 64 dB.
ValueFromText SliderFromGain(const Parameter& p, const std::string& text, double gainDb, int rangeDb) {
    const int centre = engine::kSliderCentre;
    const int halfSpan = p.maximum - centre;
    long slider = centre;
    if (rangeDb > 0) {
        slider = std::lround(centre + gainDb * halfSpan / rangeDb);
        slider = slider < p.minimum ? p.minimum : slider > p.maximum ? p.maximum : slider;
    }
    const double chosenDb = static_cast<double>(rangeDb) * (slider - centre) / halfSpan;
    ValueFromText value{static_cast<int>(slider), std::string(p.name) + ": " + text + " -> slider " +
                                                      std::to_string(slider) + " (" + FormatGain(chosenDb) + ")"};
    if (std::fabs(chosenDb - gainDb) > static_cast<double>(rangeDb) / halfSpan)
        value.note += rangeDb == 0 ? ", Range 0 dB leaves every band flat"
                                   : ", the limit of Range " + std::to_string(rangeDb) + " dB";
    return value;
}

}  // namespace

std::string TrimmedText(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool ParseValueText(const Parameter& p, const std::string& typed, int rangeDb, BareNumber bare,
                    ValueFromText& value, std::string& error) {
    const std::string text = TrimmedText(typed);
    const bool inUnits = bare == BareNumber::InUnits;
    if (p.kind == ParameterKind::Range) return RangeFromText(p, text, inUnits, value, error);
    long raw = 0;
    if (!inUnits && ParseInteger(text, raw)) return RawWithinRange(p, raw, text, value, error);
    double number = 0.0;
    if (p.kind == ParameterKind::Bandwidth) {
        if (ParseOctaves(text, number, inUnits)) return BandwidthFromOctaves(p, text, number, value, error);
        error = "bad value '" + text + "' for " + p.name +
                ": expected a raw value (twelfths of an octave) or octaves such as 0.5oct or 1/3oct";
        return false;
    }
    if (ParseDecibels(text, number) || (inUnits && ParseSignedNumber(text, number))) {
        value = SliderFromGain(p, text, number, rangeDb);
        return true;
    }
    error = "bad value '" + text + "' for " + p.name + ": expected a raw value or a gain such as +6dB";
    return false;
}

}  // namespace lumo::product
