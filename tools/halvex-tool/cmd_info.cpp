// halvex-tool info: the processor probe, the class it gives, the variant the
// library binds on this machine with the variants of this build, and the
// register width of the body it runs.
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
//   AVX: yes|no, or "yes, not saved by the system" when XCR0 lacks its state
//   AVX2: the same
//   AVX-512F: the same
//   width: <bits> (the body the vector variant runs: "variant <v>'s
//          SSE|SSE2|AVX|AVX-512F body"), or "none (variant <v> is scalar)"
//          and "none" when nothing binds
// Any argument: usage on standard error, exit code 2.
#include <cstdio>

#include "commands.h"
#include "engine/variants.h"
#include "halvex_internal.h"

namespace {

// "yes", "no", or "yes, not saved by the system" for a feature of CPUID whose
// registers need the state bits `state` of XCR0.
const char* featureText(int32_t has, uint32_t savedState, uint32_t state) {
    if (!has) return "no";
    return (savedState & state) == state ? "yes" : "yes, not saved by the system";
}

}  // namespace

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
    std::printf("AVX: %s\n", featureText(info.hasAvx, info.savedState, 0x6u));
    std::printf("AVX2: %s\n", featureText(info.hasAvx && info.hasAvx2, info.savedState, 0x6u));
    std::printf("AVX-512F: %s\n", featureText(info.hasAvx && info.hasAvx512f, info.savedState, 0xE6u));
    const int32_t bits = vectorWidthFor(info, variant);
    if (bits > 0) {
        std::printf("width: %d (variant %d's %s body)\n", static_cast<int>(bits), static_cast<int>(variant),
                    widthName(variant, bits));
    } else if (variant >= 0) {
        std::printf("width: none (variant %d is scalar)\n", static_cast<int>(variant));
    } else {
        std::printf("width: none\n");
    }
    return 0;
}
