#include "product/Controls.h"

#include <cctype>
#include <cmath>

namespace lumo::product {
namespace {

constexpr int kTwelfthsPerOctave = 12;
constexpr int kBandStepsEachWay = engine::kSliderCentre;  // the slider ends are +-Range

float Clamp(float value, float low, float high) { return value < low ? low : value > high ? high : value; }

int Gcd(int a, int b) { return b == 0 ? a : Gcd(b, a % b); }

}  // namespace

ControlRange ControlRangeOf(const Parameter& p) {
    return {static_cast<float>(ControlValueOfRaw(p, p.minimum)),
            static_cast<float>(ControlValueOfRaw(p, p.maximum)),
            static_cast<float>(ControlValueOfRaw(p, p.defaultValue)), p.maximum - p.minimum};
}

bool RawOfControlValue(const Parameter& p, float value, int& raw) {
    if (!std::isfinite(value)) return false;
    const float low = static_cast<float>(p.minimum), high = static_cast<float>(p.maximum);
    switch (p.kind) {
    case ParameterKind::Range:
        raw = static_cast<int>(std::lround(Clamp(value, low, high)));
        break;
    case ParameterKind::Bandwidth:
        raw = static_cast<int>(std::lround(Clamp(value * static_cast<float>(kTwelfthsPerOctave), low, high)));
        break;
    case ParameterKind::BandGain: {
        const float steps = static_cast<float>(kBandStepsEachWay);
        raw = static_cast<int>(std::lround(Clamp(value, -steps, steps))) + engine::kSliderCentre;
        break;
    }
    }
    return true;
}

double ControlValueOfRaw(const Parameter& p, int raw) {
    switch (p.kind) {
    case ParameterKind::Range: return raw;
    case ParameterKind::Bandwidth: return raw / static_cast<double>(kTwelfthsPerOctave);
    case ParameterKind::BandGain: return raw - engine::kSliderCentre;
    }
    return raw;
}

const char* ControlUnit(const Parameter& p) {
    return p.kind == ParameterKind::Range ? "dB" : p.kind == ParameterKind::Bandwidth ? "oct" : "";
}

std::string ControlSymbol(const Parameter& p) {
    if (p.kind == ParameterKind::Range) return "range";
    if (p.kind == ParameterKind::Bandwidth) return "bandwidth";
    std::string symbol = "band_";
    for (const char* c = p.name; *c != '\0'; ++c) {
        if (*c == ' ') continue;
        symbol += *c == '.' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return symbol;
}

std::string BandwidthFractionLabel(int twelfths) {
    const int whole = twelfths / kTwelfthsPerOctave;
    const int rest = twelfths % kTwelfthsPerOctave;
    std::string label;
    if (whole > 0) label = std::to_string(whole);
    if (rest > 0) {
        const int g = Gcd(rest, kTwelfthsPerOctave);
        if (!label.empty()) label += ' ';
        label += std::to_string(rest / g) + "/" + std::to_string(kTwelfthsPerOctave / g);
    }
    return label + " oct";
}

}  // namespace lumo::product
