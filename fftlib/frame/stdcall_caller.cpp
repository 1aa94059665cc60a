// A Windows caller of halvex.dll as a plug-in would be: it declares the export
// itself (__stdcall on i686, six arguments, no result), links through the
// import library, calls an order-1 forward transform of (3, 1) and checks the
// result (4, 2); then the same through GetProcAddress by the undecorated name.
// Exit code 0 on success. Run on Windows (or under Wine for x86-64).
#include <windows.h>

#include <cstdint>
#include <cstdio>

extern "C" __declspec(dllimport) void __stdcall kfxcrFftNip(const float* reInSamps,
                                                            const float* imInSamps,
                                                            float* reOutSamps, float* imOutSamps,
                                                            int32_t order, int32_t flags);

int main() {
    const float reIn[2] = {3.0f, 1.0f};
    const float imIn[2] = {0.0f, 0.0f};
    float reOut[2] = {0.0f, 0.0f};
    float imOut[2] = {0.0f, 0.0f};
    kfxcrFftNip(reIn, imIn, reOut, imOut, 1, 1);
    const bool ok = reOut[0] == 4.0f && reOut[1] == 2.0f && imOut[0] == 0.0f && imOut[1] == 0.0f;
    // Through GetProcAddress as well, by the undecorated name.
    typedef void(__stdcall * Entry)(const float*, const float*, float*, float*, int32_t, int32_t);
    HMODULE module = GetModuleHandleA("halvex.dll");
    FARPROC address = module != nullptr ? GetProcAddress(module, "kfxcrFftNip") : nullptr;
    bool okByName = false;
    if (address != nullptr) {
        Entry entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(address));
        float re2[2] = {0.0f, 0.0f};
        float im2[2] = {0.0f, 0.0f};
        entry(reIn, imIn, re2, im2, 1, 1);
        okByName = re2[0] == 4.0f && re2[1] == 2.0f;
    }
    std::printf("kfxcrFftNip through the import library: %s\n", ok ? "ok" : "WRONG");
    std::printf("kfxcrFftNip through GetProcAddress: %s\n", okByName ? "ok" : "WRONG");
    return ok && okByName ? 0 : 1;
}
