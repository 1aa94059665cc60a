// The processor probe, CPUID leaves 0 and 1. The only
// processor-specific instruction of the frame; plain integer code otherwise.
#include "halvex_internal.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>

int32_t probeProcessor(ProcessorInfo* info) {
    *info = ProcessorInfo{};
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    // The library does not test whether CPUID exists before executing it.
    __cpuid(0, eax, ebx, ecx, edx);
    info->maxLeaf = static_cast<int32_t>(eax);
    if (info->maxLeaf == 0) return 0;
    __cpuid(1, eax, ebx, ecx, edx);
    info->family = static_cast<int32_t>((eax >> 8) & 0xFu);
    info->hasMmx = static_cast<int32_t>((edx >> 23) & 1u);
    info->hasSse = static_cast<int32_t>((edx >> 25) & 1u);
    info->hasSse2 = static_cast<int32_t>((edx >> 26) & 1u);
    return 1;
}

#else

// Not an x86 processor: no CPUID information, so the Waterfall fails.
int32_t probeProcessor(ProcessorInfo* info) {
    *info = ProcessorInfo{};
    return 0;
}

#endif
