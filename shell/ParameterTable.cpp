// The deliverable's parameter records and machine description, built from its layout.
#include <array>

#include "EqualiserMachine.h"

namespace lumo {
namespace {

constexpr ParameterRecord MakeRecord(const char* name, const char* description, int minimum,
                                     int maximum, int defaultValue) {
    return {kParameterTypeByte, name, description, minimum, maximum, kNoValue, kParameterFlags,
            defaultValue};
}

struct ParameterTable {
    std::array<ParameterRecord, kParameterCount> records;
    std::array<const ParameterRecord*, kParameterCount> pointers;

    ParameterTable() {
        records[kRangeParameter] = MakeRecord("Range", "Range", 0, 32, 16);
        records[kBandwidthParameter] =
            MakeRecord("Bandwidth", "Bandwidth", 1, 24, layout::kDefaultBandwidth);
        for (int band = 0; band < kBandCount; ++band) {
            records[kFirstBandParameter + band] =
                MakeRecord(layout::kBandNames[band], layout::kBandDescriptions[band],
                           kSliderMinimum, kSliderMaximum, kSliderCentre);
        }
        for (int i = 0; i < kParameterCount; ++i) pointers[i] = &records[i];
    }
};

const ParameterTable& Table() {
    static const ParameterTable table;
    return table;
}

const void* const kNoAttributes[1] = {nullptr};

}  // namespace

const ParameterRecord& Record(int parameterIndex) { return Table().records[parameterIndex]; }

const MachineDescription& Description() {
    static const MachineDescription description = {
        2,                     // machine type
        63,                    // interface version
        0x2000,                // flags
        0,                     // minimum tracks
        0,                     // maximum tracks
        kParameterCount,       // global parameters
        0,                     // track parameters
        Table().pointers.data(),
        0,                     // attributes
        kNoAttributes,
        layout::kFullName,
        layout::kShortName,
        kAuthor,
        kCommands,
        nullptr,
    };
    return description;
}

}  // namespace lumo
