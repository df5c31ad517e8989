#include "lumo/host/HostedMachine.h"

#include <algorithm>
#include <cctype>

#include "lumo/host/HostEnvironment.h"
#include "lumo/host/SavedStateBytes.h"
#include "lumo/host/Text.h"

namespace lumo::host {
namespace {

// Upper bound on the tail a machine may ask for, so that a machine that never reports silence
// cannot keep the host busy for ever.
constexpr int kMaxTailSeconds = 60;

// Out of line, so that an audio call that fits saves no registers for building the message.
[[noreturn]] __attribute__((noinline, cold)) void ThrowBlockDoesNotFit(int frames, int maxBlockFrames) {
    throw HostError("block of " + std::to_string(frames) + " frames does not fit the scratch buffer of " +
                    std::to_string(maxBlockFrames));
}

}  // namespace

HostedMachine::HostedMachine(const PluginLibrary& library, HostSettings settings)
    : description_(library.GetInfo()), settings_(std::move(settings)) {
    if (settings_.maxBlockFrames <= 0) throw HostError("the block size must be positive");
    if (settings_.sampleRateHz <= 0) throw HostError("the sample rate must be positive");
    const int count = description_->globalParameterCount;
    if (count < 0 || (count > 0 && description_->parameters == nullptr))
        throw HostError(library.Path() + " describes no valid parameter table");
    for (int i = 0; i < count; ++i) {
        values_.push_back(description_->parameters[i]->defaultValue);
        changed_.push_back(false);
    }
    scratch_.assign(static_cast<size_t>(settings_.maxBlockFrames) * 2, 0.0f);
    hostInfo_.tempoBpm = settings_.tempoBpm;
    hostInfo_.ticksPerBeat = settings_.ticksPerBeat;
    hostInfo_.sampleRateHz = settings_.sampleRateHz;

    machine_ = library.CreateMachine();
    if (machine_ == nullptr) throw HostError(library.Path() + ": CreateMachine gave no machine");
    machine_->hostInfo = &hostInfo_;
    machine_->callbacks = &callbacks_;
}

HostedMachine::~HostedMachine() {
    if (machine_ != nullptr) machine_->DeletingDestructor(1u);
}

const abi::ParameterRecord& HostedMachine::Record(int index) const {
    if (index < 0 || index >= ParameterCount())
        throw HostError("no parameter " + std::to_string(index));
    return *description_->parameters[index];
}

int HostedMachine::FindParameter(const std::string& name) const {
    for (int i = 0; i < ParameterCount(); ++i)
        if (const char* parameterName = description_->parameters[i]->name;
            parameterName != nullptr && EqualIgnoringCase(parameterName, name))
            return i;
    return -1;
}

void HostedMachine::Initialise() {
    // Windows the machine opens here need GDI+ and the host's main window.
    HostEnvironment::Instance();
    sendAll_ = true;
    machine_->Initialise(nullptr);
}

void HostedMachine::Initialise(const std::vector<uint8_t>& savedState) {
    HostEnvironment::Instance();
    sendAll_ = true;
    SavedStateReader reader(savedState);
    machine_->Initialise(&reader);
}

void HostedMachine::SetParameter(int index, int raw) {
    if (index < 0 || index >= ParameterCount())
        throw HostError("no parameter " + std::to_string(index));
    if (raw < 0 || raw >= abi::kNoValue)
        throw HostError("raw value " + std::to_string(raw) + " does not fit a parameter byte");
    values_[index] = raw;
    changed_[index] = true;
}

void HostedMachine::ApplyParameters() {
    unsigned char* block = machine_->parameterBlock;
    if (block == nullptr) throw HostError("the machine has no parameter block");
    for (int i = 0; i < ParameterCount(); ++i) {
        block[i] = sendAll_ || changed_[i] ? static_cast<unsigned char>(values_[i])
                                           : static_cast<unsigned char>(abi::kNoValue);
        changed_[i] = false;
    }
    sendAll_ = false;
    machine_->ApplyParameters();
}

bool HostedMachine::ProcessAudio(float* interleaved, int frames, int mode) {
    if (frames <= 0 || frames > settings_.maxBlockFrames) ThrowBlockDoesNotFit(frames, settings_.maxBlockFrames);
    return machine_->ProcessAudio(interleaved, frames, mode);
}

void HostedMachine::ProcessStream(const std::function<int(float*, int)>& pull,
                                  const std::function<void(const float*, int)>& push,
                                  int blockFrames,
                                  const std::function<void(int64_t)>& progress) {
    if (blockFrames <= 0 || blockFrames > settings_.maxBlockFrames)
        throw HostError("block size " + std::to_string(blockFrames) + " must be 1.." +
                        std::to_string(settings_.maxBlockFrames));
    std::vector<float> block(static_cast<size_t>(blockFrames) * 2);
    int64_t framesDone = 0;
    for (;;) {
        const int frames = pull(block.data(), blockFrames);
        if (frames <= 0) break;
        if (!ProcessAudio(block.data(), frames, abi::kModeInput))
            std::fill(block.begin(), block.begin() + 2 * frames, 0.0f);
        push(block.data(), frames);
        framesDone += frames;
        if (progress) progress(framesDone);
    }
    // The tail, one frame per call. The machine looks at its fade counter only when a call
    // starts: a call that starts at or above the fade length keeps full level to its end, and
    // the last call before it reports silence can run on past the frame where the fade reaches
    // zero. One frame per call starts the ramp on its own frame and ends the output on the last
    // frame the fade leaves above zero, so the tail is the same whatever blockFrames is. The
    // frames are gathered and pushed in blocks of blockFrames.
    const int64_t maxTailFrames = static_cast<int64_t>(settings_.sampleRateHz) * kMaxTailSeconds;
    int gathered = 0;
    for (int64_t tailFrames = 0; tailFrames < maxTailFrames; ++tailFrames) {
        float* frame = block.data() + 2 * gathered;
        frame[0] = frame[1] = 0.0f;
        if (!ProcessAudio(frame, 1, abi::kModeNoInput)) break;
        if (++gathered == blockFrames) {
            push(block.data(), gathered);
            gathered = 0;
        }
    }
    if (gathered > 0) push(block.data(), gathered);
}

std::vector<float> HostedMachine::ProcessSignal(const std::vector<float>& interleaved,
                                                int blockFrames) {
    const size_t totalFrames = interleaved.size() / 2;
    size_t position = 0;
    std::vector<float> output;
    output.reserve(interleaved.size());
    ProcessStream(
        [&](float* block, int frames) {
            const size_t count = std::min(totalFrames - position, static_cast<size_t>(frames));
            std::copy_n(interleaved.begin() + 2 * position, 2 * count, block);
            position += count;
            return static_cast<int>(count);
        },
        [&](const float* block, int frames) { output.insert(output.end(), block, block + 2 * frames); },
        blockFrames);
    return output;
}

std::vector<uint8_t> HostedMachine::SaveState() {
    SavedStateWriter writer;
    machine_->SaveState(&writer);
    return writer.Take();
}

void HostedMachine::RunCommand(int index) { machine_->RunCommand(index); }

std::string HostedMachine::ParameterValueText(int index, int raw) {
    const char* text = machine_->ParameterValueText(index, raw);
    return text != nullptr ? std::string(text) : std::string();
}

void HostedMachine::HideGraphWindow(bool hide) {
    if (extension_ == nullptr) throw HostError("the machine registered no extension");
    extension_->HideGraphWindow(hide);
}

float* HostedMachine::ScratchBuffer() { return scratch_.data(); }

void HostedMachine::RegisterExtension(abi::MachineExtension* extension) { extension_ = extension; }

void* HostedMachine::OwnHandle() { return Handle(); }

const char* HostedMachine::MachineTitle(void*) {
    if (settings_.title.empty() && description_->shortName != nullptr)
        settings_.title = description_->shortName;
    return settings_.title.c_str();
}

void* HostedMachine::HostWindow() { return HostEnvironment::Instance().MainWindow(); }

void HostedMachine::ParameterTextChanged(void* handle, int parameterIndex) {
    textChanges_.push_back({handle, parameterIndex});
}

}  // namespace lumo::host
