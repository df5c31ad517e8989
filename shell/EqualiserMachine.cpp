// Construction and destruction of the machine object.
#include "EqualiserMachine.h"

#include <new>

namespace lumo {

EqualiserMachine::EqualiserMachine() {
    // The band filters are built in place in band order by their array's construction; every
    // curve slot starts at (0, 0).
    for (CurvePoint& point : curvePoints) point = {0.0f, 0.0f};
    extension.machine = this;
    parameterBlock = parameters;
    reserved1 = nullptr;
    reserved2 = nullptr;
    graphWindow = nullptr;

    // Until the host's first full parameter call, the engine holds every parameter's default, so
    // a band redesigned early never reads an undefined value.
    for (int i = 0; i < kParameterCount; ++i)
        parameters[i] = static_cast<unsigned char>(Record(i).defaultValue);
    rangeRaw = Record(kRangeParameter).defaultValue;
    bandwidthOctaves = Record(kBandwidthParameter).defaultValue / 12.0;
    for (int band = 0; band < kBandCount; ++band) {
        bandSlider[band] = kSliderCentre;
        bandFlat[band] = 1;
        bandTail[band] = 0;
    }
}

EqualiserMachine::~EqualiserMachine() {
    // The window goes first: its WM_DESTROY still reaches this live machine.
    if (graphWindow != nullptr) {
        DestroyWindow(graphWindow);
        graphWindow = nullptr;
    }
}

void* EqualiserMachine::DeletingDestructor(unsigned flags) {
    this->~EqualiserMachine();
    if (flags & 1u) ::operator delete(this);
    return this;
}

MachineBase* NewEqualiserMachine() {
    void* memory = ::operator new(sizeof(EqualiserMachine), std::nothrow);
    if (memory == nullptr) return nullptr;
    return new (memory) EqualiserMachine();
}

}  // namespace lumo
