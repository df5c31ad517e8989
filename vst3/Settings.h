// One instance's parameter values as raw values: what its controller has (set by the host's
// controller calls and by state loads, on the main thread) and what its audio thread applied from
// the host's parameter changes, the latest of either. The settings chunk and the host's parameter
// list read them. Lock-free: an atomic per value and a flag for a loaded state, which the audio
// thread takes at its next block.
#pragma once

#include <atomic>

#include "product/Parameters.h"

namespace lumo::vst3 {

class Settings {
public:
    // Every value at its parameter's default.
    explicit Settings(const product::Deliverable& deliverable);

    int Count() const { return count_; }
    const product::Parameter& ParameterAt(int index) const { return parameters_[index]; }

    // Any thread.
    int Raw(int index) const { return raw_[index].load(std::memory_order_relaxed); }
    // Any thread; clamped to the parameter's range.
    void Store(int index, int raw) { raw_[index].store(parameters_[index].Clamp(raw), std::memory_order_relaxed); }

    // Main thread: every value at once (a loaded state), for the audio thread to take.
    void Load(const int* raw);
    // Audio thread: true once after each Load (the values are then readable with Raw).
    bool TakeLoad() { return loaded_.exchange(false, std::memory_order_acquire); }

    // All values, for the settings chunk.
    void CopyTo(int* raw) const;

private:
    int count_;
    product::Parameter parameters_[product::kMaxParameters];
    std::atomic<int> raw_[product::kMaxParameters];
    std::atomic<bool> loaded_{false};
};

}  // namespace lumo::vst3
