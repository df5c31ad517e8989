// The machine's operations but its value texts (ValueText.cpp).
#include "shell/EqualiserMachine.h"

#include <cstring>
#include <new>
#include <string>

#include "shell/ParameterTable.h"
#include "shell/ThisDeliverable.h"
#include "shell/SavedState.h"

namespace lumo {
namespace {

std::string AboutText(const char* fullName) {
    std::string text = fullName;
    text += " v1.1\n\nbuild: Sep 10 2012\n\n";
    text += kAuthor;
    text += "\nhttps://tarvolumo.example/\n\nGraphics code by Tarvo Lumo developers";
    return text;
}

}  // namespace

void GraphExtension::HideGraphWindow(bool hide) { machine_.HideGraphWindow(hide); }

EqualiserMachine::EqualiserMachine(const product::Deliverable& deliverable)
    : deliverable_(deliverable),
      extension_(*this),
      values_(deliverable),
      engine_(deliverable.layout),
      graph_(deliverable.windowClassName, *this) {
    parameterBlock = parameterBytes_;
    // Until the host writes them, the block holds every parameter's default.
    for (int i = 0; i < values_.Count(); ++i) parameterBytes_[i] = static_cast<unsigned char>(values_.Raw(i));
}

EqualiserMachine::~EqualiserMachine() = default;

void* EqualiserMachine::DeletingDestructor(unsigned flags) {
    this->~EqualiserMachine();
    if (flags & 1u) ::operator delete(this);
    return this;
}

void EqualiserMachine::Initialise(abi::StateReader* reader) {
    if (callbacks != nullptr) {
        abi::RegisterExtension::Call(callbacks, &extension_);
        hostHandle_ = abi::OwnHandle::Call(callbacks);
    }
    engine_.Initialise(SampleRateHz());
    textRangeDb_.store(product::kNoRangeYet, std::memory_order_relaxed);
    // Reopens the window when it was saved open; the curve follows at the next parameter call.
    const SavedState state = ReadSavedState(reader);
    graph_.Initialise(state.geometry, state.open);
}

void EqualiserMachine::SaveState(abi::StateWriter* writer) {
    // The geometry the window procedure keeps current; a window the host's hide request closed
    // is saved as closed.
    WriteSavedState(writer, {graph_.Geometry(), graph_.IsOpen()});
}

// Line 0 of the commands text is the About box, line 1 the graph.
void EqualiserMachine::RunCommand(int index) {
    if (index == abi::kCommandAbout) {
        const std::string text = AboutText(deliverable_.fullName);
        MessageBoxA(nullptr, text.c_str(), deliverable_.fullName, MB_SYSTEMMODAL | MB_ICONINFORMATION);
    } else if (index == abi::kCommandGraph) {
        graph_.ShowGraph();
    }
}

void EqualiserMachine::ApplyParameters() {
    // A new value is any byte but the no-value marker.
    for (int index = 0; index < values_.Count(); ++index)
        if (parameterBytes_[index] != abi::kNoValue) values_.Set(index, parameterBytes_[index]);

    const engine::ParameterOutcome outcome = values_.ApplyTo(engine_, SampleRateHz());
    if (outcome.rangeChanged) textRangeDb_.store(values_.Raw(product::kRangeParameter), std::memory_order_relaxed);
    if (outcome.anyNewValue) graph_.MarkCurveDirty();

    // The band texts depend on Range; bands at 0 dB read the same at any Range.
    if (outcome.rangeChanged && callbacks != nullptr) {
        for (int index = product::kFirstBandParameter; index < values_.Count(); ++index)
            if (values_.Raw(index) != engine::kSliderCentre)
                abi::ParameterTextChanged::Call(callbacks, hostHandle_, index);
    }
    graph_.RefreshCurve();
}

bool EqualiserMachine::ProcessAudio(float* buffer, int frames, int mode) {
    switch (mode) {
    case abi::kModeNone:
        return false;
    case abi::kModeRead:
        return true;
    case abi::kModeNoInput:
        return ProcessTail(buffer, frames);
    default:  // kModeInput, and any other value the host may send
        engine_.Process(buffer, frames);
        return true;
    }
}

// The tail goes to the host's scratch buffer, asked for only while there is a tail, then into the
// host's buffer; a host without a scratch buffer has it rendered in place. Kept out of
// ProcessAudio, so that a block with input of a few frames pays for nothing of it.
bool EqualiserMachine::ProcessTail(float* buffer, int frames) {
    float* scratch = nullptr;
    if (engine_.HasTail() && callbacks != nullptr) scratch = abi::ScratchBuffer::Call(callbacks);
    float* output = scratch != nullptr ? scratch : buffer;
    if (!engine_.RenderTail(output, frames)) return false;
    if (frames > 0 && output != buffer)
        std::memcpy(buffer, output, static_cast<std::size_t>(frames) * 2 * sizeof(float));
    return true;
}

const char* EqualiserMachine::WindowTitle() {
    return callbacks != nullptr ? abi::MachineTitle::Call(callbacks, hostHandle_) : "";
}

HWND EqualiserMachine::OwnerWindow() {
    return callbacks != nullptr ? static_cast<HWND>(abi::HostWindow::Call(callbacks)) : nullptr;
}

abi::MachineBase* NewEqualiserMachine() {
    void* memory = ::operator new(sizeof(EqualiserMachine), std::nothrow);
    if (memory == nullptr) return nullptr;
    return new (memory) EqualiserMachine(ThisDeliverable());
}

}  // namespace lumo
