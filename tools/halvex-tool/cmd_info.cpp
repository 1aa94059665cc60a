// halvex-tool info: the processor probe, the class it gives and the
// variant the library binds on this machine with the variants of this build.
//
// Output (one "name: value" line each, exit code 0):
//   maximum leaf: <EAX of CPUID leaf 0, decimal>
//   family: <bits 8..11 of EAX of leaf 1, decimal; 0 without leaf 1>
//   MMX: yes|no
//   SSE: yes|no
//   SSE2: yes|no
//   class: <0..5>, or "6 (no usable CPUID information)"
//   variant: <0..5>, with " (first choice <c> is not built)" when the walk
//            fell back; or "none (the library refuses to load: No ZAdu
//            matching to CPU was found during the Waterfall)"
// Any argument: usage on standard error, exit code 2.
#include <cstdio>

#include "commands.h"
#include "halvex_internal.h"

int commandInfo(int argc, char** /*argv*/) {
    if (argc > 1) {
        std::fprintf(stderr, "usage: halvex-tool info\n");
        return 2;
    }
    ProcessorInfo info{};
    probeProcessor(&info);
    const int32_t processorClass = classifyProcessor();
    std::printf("maximum leaf: %d\n", static_cast<int>(info.maxLeaf));
    std::printf("family: %d\n", static_cast<int>(info.family));
    std::printf("MMX: %s\n", info.hasMmx ? "yes" : "no");
    std::printf("SSE: %s\n", info.hasSse ? "yes" : "no");
    std::printf("SSE2: %s\n", info.hasSse2 ? "yes" : "no");
    if (processorClass == processorClassNone) {
        std::printf("class: 6 (no usable CPUID information)\n");
    } else {
        std::printf("class: %d\n", static_cast<int>(processorClass));
    }
    const int32_t variant = variantForClass(processorClass);
    if (variant < 0) {
        std::printf("variant: none (the library refuses to load:%s)\n", waterfallFailureText);
    } else if (variant != processorClass) {
        std::printf("variant: %d (first choice %d is not built)\n", static_cast<int>(variant),
                    static_cast<int>(processorClass));
    } else {
        std::printf("variant: %d\n", static_cast<int>(variant));
    }
    return 0;
}
