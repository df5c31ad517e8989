// Float samples (full scale +-1) to integer samples of 8..32 bits, as lumo eq writes them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumo::cli {

// Scales to the output's integer steps, adds TPDF dither of +-1 step when asked (from a fixed
// seed, so a run is reproducible), rounds to nearest (ties to even), clamps to full scale and
// counts the samples it clamped. Results are left-aligned in 32 bits, as libsndfile's int
// functions take them, so libsndfile only drops the zero low bits. Samples that are exactly
// zero stay zero: digital silence gets no dither noise.
class Quantiser {
public:
    Quantiser(int bits, bool dither);
    void Convert(const float* samples, int32_t* out, size_t count);
    int64_t ClippedSamples() const { return clipped_; }

private:
    double NextDither();

    double scale_;     // steps per full scale: 2^(bits-1)
    double lowest_;    // -2^(bits-1)
    double highest_;   // 2^(bits-1) - 1
    int32_t alignment_;  // 2^(32-bits)
    bool dither_;
    uint64_t state_;
    int64_t clipped_ = 0;
};

}  // namespace lumo::cli
