// halvex.dll as a plug-in loads it (Windows; runs under Wine for x86-64): a
// thread that was already running before LoadLibrary calls the export (its
// record is created lazily by getThreadContext, as no thread attach reaches
// it), the loading thread calls it (its record comes from process attach), a
// thread started afterwards calls it (thread attach), and FreeLibrary ends it.
// The DLL is copied beside this program by the build.
#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "../../fftlib/engine/variants.h"
#include "halvex_internal.h"

namespace {

typedef void(HALVEX_STDCALL* Export)(const float*, const float*, float*, float*, int32_t, int32_t);

bool orderOneForward(Export entry, float a, float b) {
    const float reIn[2] = {a, b};
    const float imIn[2] = {0.0f, 0.0f};
    float reOut[2] = {-1.0f, -1.0f};
    float imOut[2] = {-1.0f, -1.0f};
    entry(reIn, imIn, reOut, imOut, 1, 1);
    return reOut[0] == a + b && reOut[1] == a - b && imOut[0] == 0.0f && imOut[1] == 0.0f;
}

TEST(FrameDll, AThreadRunningBeforeTheLoadCallsTheExport) {
    if (variantForClass(classifyProcessor()) < 0) {
        // The load would show the modal "Set ZAdu error" box.
        ASSERT_EQ(variantEntries[0], nullptr);
        GTEST_SKIP() << "no variant is built yet (variantEntries[0] is null): the load is refused";
    }
    std::mutex mutex;
    std::condition_variable changed;
    Export entry = nullptr;
    bool loaded = false;
    int earlyResults = 0;
    std::thread early([&] {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return loaded; });
        lock.unlock();
        int ok = 0;
        ok += orderOneForward(entry, 3.0f, 1.0f);
        ok += orderOneForward(entry, 5.0f, 2.0f);
        lock.lock();
        earlyResults = ok;
    });
    HMODULE module = LoadLibraryA("halvex.dll");
    ASSERT_NE(module, nullptr) << GetLastError();
    entry = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, "kfxcrFftNip")));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GetProcAddress(module, "getThreadContext"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "kfxcrFftNip@24"), nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex);
        loaded = true;
    }
    changed.notify_all();
    early.join();
    EXPECT_EQ(earlyResults, 2);
    EXPECT_TRUE(orderOneForward(entry, 7.0f, -1.0f));
    bool laterOk = false;
    std::thread later([&] { laterOk = orderOneForward(entry, 1.0f, 1.0f); });
    later.join();
    EXPECT_TRUE(laterOk);
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
