// The wavefront schedule of the SIMD kernels, generic over a lane type `Ops` that each kernel
// file defines for its instruction set (Vec, Mask, kLanes and a few operations).
//
// A vector of Ops::kLanes floats holds kLanes/2 sections, each as a (left, right) lane pair. A
// group of kVectors vectors holds consecutive sections at positions 0, 1, 2, ... along its lanes.
// Section k+1 works one frame behind section k, so at every step all lanes compute at once, and
// the hand-over from one section to the next is the previous step's outputs shifted up by one
// lane pair. The vectors of a step do not depend on each other, which hides the latency of the
// recurrence; each lane still computes exactly the recurrence, in the same order.
//
// A group with fewer sections than positions pads them with zero coefficients. Without mask
// registers (SSE2, AVX2) the pads sit below the first section: the input enters at the first
// section's lane pair (and the pads below it, by a select), the last section sits at the top lane
// pair of the last vector, where the output leaves, and the lanes go through a table in memory.
// With them (Ops::kHasMaskRegisters, AVX-512) the pads sit above the last section: the input
// enters the lowest lane pair as the shift brings it, with no select, the output leaves from the
// last section's lane pair by a masked store, the sections load into their lane pairs by masked
// loads and permutes, and edge steps read their lane masks from a table. Pads never feed a
// section, so whatever they compute is dropped.
//
// Where Ops::kPairedVectors (AVX-512, long blocks), the full steps run with two vectors making a
// pair that holds 2 * kLanes/2 consecutive sections alternately, the even ones in the first vector
// and the odd ones in the second, each in order along the lane pairs: the hand-over from an even
// section to the odd one above it stays in its lanes, and only the one from an odd section up to
// the next even one shifts by a pair. A last vector without a partner holds its sections in
// order. Four vectors pair twice: lane pair j of vector v holds section 4j + v, and only the
// hand-over from vector 3 up to vector 0 shifts. Fewer shifts, less load on the one port that
// shuffles and a shorter path from one step to the next. The fill and drain steps keep the
// sections in order, where fewer vectors compute; the registers are permuted from one
// arrangement to the other between them.
//
// The first count-1 steps (fill) and the last count-1 steps (drain) compute only the vectors
// that hold sections with a frame, and keep the state of the others in them by a lane mask; the
// steps between run on all vectors without masks. A group's state stays in registers
// throughout.
//
// Everything here has internal linkage: each kernel file compiles its own copy for its own
// instruction set, so no copy built for a wider set can stand in for another at link time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cascade/Cascade.h"
#include "engine/cascade/SectionBySection.h"

#define LUMO_ALWAYS_INLINE inline __attribute__((always_inline))

namespace lumo::engine {
namespace {

// The lane image of a group's sections: each coefficient and state word once per lane, and each
// lane's section index within the group (pads negative) as a float for cheap compares.
template <int kFloats>
struct alignas(64) LaneTable {
    float b0[kFloats], b1[kFloats], b2[kFloats], a1[kFloats], a2[kFloats];
    float s1[kFloats], s2[kFloats];
    float section[kFloats];
};

// What the Ops of kernels without mask registers (SSE2, AVX2) share: the sections in order
// throughout, and a masked update as a select.
template <class Self>
struct BlendingOps {
    static constexpr bool kHasMaskRegisters = false;
    static constexpr bool kPairedVectors = false;
    using InOrder = Self;
    template <class Mask, class Vec>
    static Vec SubWhere(Mask m, Vec old, Vec a, Vec b) {
        return Self::Select(m, Self::Sub(a, b), old);
    }
};

// Positions below the first section: the pads, unless they go on top.
template <class Ops>
constexpr int LowPads(int positions, int count) {
    return Ops::kHasMaskRegisters ? 0 : positions - count;
}

// The lane table, pads below the first section (kernels without mask registers).
template <int kFloats>
void PackLanes(const BiquadCoefficients* coefficients, const StereoBiquadState* states,
               int count, LaneTable<kFloats>& table) {
    const int pad = kFloats / 2 - count;
    for (int position = 0; position < kFloats / 2; ++position) {
        const int section = position - pad;
        const BiquadCoefficients c =
            section >= 0 ? coefficients[section] : BiquadCoefficients{0, 0, 0, 0, 0};
        const StereoBiquadState s = section >= 0 ? states[section] : StereoBiquadState{0, 0, 0, 0};
        const int left = 2 * position, right = left + 1;
        table.b0[left] = table.b0[right] = c.b0;
        table.b1[left] = table.b1[right] = c.b1;
        table.b2[left] = table.b2[right] = c.b2;
        table.a1[left] = table.a1[right] = c.a1;
        table.a2[left] = table.a2[right] = c.a2;
        table.s1[left] = s.left1;
        table.s1[right] = s.right1;
        table.s2[left] = s.left2;
        table.s2[right] = s.right2;
        table.section[left] = table.section[right] = static_cast<float>(section);
    }
}

template <int kFloats>
void UnpackStates(const LaneTable<kFloats>& table, int count, StereoBiquadState* states) {
    const int pad = kFloats / 2 - count;
    for (int section = 0; section < count; ++section) {
        const int left = 2 * (section + pad), right = left + 1;
        states[section] = {table.s1[left], table.s2[left], table.s1[right], table.s2[right]};
    }
}

// Lane masks of 16-lane vectors with sections in order (pads on top): for n = 0..32, the lanes
// of sections below n (below) and of sections from n on (from), four vectors each. A fill step
// t has sections below t + 1 active, a drain step those from its lowest on; reading the masks
// from here spares a compare on the shuffle port for every vector of every edge step.
struct SixteenLaneMasks {
    std::uint16_t below[33][4], from[33][4];
    constexpr SixteenLaneMasks() : below(), from() {
        for (int n = 0; n <= 32; ++n) {
            for (int v = 0; v < 4; ++v) {
                std::uint16_t lanesBelow = 0;
                for (int lane = 0; lane < 16; ++lane)
                    if (8 * v + lane / 2 < n) lanesBelow = static_cast<std::uint16_t>(lanesBelow | (1u << lane));
                below[n][v] = lanesBelow;
                from[n][v] = static_cast<std::uint16_t>(~lanesBelow);
            }
        }
    }
};
constexpr SixteenLaneMasks kSixteenLaneMasks;

// Which bound of the active sections a step tests: none in the full steps, the highest while the
// wavefront fills, the lowest while it drains, both where a short block has them meet.
enum class Edge { None, Fill, Drain, Both };

// One group's registers and its step.
template <class Ops, int kVectors>
struct Wavefront {
    using Vec = typename Ops::Vec;
    static constexpr int kLanes = Ops::kLanes;

    Vec b0[kVectors], b1[kVectors], b2[kVectors], a1[kVectors], a2[kVectors];
    Vec s1[kVectors], s2[kVectors];
    Vec y[kVectors];        // the outputs of the step before
    Vec section[kVectors];  // each lane's section index
    typename Ops::Mask inputLanes;  // pads below: lanes of vector 0 taking the input
    typename Ops::Mask outputLanes;  // pads on top: the last section's lanes
    int outputVector = 0;            // in this vector (the last one where the sections are in order)
    int outputPair = 0;              // and lane pair

    // Four vectors paired twice: lane pair j of vector v holds section 4j + v, so that the
    // hand-over stays in its lanes from vector 0 to 1 to 2 to 3 and only the one from vector 3 up
    // to vector 0 shifts, by a pair.
    static constexpr bool kQuad = Ops::kPairedVectors && kVectors == 4;

    // Straight from the sections' arrays into the lane pairs (kHasMaskRegisters): vector v holds
    // sections v*kLanes/2 on, pads (zero) above the last.
    LUMO_ALWAYS_INLINE void LoadSections(const BiquadCoefficients* coefficients,
                                         const StereoBiquadState* states, int count) {
        constexpr int kPairs = kLanes / 2;
#pragma GCC unroll 16
        for (int v = 0; v < kVectors; ++v) {
            const int first = v * kPairs;
            const int sections = count - first < kPairs ? count - first : kPairs;
            const typename Ops::SectionsLoaded loaded = Ops::LoadSections(coefficients + first, sections);
            b0[v] = Ops::CoefficientLanes(loaded, 0);
            b1[v] = Ops::CoefficientLanes(loaded, 1);
            b2[v] = Ops::CoefficientLanes(loaded, 2);
            a1[v] = Ops::CoefficientLanes(loaded, 3);
            a2[v] = Ops::CoefficientLanes(loaded, 4);
            Ops::LoadStateLanes(states + first, sections, s1[v], s2[v]);
            y[v] = Ops::Zero();
            section[v] = Ops::SectionLanes(first);
        }
        PlaceOutput(count);
    }

    // Where the last section's output leaves, pads on top.
    LUMO_ALWAYS_INLINE void PlaceOutput(int count) {
        constexpr int kPairs = kLanes / 2;
        const int last = count - 1;
        if constexpr (kQuad) {
            outputVector = last % 4;
            outputPair = last / 4;
        } else if constexpr (Ops::kPairedVectors) {
            const int group = last / (2 * kPairs), within = last % (2 * kPairs);
            const bool paired = 2 * group + 1 < kVectors;
            outputVector = paired ? 2 * group + within % 2 : 2 * group;
            outputPair = paired ? within / 2 : within;
        } else {
            outputVector = kVectors - 1;
            outputPair = last - (kVectors - 1) * kPairs;
        }
        outputLanes = Ops::PairLanes(outputPair);
    }

    // The sections' states back to their array, and whether every word of them is finite.
    LUMO_ALWAYS_INLINE bool StoreSectionStates(StereoBiquadState* states, int count) const {
        constexpr int kPairs = kLanes / 2;
        Vec sum = Ops::Zero();
#pragma GCC unroll 16
        for (int v = 0; v < kVectors; ++v) {
            const int first = v * kPairs;
            const int sections = count - first < kPairs ? count - first : kPairs;
            Ops::StoreStateLanes(states + first, sections, s1[v], s2[v]);
            // Pad lanes turn non-finite only after a section below them has (see Ops).
            sum = Ops::Add(sum, Ops::Add(s1[v], s2[v]));
        }
        return Ops::AllFinite(sum);
    }

    // From the lane table (pads below).
    LUMO_ALWAYS_INLINE void Load(const LaneTable<kLanes * kVectors>& table) {
#pragma GCC unroll 16
        for (int v = 0; v < kVectors; ++v) {
            const int at = v * kLanes;
            b0[v] = Ops::Load(table.b0 + at);
            b1[v] = Ops::Load(table.b1 + at);
            b2[v] = Ops::Load(table.b2 + at);
            a1[v] = Ops::Load(table.a1 + at);
            a2[v] = Ops::Load(table.a2 + at);
            s1[v] = Ops::Load(table.s1 + at);
            s2[v] = Ops::Load(table.s2 + at);
            y[v] = Ops::Zero();
            section[v] = Ops::Load(table.section + at);
        }
        inputLanes = Ops::AtMost(section[0], Ops::Zero());
    }

    // The last section's output of this step, to the frame it belongs to (sections in order).
    LUMO_ALWAYS_INLINE void StoreOutput(float* frame) const {
        if constexpr (Ops::kHasMaskRegisters) {
            Ops::StorePair(frame, outputPair, outputLanes, y[kVectors - 1]);
        } else
            Ops::StoreTopFrame(frame, y[kVectors - 1]);
    }

    LUMO_ALWAYS_INLINE void StoreStates(LaneTable<kLanes * kVectors>& table) const {
#pragma GCC unroll 16
        for (int v = 0; v < kVectors; ++v) {
            Ops::Store(table.s1 + v * kLanes, s1[v]);
            Ops::Store(table.s2 + v * kLanes, s2[v]);
        }
    }

    // One step; `input` holds the frame entering the first section in every lane pair. Every
    // vector first takes its inputs from the outputs of the step before, then computes. At an
    // edge, only vectors holding a position in lowestPosition..highestPosition compute, and in
    // them only sections lowest..highest (as floats, or as laneMasks from kSixteenLaneMasks
    // where Ops has mask registers) update their state; a vector left out keeps its outputs of the step
    // before, which only inactive lanes read. A fill step need only test `highest`, a drain step
    // `lowest` (pads active with them compute what is never read).
    template <Edge kEdge>
    LUMO_ALWAYS_INLINE void Step(Vec input, int lowestPosition, int highestPosition, Vec lowest,
                                 Vec highest, const std::uint16_t* laneMasks = nullptr) {
        Vec in[kVectors];
#pragma GCC unroll 16
        for (int v = 0; v < kVectors; ++v) {
            const bool skipped = kEdge != Edge::None && Skipped(v, lowestPosition, highestPosition);
            in[v] = skipped ? y[v] : Incoming(v, input);
        }
#pragma GCC unroll 16
        for (int v = kVectors - 1; v >= 0; --v) {
            if (kEdge != Edge::None && Skipped(v, lowestPosition, highestPosition)) continue;
            const Vec x = in[v];
            const Vec out = Ops::Add(Ops::Mul(b0[v], x), s1[v]);
            const Vec sum1 = Ops::Add(Ops::Mul(b1[v], x), s2[v]), product1 = Ops::Mul(a1[v], out);
            const Vec product2 = Ops::Mul(b2[v], x), product3 = Ops::Mul(a2[v], out);
            if constexpr (kEdge != Edge::None) {
                typename Ops::Mask active;
                if constexpr (Ops::kHasMaskRegisters && kEdge != Edge::Both)
                    active = Ops::LoadMask(laneMasks + v);
                else if constexpr (kEdge == Edge::Fill)
                    active = Ops::AtMost(section[v], highest);
                else if constexpr (kEdge == Edge::Drain)
                    active = Ops::AtMost(lowest, section[v]);
                else
                    active = Ops::Within(section[v], lowest, highest);
                s1[v] = Ops::SubWhere(active, s1[v], sum1, product1);
                s2[v] = Ops::SubWhere(active, s2[v], product2, product3);
            } else {
                s1[v] = Ops::Sub(sum1, product1);
                s2[v] = Ops::Sub(product2, product3);
            }
            y[v] = out;
        }
    }

    // A vector that holds no active position sits out an edge step (sections in order).
    static constexpr bool Skipped(int v, int lowestPosition, int highestPosition) {
        constexpr int kPairs = kLanes / 2;
        return v * kPairs + kPairs - 1 < lowestPosition || v * kPairs > highestPosition;
    }

    // The registers of `from`, the same sections in the other arrangement (paired or in order).
    // On the way to the paired arrangement the coefficients move too (the section indices serve
    // only the edge steps); on the way back only the states and outputs (the caller keeps the
    // in-order coefficients aside through the full steps, so that only the paired registers are
    // live there).
    template <class FromOps>
    LUMO_ALWAYS_INLINE void Rearrange(const Wavefront<FromOps, kVectors>& from, int count) {
        const auto each = [&](auto move) {
            move(from.s1, s1), move(from.s2, s2), move(from.y, y);
            if constexpr (Ops::kPairedVectors) {
                move(from.b0, b0), move(from.b1, b1), move(from.b2, b2), move(from.a1, a1);
                move(from.a2, a2);
            }
        };
        if constexpr (kQuad || Wavefront<FromOps, kVectors>::kQuad) {
            each([](const Vec* source, Vec* target) {
                if constexpr (Ops::kPairedVectors) {  // pairs (0, 1) and (2, 3), then (0, 2), (1, 3)
                    const Vec e01 = Ops::EvenPairs(source[0], source[1]);
                    const Vec o01 = Ops::OddPairs(source[0], source[1]);
                    const Vec e23 = Ops::EvenPairs(source[2], source[3]);
                    const Vec o23 = Ops::OddPairs(source[2], source[3]);
                    target[0] = Ops::EvenPairs(e01, e23), target[2] = Ops::OddPairs(e01, e23);
                    target[1] = Ops::EvenPairs(o01, o23), target[3] = Ops::OddPairs(o01, o23);
                } else {
                    const Vec e01 = Ops::InterleaveLowPairs(source[0], source[2]);
                    const Vec e23 = Ops::InterleaveHighPairs(source[0], source[2]);
                    const Vec o01 = Ops::InterleaveLowPairs(source[1], source[3]);
                    const Vec o23 = Ops::InterleaveHighPairs(source[1], source[3]);
                    target[0] = Ops::InterleaveLowPairs(e01, o01);
                    target[1] = Ops::InterleaveHighPairs(e01, o01);
                    target[2] = Ops::InterleaveLowPairs(e23, o23);
                    target[3] = Ops::InterleaveHighPairs(e23, o23);
                }
            });
        } else {
            each([](const Vec* source, Vec* target) {
#pragma GCC unroll 16
                for (int v = 0; v < kVectors; v += 2) {
                    if (v + 1 >= kVectors) {  // a last vector without a partner stays as it is
                        target[v] = source[v];
                    } else if constexpr (Ops::kPairedVectors) {
                        target[v] = Ops::EvenPairs(source[v], source[v + 1]);
                        target[v + 1] = Ops::OddPairs(source[v], source[v + 1]);
                    } else {
                        target[v] = Ops::InterleaveLowPairs(source[v], source[v + 1]);
                        target[v + 1] = Ops::InterleaveHighPairs(source[v], source[v + 1]);
                    }
                }
            });
        }
        PlaceOutput(count);
    }

    // What vector v's sections take in this step: the outputs of the sections below them in the
    // step before, and the input frame at the first section.
    LUMO_ALWAYS_INLINE Vec Incoming(int v, Vec input) const {
        if constexpr (kQuad) return v > 0 ? y[v - 1] : Ops::ShiftIn(input, y[3]);
        if constexpr (Ops::kPairedVectors) {
            if (v % 2 == 1) return y[v - 1];
            const Vec below = v == 0 ? input : y[v - 1];
            return Ops::ShiftIn(below, v + 1 < kVectors ? y[v + 1] : y[v]);
        }
        if (v > 0) return Ops::ShiftIn(y[v - 1], y[v]);
        if constexpr (Ops::kHasMaskRegisters)
            return Ops::ShiftIn(input, y[0]);
        else
            return Ops::Select(inputLanes, input, Ops::ShiftIn(input, y[0]));
    }
};

// A fill or drain step t: section k works on frame t - k, so only sections
// max(0, t - frames + 1) .. min(count - 1, t) are active. The input exists up to the last
// frame, the output from step count - 1 on.
template <Edge kEdge, class Ops, int kVectors>
LUMO_ALWAYS_INLINE void EdgeStep(Wavefront<Ops, kVectors>& w, float* interleaved, int frames,
                                 int count, std::ptrdiff_t t) {
    constexpr int kPairs = Ops::kLanes / 2;
    const int pad = LowPads<Ops>(kVectors * kPairs, count);
    const std::ptrdiff_t lowest = t - frames + 1 > 0 ? t - frames + 1 : 0;
    const std::ptrdiff_t highest = t < count - 1 ? t : count - 1;
    const typename Ops::Vec input = t < frames ? Ops::LoadFrame(interleaved + 2 * t) : Ops::Zero();
    const std::uint16_t* laneMasks = nullptr;
    if constexpr (Ops::kHasMaskRegisters) {
        static_assert(Ops::kLanes == 16 && kVectors <= 4 && !Ops::kPairedVectors);
        laneMasks = kEdge == Edge::Fill ? kSixteenLaneMasks.below[highest + 1]
                                        : kSixteenLaneMasks.from[lowest];
    }
    w.template Step<kEdge>(input, static_cast<int>(lowest + pad), static_cast<int>(highest + pad),
                           Ops::Set(static_cast<float>(lowest)),
                           Ops::Set(static_cast<float>(highest)), laneMasks);
    if (t >= count - 1) w.StoreOutput(interleaved + 2 * (t - count + 1));
}

// The full steps t..end-1, where every section has its frame.
template <class Ops, int kVectors>
LUMO_ALWAYS_INLINE void RunFullSteps(Wavefront<Ops, kVectors>& w, float* interleaved, int count,
                                     std::ptrdiff_t t, std::ptrdiff_t end) {
    const typename Ops::Vec unused = Ops::Zero();
    for (; t < end; ++t) {
        w.template Step<Edge::None>(Ops::LoadFrame(interleaved + 2 * t), 0, 0, unused, unused);
        w.StoreOutput(interleaved + 2 * (t - count + 1));
    }
}

// The same with the vectors paired, the last section in vector kOutput.
template <int kOutput, class Ops, int kVectors>
LUMO_ALWAYS_INLINE void RunPairedFullSteps(Wavefront<Ops, kVectors>& w, float* interleaved,
                                           int count, std::ptrdiff_t t, std::ptrdiff_t end) {
    const typename Ops::Mask lanes = w.outputLanes;
    const typename Ops::Vec unused = Ops::Zero();
    for (; t < end; ++t) {
        w.template Step<Edge::None>(Ops::LoadFrame(interleaved + 2 * t), 0, 0, unused, unused);
        Ops::StorePairMaskFromMemory(interleaved + 2 * (t - count + 1), w.outputPair, &lanes,
                                     w.y[kOutput]);
    }
}

// Runs `count` (1..kVectors*kLanes/2) sections over `frames` (>= 1) frames as one wavefront:
// count - 1 fill steps, the full steps, count - 1 drain steps (fill and drain meet when the
// block is shorter than the cascade). True when every word of the states it leaves is finite.
template <class Ops, int kVectors>
bool RunGroup(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
              float* interleaved, int frames) {
    using EdgeOps = typename Ops::InOrder;  // the fill and drain keep the sections in order
    LaneTable<Ops::kLanes * kVectors> table;
    Wavefront<EdgeOps, kVectors> w;
    if constexpr (Ops::kHasMaskRegisters) {
        w.LoadSections(coefficients, states, count);
    } else {
        PackLanes(coefficients, states, count, table);
        w.Load(table);
    }
    const std::ptrdiff_t fillEnd = count - 1;
    const std::ptrdiff_t drainStart = frames > fillEnd ? frames : fillEnd;
    const std::ptrdiff_t steps = static_cast<std::ptrdiff_t>(frames) + count - 1;
    std::ptrdiff_t t = 0;
    if (drainStart == frames) {
        for (; t < fillEnd; ++t) EdgeStep<Edge::Fill>(w, interleaved, frames, count, t);
    } else {
        for (; t < fillEnd; ++t) EdgeStep<Edge::Both>(w, interleaved, frames, count, t);
    }
    if constexpr (Ops::kPairedVectors) {
        Wavefront<Ops, kVectors> paired;
        paired.Rearrange(w, count);
        // The in-order coefficients wait in memory through the full steps.
        alignas(64) typename Ops::Vec kept[6][kVectors];
        for (int v = 0; v < kVectors; ++v) {
            kept[0][v] = w.b0[v], kept[1][v] = w.b1[v], kept[2][v] = w.b2[v];
            kept[3][v] = w.a1[v], kept[4][v] = w.a2[v], kept[5][v] = w.section[v];
        }
        asm volatile("" : : "r"(kept) : "memory");
        // The output leaves from vector outputVector (< kVectors).
        switch (paired.outputVector) {
        case 0: RunPairedFullSteps<0>(paired, interleaved, count, t, drainStart); break;
        case 1:
            RunPairedFullSteps<(kVectors > 1 ? 1 : 0)>(paired, interleaved, count, t, drainStart);
            break;
        case 2:
            RunPairedFullSteps<(kVectors > 2 ? 2 : 0)>(paired, interleaved, count, t, drainStart);
            break;
        default: RunPairedFullSteps<kVectors - 1>(paired, interleaved, count, t, drainStart); break;
        }
        asm volatile("" : : "r"(kept) : "memory");
        for (int v = 0; v < kVectors; ++v) {
            w.b0[v] = kept[0][v], w.b1[v] = kept[1][v], w.b2[v] = kept[2][v];
            w.a1[v] = kept[3][v], w.a2[v] = kept[4][v], w.section[v] = kept[5][v];
        }
        w.Rearrange(paired, count);
    } else {
        RunFullSteps(w, interleaved, count, t, drainStart);
    }
    t = drainStart;
    // From here on every section up to the last has its frame: only the lowest bound moves.
    for (; t < steps; ++t) EdgeStep<Edge::Drain>(w, interleaved, frames, count, t);
    if constexpr (Ops::kHasMaskRegisters) {
        return w.StoreSectionStates(states, count);
    } else {
        w.StoreStates(table);
        UnpackStates(table, count, states);
        return StatesFinite(states, count);
    }
}

// RunGroup for a group of `vectors` (1..kVectors) vectors.
template <class Ops, int kVectors>
bool RunGroupOfSize(int vectors, const BiquadCoefficients* coefficients,
                    StereoBiquadState* states, int count, float* interleaved, int frames) {
    if constexpr (kVectors > 1) {
        if (vectors < kVectors)
            return RunGroupOfSize<Ops, kVectors - 1>(vectors, coefficients, states, count,
                                                     interleaved, frames);
    }
    return RunGroup<Ops, kVectors>(coefficients, states, count, interleaved, frames);
}

// Runs the cascade in groups of at most kMaxVectors vectors, as evenly sized as the lane pairs
// allow (the last group takes the remainder and the padding).
template <class Ops, int kMaxVectors>
bool RunGroups(const BiquadCoefficients* coefficients, StereoBiquadState* states, int count,
               float* interleaved, int frames) {
    bool finite = true;
    constexpr int kPairs = Ops::kLanes / 2;
    const int vectors = (count + kPairs - 1) / kPairs;
    const int groups = (vectors + kMaxVectors - 1) / kMaxVectors;
    int first = 0;
    for (int group = 0; group < groups; ++group) {
        const int groupVectors = vectors / groups + (group < vectors % groups ? 1 : 0);
        const int groupCount = group == groups - 1 ? count - first : groupVectors * kPairs;
        finite = RunGroupOfSize<Ops, kMaxVectors>(groupVectors, coefficients + first,
                                                  states + first, groupCount, interleaved,
                                                  frames) &&
                 finite;
        first += groupCount;
    }
    return finite;
}

// The block size from which the wavefront pays: below it, the count - 1 fill and drain steps
// and the packing cost more than the wavefront saves, and the sections run one by one.
struct WavefrontFrom {
    int frames;
    int sectionFrames;  // frames * count
};

template <class Ops, int kMaxGroupVectors>
__attribute__((noinline)) bool RunBlock(WavefrontFrom from, const BiquadCoefficients* coefficients,
                                        StereoBiquadState* states, int count, float* interleaved,
                                        int frames) {
    if (count <= 0 || frames <= 0) return StatesFinite(states, count);
    if (frames < from.frames || static_cast<long long>(frames) * count < from.sectionFrames)
        return RunSectionBySection(coefficients, states, count, interleaved, frames);
    return RunGroups<Ops, kMaxGroupVectors>(coefficients, states, count, interleaved, frames);
}

// One frame goes straight to its own path, without the set-up the longer blocks need.
template <class Ops, int kMaxGroupVectors>
LUMO_ALWAYS_INLINE bool RunCascade(WavefrontFrom from, const BiquadCoefficients* coefficients,
                                   StereoBiquadState* states, int count, float* interleaved,
                                   int frames) {
    if (frames == 1) return RunSectionsOnOneFrame(coefficients, states, count, interleaved);
    return RunBlock<Ops, kMaxGroupVectors>(from, coefficients, states, count, interleaved, frames);
}

}  // namespace
}  // namespace lumo::engine
