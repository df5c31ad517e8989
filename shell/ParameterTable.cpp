#include "shell/ParameterTable.h"

#include <lumo/abi/Machine.h>

#include "product/Parameters.h"
#include "shell/ThisDeliverable.h"

namespace lumo {
namespace {

struct ParameterTable {
    int count;
    abi::ParameterRecord records[product::kMaxParameters];
    const abi::ParameterRecord* pointers[product::kMaxParameters];

    explicit ParameterTable(const product::Deliverable& d) : count(product::ParameterCount(d)) {
        for (int i = 0; i < count; ++i) {
            const product::Parameter p = product::ParameterAt(d, i);
            records[i] = {abi::kParameterTypeByte, p.name, p.description, p.minimum, p.maximum,
                          abi::kNoValue, abi::kParameterFlags, p.defaultValue};
            pointers[i] = &records[i];
        }
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
