// The machine's operations but its value texts (ValueText.cpp).
#include "shell/EqualiserMachine.h"

#include <cstring>
#include <new>
#include <string>

#include "engine/Parameters.h"
#include "shell/ParameterTable.h"
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

EqualiserMachine::EqualiserMachine(const Deliverable& deliverable)
    : deliverable_(deliverable),
      extension_(*this),
      engine_(deliverable.layout),
      graph_(deliverable.windowClassName, *this) {
    parameterBlock = parameters_;
    // Until the host writes them, the block holds every parameter's default.
    for (int i = 0; i < ParameterCount(); ++i)
        parameters_[i] = static_cast<unsigned char>(Record(i).defaultValue);
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
    textRangeDb_.store(kInitialSpan, std::memory_order_relaxed);
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
    // A new value is any byte but the no-value marker, clamped to its record's range.
    engine::ParameterChanges changes;
    auto newValue = [this](int index) {
        const abi::ParameterRecord& record = Record(index);
        const int raw = parameters_[index];
        if (raw == record.noValue) return engine::ParameterChanges::kUnchanged;
        return raw < record.minimum ? record.minimum : raw > record.maximum ? record.maximum : raw;
    };
    changes.rangeDb = newValue(kRangeParameter);
    changes.bandwidthTwelfths = newValue(kBandwidthParameter);
    const int bandCount = deliverable_.layout.bandCount;
    for (int band = 0; band < bandCount; ++band) changes.slider[band] = newValue(kFirstBandParameter + band);

    const engine::ParameterOutcome outcome = engine_.ApplyParameters(changes, SampleRateHz());
    if (changes.rangeDb != engine::ParameterChanges::kUnchanged)
        textRangeDb_.store(changes.rangeDb, std::memory_order_relaxed);
    if (outcome.anyNewValue) graph_.MarkCurveDirty();

    // The band texts depend on Range; bands at 0 dB read the same at any Range.
    if (outcome.rangeChanged && callbacks != nullptr) {
        for (int band = 0; band < bandCount; ++band)
            if (engine_.BandSlider(band) != engine::kSliderCentre)
                abi::ParameterTextChanged::Call(callbacks, hostHandle_, kFirstBandParameter + band);
    }
    graph_.RefreshCurve();
}

bool EqualiserMachine::ProcessAudio(float* buffer, int frames, int mode) {
    switch (mode) {
    case abi::kModeNone:
        return false;
    case abi::kModeRead:
        return true;
    case abi::kModeNoInput: {
        // The tail goes to the host's scratch buffer, asked for only while there is a tail, then
        // into the host's buffer; a host without a scratch buffer has it rendered in place.
        float* scratch = nullptr;
        if (engine_.HasTail() && callbacks != nullptr)
            scratch = abi::ScratchBuffer::Call(callbacks);
        float* output = scratch != nullptr ? scratch : buffer;
        if (!engine_.RenderTail(output, frames)) return false;
        if (frames > 0 && output != buffer)
            std::memcpy(buffer, output, static_cast<std::size_t>(frames) * 2 * sizeof(float));
        return true;
    }
    default:  // kModeInput, and any other value the host may send
        engine_.Process(buffer, frames);
        return true;
    }
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
