#include "lumo/host/HostCallbacksTable.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace lumo::host {
namespace {

HostServices& Services(abi::HostCallbacks* self) {
    return static_cast<HostCallbacksObject*>(self)->Services();
}

float* LUMO_THISCALL ScratchBufferEntry(abi::HostCallbacks* self) {
    return Services(self).ScratchBuffer();
}
void LUMO_THISCALL RegisterExtensionEntry(abi::HostCallbacks* self, abi::MachineExtension* extension) {
    Services(self).RegisterExtension(extension);
}
void* LUMO_THISCALL OwnHandleEntry(abi::HostCallbacks* self) { return Services(self).OwnHandle(); }
const char* LUMO_THISCALL MachineTitleEntry(abi::HostCallbacks* self, void* handle) {
    return Services(self).MachineTitle(handle);
}
void* LUMO_THISCALL HostWindowEntry(abi::HostCallbacks* self) { return Services(self).HostWindow(); }
void LUMO_THISCALL ParameterTextChangedEntry(abi::HostCallbacks* self, void* handle, int index) {
    Services(self).ParameterTextChanged(handle, index);
}

// A host operation the machine must never call. It cannot return: the caller pushed an unknown
// number of argument words.
template <int Slot>
[[noreturn]] void LUMO_THISCALL StopAtSlot(abi::HostCallbacks*) {
    std::fprintf(stderr,
                 "lumo host: the machine called slot %d of the host's callback table, an operation "
                 "it must never call; stopping\n",
                 Slot);
    std::fflush(stderr);
    std::abort();
}

template <typename Operation>
void Install(void** table, typename Operation::Function function) {
    table[Operation::kSlot] = reinterpret_cast<void*>(function);
}

template <int... Slots>
void FillWithStops(void** table, std::integer_sequence<int, Slots...>) {
    ((table[Slots] = reinterpret_cast<void*>(&StopAtSlot<Slots>)), ...);
}

struct Table {
    void* slots[abi::kHostTableSlots];
    Table() {
        FillWithStops(slots, std::make_integer_sequence<int, abi::kHostTableSlots>());
        Install<abi::ScratchBuffer>(slots, &ScratchBufferEntry);
        Install<abi::RegisterExtension>(slots, &RegisterExtensionEntry);
        Install<abi::OwnHandle>(slots, &OwnHandleEntry);
        Install<abi::MachineTitle>(slots, &MachineTitleEntry);
        Install<abi::HostWindow>(slots, &HostWindowEntry);
        Install<abi::ParameterTextChanged>(slots, &ParameterTextChangedEntry);
    }
};

}  // namespace

HostCallbacksObject::HostCallbacksObject(HostServices& services) : services_(&services) {
    static const Table table;
    this->table = table.slots;
}

}  // namespace lumo::host
