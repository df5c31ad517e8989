// Hands values of T from a writer thread to a reader thread without a lock and without the reader
// ever seeing a half-written value. Three buffers: the writer fills the back one and swaps it with
// the middle one; the reader swaps the middle one with its front one when a fresh value is there.
// Each buffer belongs to exactly one party at any moment.
//
// Writers are serialised by a try-flag that nobody waits for: a writer that finds it taken gets
// false from TryBeginWrite and skips its update. Readers must be serialised by the caller (one
// reading thread, or reads made while holding another TripleBuffer's write flag).
#pragma once

#include <atomic>

namespace lumo::engine {

template <typename T>
class TripleBuffer {
public:
    // Every buffer starts as a copy of `initial`.
    explicit TripleBuffer(const T& initial = T{}) : buffers_{initial, initial, initial} {}
    TripleBuffer(const TripleBuffer&) = delete;
    TripleBuffer& operator=(const TripleBuffer&) = delete;

    // Writer side. After TryBeginWrite returns true, BackBuffer may be filled and EndWrite must
    // follow, publishing the buffer when publish is true. Never waits.
    bool TryBeginWrite() { return !writing_.exchange(true, std::memory_order_acquire); }
    T& BackBuffer() { return buffers_[back_]; }
    void EndWrite(bool publish) {
        if (publish) {
            const unsigned previous =
                middle_.exchange(static_cast<unsigned>(back_) | kFreshBit, std::memory_order_acq_rel);
            back_ = static_cast<int>(previous & kIndexMask);
        }
        writing_.store(false, std::memory_order_release);
    }
    // Reader side: the newest published value, or the one the reader already had. Valid until
    // the reader's next call.
    const T& Latest() {
        if (middle_.load(std::memory_order_relaxed) & kFreshBit) {
            const unsigned previous =
                middle_.exchange(static_cast<unsigned>(front_), std::memory_order_acq_rel);
            front_ = static_cast<int>(previous & kIndexMask);
        }
        return buffers_[front_];
    }

private:
    static constexpr unsigned kFreshBit = 4;
    static constexpr unsigned kIndexMask = 3;

    T buffers_[3];
    int back_ = 0;                     // owned by the holder of writing_
    int front_ = 1;                    // owned by the reader
    std::atomic<unsigned> middle_{2};  // index, plus kFreshBit while the reader has not taken it
    std::atomic<bool> writing_{false};
};

}  // namespace lumo::engine
