// The export kfxcrFftNip has no body of its own; it is one indirect
// jump through halvexCallSlot, so the caller's six arguments and its return
// address reach the bound variant body untouched (on i686 the body, being
// stdcall, removes the 24 bytes of arguments).
#include <cstdio>
#include <cstdlib>

#include "halvex_internal.h"

#if defined(_WIN32) && defined(__x86_64__)

// Windows x86-64: exported undecorated through halvex.def.
asm(R"(
    .text
    .globl kfxcrFftNip
    .def kfxcrFftNip; .scl 2; .type 32; .endef
    .p2align 4
kfxcrFftNip:
    jmp *halvexCallSlot(%rip)
)");

#elif defined(_WIN32) && defined(__i386__)

// Windows i686: the stdcall-decorated name (six 4-byte arguments: @24), which
// halvex.def exports as kfxcrFftNip; C symbols carry a leading underscore.
asm(R"(
    .text
    .globl _kfxcrFftNip@24
    .def _kfxcrFftNip@24; .scl 2; .type 32; .endef
    .p2align 4
_kfxcrFftNip@24:
    jmp *_halvexCallSlot
)");

#elif (defined(__x86_64__) || defined(__i386__)) && defined(__ELF__)

// Linux (the stand-in loader): the same jump, except that a library whose
// load failed (the slot is still null, see libraryAttach) stops with a
// message instead of jumping to address 0; a Win32 host cannot reach this
// case, since there the load itself fails.
extern "C" [[noreturn]] void halvexExportNotBound();
extern "C" __attribute__((used)) void halvexExportNotBound() {
    std::fputs("halvex: kfxcrFftNip called, but the library did not load\n", stderr);
    std::abort();
}

#if defined(__x86_64__)
asm(R"(
    .text
    .globl kfxcrFftNip
    .type kfxcrFftNip, @function
    .p2align 4
kfxcrFftNip:
    movq halvexCallSlot(%rip), %rax
    testq %rax, %rax
    jz 1f
    jmp *%rax
1:
    jmp halvexExportNotBound
    .size kfxcrFftNip, .-kfxcrFftNip
)");
#else
// i686: position-independent code reaches the slot from the GOT's address,
// which it computes into eax (free at a call; the arguments stay where the
// caller pushed them).
asm(R"(
    .text
    .globl kfxcrFftNip
    .type kfxcrFftNip, @function
    .p2align 4
kfxcrFftNip:
    call 0f
0:
    popl %eax
    addl $_GLOBAL_OFFSET_TABLE_+[.-0b], %eax
    movl halvexCallSlot@GOTOFF(%eax), %eax
    testl %eax, %eax
    jz 1f
    jmp *%eax
1:
    jmp halvexExportNotBound
    .size kfxcrFftNip, .-kfxcrFftNip
)");
#endif

#else

// Other processors (no CPUID, so no variant ever binds there): a forwarding
// function in place of the jump.
extern "C" void HALVEX_STDCALL kfxcrFftNip(const float* reInSamps, const float* imInSamps,
                                           float* reOutSamps, float* imOutSamps, int32_t order,
                                           int32_t flags) {
    const TransformEntry entry = boundTransform();
    if (entry == nullptr) {
        std::fputs("halvex: kfxcrFftNip called, but the library did not load\n", stderr);
        std::abort();
    }
    entry(reInSamps, imInSamps, reOutSamps, imOutSamps, order, flags);
}

#endif
