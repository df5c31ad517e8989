#include "shell/ParameterTable.h"

#include <lumo/abi/Machine.h>

#include "engine/Parameters.h"
#include "shell/Deliverable.h"

namespace lumo {
namespace {

constexpr int kMaxParameters = engine::kMaxBands + 2;

constexpr abi::ParameterRecord MakeRecord(const char* name, const char* description, int minimum,
                                          int maximum, int defaultValue) {
    return {abi::kParameterTypeByte, name, description, minimum, maximum, abi::kNoValue,
            abi::kParameterFlags, defaultValue};
}

struct ParameterTable {
    int count;
    abi::ParameterRecord records[kMaxParameters];
    const abi::ParameterRecord* pointers[kMaxParameters];

    explicit ParameterTable(const Deliverable& d) : count(d.layout.bandCount + 2) {
        records[kRangeParameter] =
            MakeRecord("Range", "Range", engine::kRangeMinimumDb, engine::kRangeMaximumDb,
                       engine::kRangeDefaultDb);
        records[kBandwidthParameter] =
            MakeRecord("Bandwidth", "Bandwidth", engine::kBandwidthMinimumTwelfths,
                       engine::kBandwidthMaximumTwelfths, d.defaultBandwidthTwelfths);
        for (int band = 0; band < d.layout.bandCount; ++band) {
            records[kFirstBandParameter + band] =
                MakeRecord(d.bandNames[band], d.bandDescriptions[band], engine::kSliderMinimum,
                           engine::kSliderMaximum, engine::kSliderCentre);
        }
        for (int i = 0; i < count; ++i) pointers[i] = &records[i];
    }
};

const ParameterTable& Table() {
    static const ParameterTable table(ThisDeliverable());
    return table;
}

const void* const kNoAttributes[1] = {nullptr};

}  // namespace

const abi::ParameterRecord& Record(int parameterIndex) { return Table().records[parameterIndex]; }

int ParameterCount() { return Table().count; }

const abi::MachineDescription& Description() {
    static const abi::MachineDescription description = {
        abi::kMachineType,
        abi::kInterfaceVersion,
        abi::kDescriptionFlags,
        0,  // minimum tracks
        0,  // maximum tracks
        Table().count,
        0,  // track parameters
        Table().pointers,
        0,  // attributes
        kNoAttributes,
        ThisDeliverable().fullName,
        ThisDeliverable().shortName,
        kAuthor,
        abi::kCommandsText,
        nullptr,
    };
    return description;
}

}  // namespace lumo
