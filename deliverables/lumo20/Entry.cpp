#include "DeliverableLayout.h"
#include "shell/Exports.h"

namespace lumo::layout {

const char* const kBandNames[kBandCount] = {
    "22 Hz", "31 Hz", "44 Hz", "63 Hz", "88 Hz", "125 Hz", "177 Hz", "250 Hz", "354 Hz", "500 Hz",
    "707 Hz", "1 kHz", "1.4 kHz", "2 kHz", "2.8 kHz", "4 kHz", "5.6 kHz", "8 kHz", "11 kHz", "16 kHz"};

const char* const kBandDescriptions[kBandCount] = {
    "22 Hz", "31 Hz", "44 Hz", "63 Hz", "88 Hz", "125 Hz", "177 Hz", "250 Hz", "354 Hz", "500 Hz",
    "707 Hz", "1000 Hz", "1414 Hz", "2000 Hz", "2828 Hz", "4000 Hz", "5657 Hz", "8000 Hz", "11314 Hz", "16000 Hz"};

}  // namespace lumo::layout

// Host, any thread, also before any machine exists: the constant description.
LUMO_EXPORT const lumo::MachineDescription* GetInfo() { return &lumo::Description(); }

// Host, UI thread: a new machine, or null when memory cannot be had.
LUMO_EXPORT lumo::MachineBase* CreateMachine() { return lumo::NewEqualiserMachine(); }
