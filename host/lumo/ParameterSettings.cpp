#include "ParameterSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lumo/host/Text.h"

namespace lumo::cli {
namespace {

using host::HostError;
using host::ToLower;

bool EqualNoCase(const std::string& a, const char* b) {
    return b != nullptr && host::EqualIgnoringCase(a, b);
}

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

int FindByName(const abi::MachineDescription& description, const std::string& name) {
    for (int i = 0; i < description.globalParameterCount; ++i)
        if (EqualNoCase(name, description.parameters[i]->name)) return i;
    return -1;
}

// "0.67", "12": true and the number for a plain decimal (no sign, exponent or hex).
bool ParseDecimal(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

// "1kHz", "1 k", "1000 Hz", "31.5Hz": true and the frequency in Hz. A unit is needed: a bare
// number names a parameter by index.
bool ParseFrequencyHz(const std::string& text, double& hz) {
    const size_t digits = text.find_first_not_of("0123456789.");
    if (digits == 0 || digits == std::string::npos || !ParseDecimal(text.substr(0, digits), hz))
        return false;
    const std::string unit = ToLower(Trim(text.substr(digits)));
    if (unit == "k" || unit == "khz") hz *= 1000.0;
    else if (unit != "hz") return false;
    return hz > 0.0;
}

bool SameFrequency(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(a, b); }

// A band by its frequency as typed: the band names first ("1 kHz"), then the centres in the
// descriptions ("1260 Hz").
int FindByFrequency(const abi::MachineDescription& description, const std::string& name) {
    double typedHz = 0.0;
    if (!ParseFrequencyHz(name, typedHz)) return -1;
    for (int i = 0; i < description.globalParameterCount; ++i) {
        double bandHz = 0.0;
        if (description.parameters[i]->name != nullptr &&
            ParseFrequencyHz(description.parameters[i]->name, bandHz) && SameFrequency(bandHz, typedHz))
            return i;
    }
    for (int i = 0; i < description.globalParameterCount; ++i)
        if (IsBandParameter(description, i) &&
            SameFrequency(BandCentreHz(*description.parameters[i]), typedHz))
            return i;
    return -1;
}

bool ParseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

// "+6dB", "-3.5 dB", "0db": true and the gain when the text is a number followed by dB.
bool ParseDecibels(const std::string& text, double& gainDb) {
    if (text.size() < 3) return false;
    const std::string unit = text.substr(text.size() - 2);
    if (!EqualNoCase(unit, "dB")) return false;
    const std::string number = Trim(text.substr(0, text.size() - 2));
    if (number.empty()) return false;
    char* end = nullptr;
    gainDb = std::strtod(number.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(gainDb);
}

// "0.67oct", "1/3 oct", "2 octaves": true and the width in octaves.
bool ParseOctaves(const std::string& text, double& octaves) {
    const std::string lower = ToLower(text);
    std::string number;
    for (const char* unit : {"octaves", "octave", "oct"}) {
        const size_t length = std::strlen(unit);
        if (lower.size() > length && lower.compare(lower.size() - length, length, unit) == 0) {
            number = Trim(lower.substr(0, lower.size() - length));
            break;
        }
    }
    const size_t slash = number.find('/');
    if (slash == std::string::npos) return ParseDecimal(number, octaves);
    double numerator = 0.0, denominator = 0.0;
    if (!ParseDecimal(Trim(number.substr(0, slash)), numerator) ||
        !ParseDecimal(Trim(number.substr(slash + 1)), denominator) || denominator == 0.0)
        return false;
    octaves = numerator / denominator;
    return true;
}

std::string ParameterNames(const abi::MachineDescription& description) {
    std::string names;
    for (int i = 0; i < description.globalParameterCount; ++i)
        names += std::string(i == 0 ? "" : ", ") + description.parameters[i]->name;
    return names;
}

struct Parsed {
    int index;
    std::string name;
    std::string value;
};

Parsed ParseText(const abi::MachineDescription& description, const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        throw HostError("bad setting '" + text + "': expected NAME=VALUE");
    const std::string name = Trim(text.substr(0, equals));
    const std::string value = Trim(text.substr(equals + 1));
    if (name.empty() || value.empty())
        throw HostError("bad setting '" + text + "': expected NAME=VALUE");
    int index = FindByName(description, name);
    if (index < 0) index = FindByFrequency(description, name);
    long number = 0;
    if (index < 0 && ParseInteger(name, number)) {
        if (number < 0 || number >= description.globalParameterCount)
            throw HostError("no parameter with index " + name + " (0.." +
                            std::to_string(description.globalParameterCount - 1) + ")");
        index = static_cast<int>(number);
    }
    if (index < 0)
        throw HostError("unknown parameter '" + name + "'; the parameters are " +
                        ParameterNames(description));
    return {index, name, value};
}

void CheckRange(const abi::ParameterRecord& record, long raw, const std::string& value) {
    if (raw < record.minimum || raw > record.maximum)
        throw HostError("value " + value + " for " + record.name + " is outside " +
                        std::to_string(record.minimum) + ".." + std::to_string(record.maximum));
}

std::string FormatGain(double gainDb) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f dB", gainDb == 0.0 ? 0.0 : gainDb);
    return text;
}

// The nearest Bandwidth step to a width in octaves, within the record's range.
ParameterSetting OctaveSetting(const abi::ParameterRecord& record, const Parsed& p, double octaves) {
    if (!(octaves > 0.0) || !std::isfinite(octaves))
        throw HostError("value " + p.value + " for " + record.name + " must be above 0 octaves");
    const double steps = octaves * kBandwidthStepsPerOctave;
    long raw = steps < record.minimum ? record.minimum
             : steps > record.maximum ? record.maximum
                                      : std::lround(steps);
    char chosen[32];
    std::snprintf(chosen, sizeof chosen, "%.2f octave", static_cast<double>(raw) / kBandwidthStepsPerOctave);
    std::string note = std::string(record.name) + ": " + p.value + " -> " + std::to_string(raw) +
                       " (" + chosen + ")";
    if (std::fabs(steps - raw) > 0.5)
        note += raw == record.minimum ? ", the narrowest step" : ", the widest step";
    return {p.index, static_cast<int>(raw), note};
}

}  // namespace

bool IsBandParameter(const abi::MachineDescription& description, int index) {
    if (index < 0 || index >= description.globalParameterCount) return false;
    const char* name = description.parameters[index]->name;
    return !EqualNoCase("Range", name) && !EqualNoCase("Bandwidth", name);
}

double BandCentreHz(const abi::ParameterRecord& record) {
    double hz = 0.0;
    return record.description != nullptr && ParseFrequencyHz(record.description, hz) ? hz : 0.0;
}

int FlatSlider(const abi::ParameterRecord& record) { return (record.minimum + record.maximum) / 2; }

std::vector<ParameterSetting> ResolveSettings(const abi::MachineDescription& description,
                                              const std::vector<std::string>& texts) {
    const int rangeIndex = FindByName(description, "Range");
    const int bandwidthIndex = FindByName(description, "Bandwidth");

    std::vector<Parsed> parsed;
    for (const std::string& text : texts) parsed.push_back(ParseText(description, text));

    // Range first: dB values of the bands depend on it.
    std::vector<ParameterSetting> settings;
    int rangeDb = rangeIndex >= 0 ? description.parameters[rangeIndex]->defaultValue : 0;
    for (const Parsed& p : parsed) {
        if (p.index != rangeIndex) continue;
        const abi::ParameterRecord& record = *description.parameters[p.index];
        long raw = 0;
        double gainDb = 0.0;
        if (ParseDecibels(p.value, gainDb)) {
            if (gainDb != std::floor(gainDb))
                throw HostError("value " + p.value + " for Range must be whole decibels");
            raw = static_cast<long>(gainDb);
        } else if (!ParseInteger(p.value, raw)) {
            throw HostError("bad value '" + p.value + "' for Range: expected a number of dB");
        }
        CheckRange(record, raw, p.value);
        rangeDb = static_cast<int>(raw);
        settings.push_back({p.index, static_cast<int>(raw), ""});
    }

    for (const Parsed& p : parsed) {
        if (p.index == rangeIndex) continue;
        const abi::ParameterRecord& record = *description.parameters[p.index];
        long raw = 0;
        double gainDb = 0.0;
        if (ParseInteger(p.value, raw)) {
            CheckRange(record, raw, p.value);
            settings.push_back({p.index, static_cast<int>(raw), ""});
            continue;
        }
        double octaves = 0.0;
        if (p.index == bandwidthIndex && ParseOctaves(p.value, octaves)) {
            settings.push_back(OctaveSetting(record, p, octaves));
            continue;
        }
        const bool isBand = p.index != bandwidthIndex && rangeIndex >= 0;
        if (!isBand || !ParseDecibels(p.value, gainDb)) {
            throw HostError("bad value '" + p.value + "' for " + record.name +
                            (isBand ? ": expected a raw value or a gain such as +6dB"
                             : p.index == bandwidthIndex
                                 ? ": expected a raw value (twelfths of an octave) or octaves "
                                   "such as 0.5oct or 1/3oct"
                                 : ": expected a raw value"));
        }
        // Slider s means Range x (s - centre) / (max - centre) dB, centre being the 0 dB slider.
        const int centre = FlatSlider(record);
        const int halfSpan = record.maximum - centre;
        long slider = centre;
        if (rangeDb > 0 && halfSpan > 0) {
            slider = std::lround(centre + gainDb * halfSpan / rangeDb);
            if (slider < record.minimum) slider = record.minimum;
            if (slider > record.maximum) slider = record.maximum;
        }
        const double chosenDb =
            halfSpan > 0 ? static_cast<double>(rangeDb) * (slider - centre) / halfSpan : 0.0;
        std::string note = std::string(record.name) + ": " + p.value + " -> slider " +
                           std::to_string(slider) + " (" + FormatGain(chosenDb) + ")";
        if (std::fabs(chosenDb - gainDb) > static_cast<double>(rangeDb) / halfSpan)
            note += rangeDb == 0 ? ", Range 0 dB leaves every band flat"
                                 : ", the limit of Range " + std::to_string(rangeDb) + " dB";
        settings.push_back({p.index, static_cast<int>(slider), note});
    }
    return settings;
}

}  // namespace lumo::cli
