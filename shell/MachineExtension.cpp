#include "EqualiserMachine.h"

namespace lumo {

void MachineExtension::HideGraphWindow(bool hide) { machine->HideGraphWindow(hide); }

}  // namespace lumo
