// The machine object: one per machine in a song. Its head and table of operations are the host's
// contract (lumo/abi/Machine.h); it holds the equaliser engine and the response graph and
// forwards the host's operations to them.
#pragma once

#include <lumo/abi/Machine.h>
#include <lumo/abi/MachineExtension.h>

#include <atomic>

#include "engine/Equaliser.h"
#include "graph-window/GraphView.h"
#include "product/Deliverable.h"
#include "product/ParameterValues.h"
#include "product/ValueText.h"

namespace lumo {

class EqualiserMachine;

// The machine's extended interface; only HideGraphWindow does anything.
class GraphExtension final : public abi::MachineExtension {
public:
    explicit GraphExtension(EqualiserMachine& machine) : machine_(machine) {}
    void HideGraphWindow(bool hide) override;

private:
    EqualiserMachine& machine_;
};

class EqualiserMachine final : public abi::MachineBase,
                               private graph::GraphHost {
public:
    explicit EqualiserMachine(const product::Deliverable& deliverable);
    ~EqualiserMachine();  // the graph window goes first, then the engine

    // The host's operations (who calls them and when: lumo/abi/Machine.h).
    void* DeletingDestructor(unsigned flags) override;
    void Initialise(abi::StateReader* reader) override;
    void ApplyParameters() override;
    bool ProcessAudio(float* buffer, int frames, int mode) override;
    void SaveState(abi::StateWriter* writer) override;
    void RunCommand(int index) override;
    const char* ParameterValueText(int parameterIndex, int raw) override;     // ValueText.cpp
    // The extension's one operation.
    void HideGraphWindow(bool hide) { graph_.HideByHost(hide); }

    // The components, for queries through their own interfaces.
    engine::Equaliser& Engine() { return engine_; }
    graph::GraphView& Graph() { return graph_; }

private:
    bool ProcessTail(float* buffer, int frames);

    // graph::GraphHost
    const char* WindowTitle() override;
    HWND OwnerWindow() override;
    const engine::CoefficientSnapshot& Coefficients() override { return engine_.Coefficients(); }
    int SampleRateHz() override { return hostInfo != nullptr ? hostInfo->sampleRateHz : 0; }

    const product::Deliverable& deliverable_;
    GraphExtension extension_;
    void* hostHandle_ = nullptr;
    unsigned char parameterBytes_[product::kMaxParameters];  // the host's parameter block
    product::ParameterValues values_;
    engine::Equaliser engine_;
    graph::GraphView graph_;
    // The raw Range the engine's band gains follow, published by the audio thread for the value
    // texts the host asks for on its UI thread (one word, no lock); kNoRangeYet until the first
    // Range after Initialise, while the engine's gains span their initial ends.
    std::atomic<int> textRangeDb_{product::kNoRangeYet};
};

// Allocates and constructs a machine of this module's deliverable; null when memory cannot be
// had. Never throws.
abi::MachineBase* NewEqualiserMachine();

}  // namespace lumo
