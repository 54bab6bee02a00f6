#include "platform/audio/core/Kernels.h"

#include <cpuid.h>

namespace ovelaudio {
namespace {

constexpr unsigned kFeatureLeaf = 1;
constexpr unsigned kSse2Bit = 1u << 26;  // of EDX

bool ProcessorHasSse2()
{
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    return __get_cpuid(kFeatureLeaf, &eax, &ebx, &ecx, &edx) && (edx & kSse2Bit) != 0;
}

}  // namespace

const KernelSet& ChosenKernels()
{
    static const KernelSet& chosen = ProcessorHasSse2() ? kSse2Kernels : kPortableKernels;
    return chosen;
}

}  // namespace ovelaudio
