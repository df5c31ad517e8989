// The machine object: one per machine in a song. Its head and table come from MachineBase;
// the members below are in the order the machine keeps them. N, the band count, comes from the
// deliverable's layout.
#pragma once

#include "DeliverableLayout.h"
#include "MachineBase.h"
#include "MachineExtension.h"
#include "ParameterScale.h"
#include "Win32.h"
#include "engine/BandFilter.h"
#include "graph/CurvePoint.h"
#include "graph/CurveMailbox.h"

namespace lumo {

constexpr int kBandCount = layout::kBandCount;
constexpr int kParameterCount = kBandCount + 2;

class EqualiserMachine final : public MachineBase {
public:
    EqualiserMachine();
    ~EqualiserMachine();

    // Host-facing operations (the MachineBase slots this machine fills in).
    void* DeletingDestructor(unsigned flags) override;
    void Initialise(StateReader* reader) override;                  // shell/Initialise.cpp
    void ApplyParameters() override;                                // engine/ApplyParameters.cpp
    bool ProcessAudio(float* buffer, int frames, int mode) override; // engine/ProcessAudio.cpp
    void SaveState(StateWriter* writer) override;                   // shell/SavedState.cpp
    void RunCommand(int index) override;                            // shell/Commands.cpp
    const char* ParameterValueText(int parameterIndex, int raw) override;  // shell/ValueText.cpp

    // Engine.
    void DesignBand(int band);
    void ApplyActivityRule(int band);
    int SampleRateHz() const { return hostInfo->sampleRateHz; }

    // Response graph.
    float EvaluateResponse(double angleRadians) const;
    void ComputeCurve();
    void RefreshCurve();
    void OpenGraphWindow();
    void HideGraphWindow(bool hide);
    void PaintGraph();

    MachineExtension extension;
    void* hostHandle = nullptr;
    unsigned char parameters[kParameterCount];

    int bandSlider[kBandCount];
    int rangeRaw;
    ParameterScale gainScale;
    ParameterScale rangeScale;
    ParameterScale bandwidthScale;
    double bandwidthOctaves;
    BandFilter bandFilters[kBandCount];
    int tailLength = 0;
    unsigned char bandFlat[kBandCount];
    int bandTail[kBandCount];
    int fadeCounter = 0;
    int fadeReset = 0;
    int fadeLength = 0;

    CurvePoint curvePoints[kCurveSlots];
    int curvePointCount = 0;

    HWND graphWindow = nullptr;
    int clientWidth = 0;
    int clientHeight = 0;
    int windowX = 0;
    int windowY = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    int clientOriginX = 0;
    int clientOriginY = 0;
    bool graphOpen = false;
    bool graphHiddenByHost = false;
    bool curveDirty = false;

    // Computed curves on their way to the painting thread (graph/CurveMailbox.h).
    CurveMailbox curveMailbox;
};

// The deliverable's constant description and records (shell/ParameterTable.cpp).
const MachineDescription& Description();
const ParameterRecord& Record(int parameterIndex);

// ln 2, computed once when the module is loaded (shell/ModuleInit.cpp).
extern double gLn2;

}  // namespace lumo
