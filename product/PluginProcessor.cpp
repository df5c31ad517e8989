#include "product/PluginProcessor.h"

#include <cstring>

#include <xmmintrin.h>

namespace lumo::product {

PluginProcessor::PluginProcessor(const Deliverable& deliverable, int sampleRateHz)
    : sampleRateHz_(sampleRateHz), engine_(deliverable.layout), values_(deliverable) {
    std::memset(block_, 0, sizeof block_);
    Activate();
}

void PluginProcessor::Activate() {
    engine_.Initialise(sampleRateHz_);
    engine_.ClearBandStates();
    values_.SetAllPending();
}

engine::ParameterOutcome PluginProcessor::ApplyPending() {
    if (!values_.HasPending()) return {};
    return values_.ApplyTo(engine_, sampleRateHz_);
}

namespace {

// The host's two channels into the interleaved block (L, R, L, R, ...) and back, four frames to a
// pair of vectors; a null input reads as silence, a null output is left alone.
void Interleave(const float* left, const float* right, float* block, int frames) {
    int i = 0;
    if (left != nullptr && right != nullptr) {
        for (; i + 4 <= frames; i += 4) {
            const __m128 l = _mm_loadu_ps(left + i), r = _mm_loadu_ps(right + i);
            _mm_storeu_ps(block + 2 * i, _mm_unpacklo_ps(l, r));
            _mm_storeu_ps(block + 2 * i + 4, _mm_unpackhi_ps(l, r));
        }
    }
    for (; i < frames; ++i) {
        block[2 * i] = left != nullptr ? left[i] : 0.0f;
        block[2 * i + 1] = right != nullptr ? right[i] : 0.0f;
    }
}

void Deinterleave(const float* block, float* left, float* right, int frames) {
    int i = 0;
    if (left != nullptr && right != nullptr) {
        for (; i + 4 <= frames; i += 4) {
            const __m128 low = _mm_loadu_ps(block + 2 * i), high = _mm_loadu_ps(block + 2 * i + 4);
            _mm_storeu_ps(left + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
            _mm_storeu_ps(right + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
        }
    }
    for (; i < frames; ++i) {
        if (left != nullptr) left[i] = block[2 * i];
        if (right != nullptr) right[i] = block[2 * i + 1];
    }
}

}  // namespace

void PluginProcessor::Run(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                          uint32_t frames) {
    for (uint32_t done = 0; done < frames;) {
        const uint32_t left = frames - done;
        const int n = left < static_cast<uint32_t>(kChunkFrames) ? static_cast<int>(left) : kChunkFrames;
        Interleave(inLeft != nullptr ? inLeft + done : nullptr, inRight != nullptr ? inRight + done : nullptr,
                   block_, n);
        engine_.Process(block_, n);
        Deinterleave(block_, outLeft != nullptr ? outLeft + done : nullptr,
                     outRight != nullptr ? outRight + done : nullptr, n);
        done += static_cast<uint32_t>(n);
    }
}

}  // namespace lumo::product
