#include "ParameterSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lumo/host/Text.h"
#include "product/Deliverables.h"
#include "product/ValueParsing.h"

namespace lumo::cli {
namespace {

using host::HostError;
using host::ToLower;

bool EqualNoCase(const std::string& a, const char* b) {
    return b != nullptr && host::EqualIgnoringCase(a, b);
}

std::string Trim(const std::string& text) { return product::TrimmedText(text); }

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
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && errno == 0 && end != nullptr && *end == '\0';
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

// A value as the product layer reads it (raw, or in dB or octaves with a note).
ParameterSetting ValueSetting(const product::Deliverable& machine, const Parsed& p, int rangeDb) {
    product::ValueFromText value;
    std::string error;
    if (!product::ParseValueText(product::ParameterAt(machine, p.index), p.value, rangeDb,
                                 product::BareNumber::Raw, value, error))
        throw HostError(error);
    return {p.index, value.raw, value.note};
}

// Another machine's parameter: a raw value within its record's range.
ParameterSetting RawSetting(const abi::ParameterRecord& record, const Parsed& p) {
    long raw = 0;
    if (!ParseInteger(p.value, raw))
        throw HostError("bad value '" + p.value + "' for " + record.name + ": expected a raw value");
    if (raw < record.minimum || raw > record.maximum)
        throw HostError("value " + p.value + " for " + record.name + " is outside " +
                        std::to_string(record.minimum) + ".." + std::to_string(record.maximum));
    return {p.index, static_cast<int>(raw), ""};
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
    std::vector<Parsed> parsed;
    for (const std::string& text : texts) parsed.push_back(ParseText(description, text));

    // Range first: the bands' values in dB are taken at the Range in force.
    const product::Deliverable* machine = product::FindDeliverable(description.fullName);
    int rangeDb = machine != nullptr ? product::ParameterAt(*machine, product::kRangeParameter).defaultValue : 0;
    std::vector<ParameterSetting> settings;
    for (const bool rangePass : {true, false}) {
        for (const Parsed& p : parsed) {
            if ((p.index == product::kRangeParameter) != rangePass) continue;
            settings.push_back(machine != nullptr ? ValueSetting(*machine, p, rangeDb)
                                                  : RawSetting(*description.parameters[p.index], p));
            if (rangePass) rangeDb = settings.back().raw;
        }
    }
    return settings;
}

}  // namespace lumo::cli
