#include "lumo/host/ParameterSettings.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lumo/host/PluginLibrary.h"

namespace lumo::host {
namespace {

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool EqualNoCase(const std::string& a, const char* b) {
    if (b == nullptr || a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int FindByName(const abi::MachineDescription& description, const std::string& name) {
    for (int i = 0; i < description.globalParameterCount; ++i)
        if (EqualNoCase(name, description.parameters[i]->name)) return i;
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

}  // namespace

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
        const bool isBand = p.index != bandwidthIndex && rangeIndex >= 0;
        if (!isBand || !ParseDecibels(p.value, gainDb)) {
            throw HostError("bad value '" + p.value + "' for " + record.name +
                            (isBand ? ": expected a raw value or a gain such as +6dB"
                                    : ": expected a raw value"));
        }
        // Slider s means Range x (s - centre) / (max - centre) dB, centre being the 0 dB slider.
        const int centre = (record.minimum + record.maximum) / 2;
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

}  // namespace lumo::host
