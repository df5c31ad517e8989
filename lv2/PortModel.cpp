#include "lv2/PortModel.h"

#include <cctype>
#include <cmath>

#include "shell/Deliverable.h"

namespace lumo::lv2 {
namespace {

float Clamp(float value, float low, float high) { return value < low ? low : value > high ? high : value; }

int Gcd(int a, int b) { return b == 0 ? a : Gcd(b, a % b); }

}  // namespace

int PortCount(const Deliverable& d) { return kFirstBandPort + d.layout.bandCount; }

ControlRange RangeOfControl(const Deliverable& d, int port) {
    if (port == kRangePort)
        return {static_cast<float>(engine::kRangeMinimumDb), static_cast<float>(engine::kRangeMaximumDb),
                static_cast<float>(engine::kRangeDefaultDb)};
    if (port == kBandwidthPort)
        return {static_cast<float>(PortValueOfRaw(port, engine::kBandwidthMinimumTwelfths)),
                static_cast<float>(PortValueOfRaw(port, engine::kBandwidthMaximumTwelfths)),
                static_cast<float>(PortValueOfRaw(port, d.defaultBandwidthTwelfths))};
    return {-static_cast<float>(kBandStepsEachWay), static_cast<float>(kBandStepsEachWay), 0.0f};
}

bool RawValue(int port, float value, int& raw) {
    if (!std::isfinite(value)) return false;
    if (port == kRangePort) {
        raw = static_cast<int>(std::lround(
            Clamp(value, static_cast<float>(engine::kRangeMinimumDb), static_cast<float>(engine::kRangeMaximumDb))));
    } else if (port == kBandwidthPort) {
        raw = static_cast<int>(std::lround(Clamp(value * 12.0f, static_cast<float>(engine::kBandwidthMinimumTwelfths),
                                                 static_cast<float>(engine::kBandwidthMaximumTwelfths))));
    } else {
        const float steps = static_cast<float>(kBandStepsEachWay);
        raw = static_cast<int>(std::lround(Clamp(value, -steps, steps))) + engine::kSliderCentre;
    }
    return true;
}

double PortValueOfRaw(int port, int raw) {
    if (port == kRangePort) return raw;
    if (port == kBandwidthPort) return raw / 12.0;
    return raw - engine::kSliderCentre;
}

std::string BandSymbol(const char* bandName) {
    std::string symbol = "band_";
    for (const char* c = bandName; *c != '\0'; ++c) {
        if (*c == ' ') continue;
        symbol += *c == '.' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return symbol;
}

std::string BandwidthLabel(int twelfths) {
    const int whole = twelfths / 12;
    const int rest = twelfths % 12;
    std::string label;
    if (whole > 0) label = std::to_string(whole);
    if (rest > 0) {
        const int g = Gcd(rest, 12);
        if (!label.empty()) label += ' ';
        label += std::to_string(rest / g) + "/" + std::to_string(12 / g);
    }
    return label + " oct";
}

}  // namespace lumo::lv2
