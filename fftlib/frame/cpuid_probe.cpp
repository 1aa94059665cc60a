// The processor probe, CPUID leaves 0 and 1, and for the vector variants'
// register width leaf 7 and XGETBV. The only processor-specific instructions of the
// frame; plain integer code otherwise.
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
    info->hasAvx = static_cast<int32_t>((ecx >> 28) & 1u);
    // XGETBV exists only where OSXSAVE says the system has enabled it.
    if ((ecx >> 27) & 1u) {
        unsigned int low = 0, high = 0;
        __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0u));
        info->savedState = low;
    }
    if (info->maxLeaf >= 7) {
        __cpuid_count(7, 0, eax, ebx, ecx, edx);
        info->hasAvx2 = static_cast<int32_t>((ebx >> 5) & 1u);
        info->hasAvx512f = static_cast<int32_t>((ebx >> 16) & 1u);
    }
    return 1;
}

#else

// Not an x86 processor: no CPUID information, so the Waterfall fails.
int32_t probeProcessor(ProcessorInfo* info) {
    *info = ProcessorInfo{};
    return 0;
}

#endif
