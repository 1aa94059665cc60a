// A Windows caller of halvex.dll as a plug-in would be: it includes halvex.h
// (__stdcall on i686, six arguments, no result), links through the import
// library, calls an order-1 forward transform of (3, 1) and checks the
// result (4, 2); then the same through GetProcAddress by the undecorated name.
// Exit code 0 on success. Run on Windows (or under Wine for x86-64).
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "halvex.h"

int main() {
    const float reIn[2] = {3.0f, 1.0f};
    const float imIn[2] = {0.0f, 0.0f};
    float reOut[2] = {0.0f, 0.0f};
    float imOut[2] = {0.0f, 0.0f};
    kfxcrFftNip(reIn, imIn, reOut, imOut, 1, HALVEX_FORWARD);
    const bool ok = reOut[0] == 4.0f && reOut[1] == 2.0f && imOut[0] == 0.0f && imOut[1] == 0.0f;
    // Through GetProcAddress as well, by the undecorated name.
    HMODULE module = GetModuleHandleA("halvex.dll");
    FARPROC address = module != nullptr ? GetProcAddress(module, "kfxcrFftNip") : nullptr;
    bool okByName = false;
    if (address != nullptr) {
        HalvexFftFunction entry = reinterpret_cast<HalvexFftFunction>(reinterpret_cast<void*>(address));
        float re2[2] = {0.0f, 0.0f};
        float im2[2] = {0.0f, 0.0f};
        entry(reIn, imIn, re2, im2, 1, HALVEX_FORWARD);
        okByName = re2[0] == 4.0f && re2[1] == 2.0f;
    }
    std::printf("kfxcrFftNip through the import library: %s\n", ok ? "ok" : "WRONG");
    std::printf("kfxcrFftNip through GetProcAddress: %s\n", okByName ? "ok" : "WRONG");
    return ok && okByName ? 0 : 1;
}
