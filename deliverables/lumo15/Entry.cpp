#include "DeliverableLayout.h"
#include "shell/Exports.h"

namespace lumo::layout {

const char* const kBandNames[kBandCount] = {
    "25 Hz", "40 Hz", "63 Hz", "100 Hz", "160 Hz", "250 Hz", "400 Hz", "630 Hz",
    "1 kHz", "1.6 kHz", "2.5 kHz", "4 kHz", "6.3 kHz", "10 kHz", "16 kHz"};

const char* const kBandDescriptions[kBandCount] = {
    "24.8 Hz", "39.4 Hz", "62.5 Hz", "99.2 Hz", "157 Hz", "250 Hz", "397 Hz", "630 Hz",
    "1000 Hz", "1587 Hz", "2520 Hz", "4000 Hz", "6350 Hz", "10079 Hz", "16000 Hz"};

}  // namespace lumo::layout

// Host, any thread, also before any machine exists: the constant description.
LUMO_EXPORT const lumo::MachineDescription* GetInfo() { return &lumo::Description(); }

// Host, UI thread: a new machine, or null when memory cannot be had.
LUMO_EXPORT lumo::MachineBase* CreateMachine() { return lumo::NewEqualiserMachine(); }
