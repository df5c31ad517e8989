// One machine created from a plug-in and driven as a host drives it: the head fields, the
// callbacks, the parameter protocol, audio blocks, saved state, commands and value texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <lumo/abi/Machine.h>
#include <lumo/abi/MachineExtension.h>

#include "HostCallbacksTable.h"
#include "PluginLibrary.h"

namespace lumo::host {

struct HostSettings {
    int32_t sampleRateHz = 44100;
    int32_t tempoBpm = 126;
    int32_t ticksPerBeat = 4;
    int maxBlockFrames = 256;  // size of the scratch buffer, in stereo frames
    std::string title;         // MachineTitle; empty: the machine's short name
};

// A ParameterTextChanged call as the machine made it.
struct TextChange {
    void* handle;
    int parameterIndex;
};

// Owns the machine; destroys it through slot 0 with flags 1. Must not outlive the library.
// Not thread-safe: one thread drives a machine (the one that pumps its window's messages).
// Its callbacks table is laid out as Buzz's (lumo/host/HostCallbacksTable.h).
class HostedMachine : private HostServices {
public:
    // Creates the machine and fills in hostInfo and callbacks; throws HostError when
    // CreateMachine gives null. Initialise is a separate step.
    explicit HostedMachine(const PluginLibrary& library, HostSettings settings = {});
    ~HostedMachine();
    HostedMachine(const HostedMachine&) = delete;
    HostedMachine& operator=(const HostedMachine&) = delete;

    const abi::MachineDescription& Description() const { return *description_; }
    const abi::ParameterRecord& Record(int index) const;
    int ParameterCount() const { return static_cast<int>(values_.size()); }
    int FindParameter(const std::string& name) const;  // case-insensitive; -1 if none

    // Initialise without saved state, or reading these bytes through a StateReader.
    void Initialise();
    void Initialise(const std::vector<uint8_t>& savedState);

    // Parameter protocol: SetParameter records a new raw value (0..254, the byte the host
    // writes); ApplyParameters writes the block (every value on the first call after
    // Initialise, 255 for unchanged values afterwards) and calls the machine.
    void SetParameter(int index, int raw);
    int ParameterValue(int index) const { return values_.at(index); }
    void ApplyParameters();

    // One block, in place; frames must fit the scratch buffer.
    bool ProcessAudio(float* interleaved, int frames, int mode);

    // Runs a whole signal: blocks of blockFrames with mode 3 while pull gives input (it fills up
    // to `frames` stereo frames and returns how many, 0 at the end), then mode 2 one frame per
    // call until the machine reports silence, so that the tail ends where the machine's fade
    // ends whatever blockFrames is. push receives every output block (at most blockFrames), the
    // tail included. A block the machine reports silent comes out as zeros. progress (optional)
    // gets the input frames done.
    void ProcessStream(const std::function<int(float* interleaved, int frames)>& pull,
                       const std::function<void(const float* interleaved, int frames)>& push,
                       int blockFrames = 256,
                       const std::function<void(int64_t framesDone)>& progress = nullptr);
    // The same over a whole interleaved stereo signal in memory; returns input plus tail.
    std::vector<float> ProcessSignal(const std::vector<float>& interleaved, int blockFrames = 256);

    std::vector<uint8_t> SaveState();
    void RunCommand(int index);
    // The machine's text for a raw value (copied: the plug-in reuses its buffer); "" for null.
    std::string ParameterValueText(int index, int raw);

    // The extended interface the machine registered (null before Initialise).
    abi::MachineExtension* Extension() const { return extension_; }
    void HideGraphWindow(bool hide);

    void* Handle() { return this; }
    abi::MachineBase* Machine() const { return machine_; }
    void SetTitle(std::string title) { settings_.title = std::move(title); }
    const std::vector<TextChange>& TextChanges() const { return textChanges_; }
    void ClearTextChanges() { textChanges_.clear(); }

private:
    float* ScratchBuffer() override;
    void RegisterExtension(abi::MachineExtension* extension) override;
    void* OwnHandle() override;
    const char* MachineTitle(void* handle) override;
    void* HostWindow() override;
    void ParameterTextChanged(void* handle, int parameterIndex) override;

    const abi::MachineDescription* description_;
    HostSettings settings_;
    abi::HostInfo hostInfo_{};
    HostCallbacksObject callbacks_{*this};
    abi::MachineBase* machine_ = nullptr;
    abi::MachineExtension* extension_ = nullptr;
    std::vector<float> scratch_;
    std::vector<int> values_;
    std::vector<bool> changed_;
    bool sendAll_ = true;
    std::vector<TextChange> textChanges_;
};

}  // namespace lumo::host
