// Which kernel runs: the CPU's and the OS's features, detected once, and a pure choice on them.
#include "engine/cascade/CascadeKernels.h"

namespace lumo::engine {

CpuFeatures DetectCpuFeatures() {
    // libgcc reads CPUID and, for the AVX sets, XGETBV: a feature counts only when the OS also
    // saves its registers.
    __builtin_cpu_init();
    CpuFeatures features;
    features.sse2 = __builtin_cpu_supports("sse2") != 0;
    features.avx2 = __builtin_cpu_supports("avx2") != 0;
    features.avx512f = __builtin_cpu_supports("avx512f") != 0;
    return features;
}

CascadePath ChooseCascadePath(const CpuFeatures& features) {
    // The AVX-512F kernel is compiled with the AVX2 instructions AVX-512F implies, so it needs
    // both (every CPU with AVX-512F has AVX2 as well).
    if (features.avx512f && features.avx2 && features.sse2) return CascadePath::Avx512;
    if (features.avx2 && features.sse2) return CascadePath::Avx2;
    if (features.sse2) return CascadePath::Sse2;
    return CascadePath::Scalar;
}

bool CascadePathAvailable(CascadePath path) {
    // Each path needs the features of the ones before it, so all up to the chosen one run here.
    return static_cast<int>(path) <= static_cast<int>(SelectedCascadePath());
}

CascadeKernel CascadeKernelOf(CascadePath path) {
    switch (path) {
    case CascadePath::Scalar: return CascadeScalar;
    case CascadePath::Sse2: return CascadeSse2;
    case CascadePath::Avx2: return CascadeAvx2;
    case CascadePath::Avx512: return CascadeAvx512;
    }
    return CascadeScalar;
}

FewFramesKernel FewFramesKernelOf(CascadePath path) {
    switch (path) {
    case CascadePath::Scalar: return nullptr;
    case CascadePath::Sse2: return FewFramesSse2;
    case CascadePath::Avx2: return FewFramesAvx2;
    case CascadePath::Avx512: return FewFramesAvx512;
    }
    return nullptr;
}

CascadePath SelectedCascadePath() {
    static const CascadePath path = ChooseCascadePath(DetectCpuFeatures());
    return path;
}

CascadeKernel SelectedCascadeKernel() { return CascadeKernelOf(SelectedCascadePath()); }

const char* CascadePathName(CascadePath path) {
    switch (path) {
    case CascadePath::Scalar: return "scalar";
    case CascadePath::Sse2: return "sse2";
    case CascadePath::Avx2: return "avx2";
    case CascadePath::Avx512: return "avx512";
    }
    return "?";
}

}  // namespace lumo::engine
