// libhalvex.so as a plug-in loads it: a thread that was already running before
// the library was loaded calls the export (its record is created lazily), the
// loading thread calls it, and the load is silent on standard error.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "halvex_internal.h"

#ifndef HALVEX_SO_PATH
#error "HALVEX_SO_PATH must name libhalvex.so"
#endif

namespace {

typedef void (*Export)(const float*, const float*, float*, float*, int32_t, int32_t);

// dlopen with standard error redirected into a file, returned in `err`.
void* openCapturingStderr(std::string& err) {
    char path[] = "/tmp/halvex-dlopen-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return nullptr;
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(fd, 2);
    void* handle = dlopen(HALVEX_SO_PATH, RTLD_NOW | RTLD_LOCAL);
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(fd);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    err = text.str();
    unlink(path);
    return handle;
}

bool orderOneForward(Export entry, float a, float b) {
    const float reIn[2] = {a, b};
    const float imIn[2] = {0.0f, 0.0f};
    float reOut[2] = {-1.0f, -1.0f};
    float imOut[2] = {-1.0f, -1.0f};
    entry(reIn, imIn, reOut, imOut, 1, 1);
    return reOut[0] == a + b && reOut[1] == a - b && imOut[0] == 0.0f && imOut[1] == 0.0f;
}

TEST(FrameSharedLibrary, AThreadRunningBeforeTheLoadCallsTheExport) {
    std::mutex mutex;
    std::condition_variable changed;
    Export entry = nullptr;
    bool loaded = false;
    int earlyResults = 0;

    // The early thread starts before the library is loaded and waits for it.
    std::thread early([&] {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return loaded; });
        lock.unlock();
        int ok = 0;
        ok += orderOneForward(entry, 3.0f, 1.0f);  // first call: record created lazily
        ok += orderOneForward(entry, 5.0f, 2.0f);  // second call: the same record
        lock.lock();
        earlyResults = ok;
    });

    std::string err;
    void* handle = openCapturingStderr(err);
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_EQ(err, "") << "the load wrote to standard error";
    entry = reinterpret_cast<Export>(dlsym(handle, "kfxcrFftNip"));
    ASSERT_NE(entry, nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex);
        loaded = true;
    }
    changed.notify_all();
    early.join();
    EXPECT_EQ(earlyResults, 2);
    EXPECT_TRUE(orderOneForward(entry, 7.0f, -1.0f));  // the loading thread
    // A thread started and ended while loaded is released at its end.
    std::thread later([&] { EXPECT_TRUE(orderOneForward(entry, 1.0f, 1.0f)); });
    later.join();
    // A thread that called while loaded and ends after dlclose: the library
    // stays mapped (-z nodelete), so its record is still released at its end
    // (LeakSanitizer checks that in the sanitizer build).
    bool closed = false;
    bool lateOk = false;
    std::thread afterClose([&] {
        lateOk = orderOneForward(entry, 2.0f, 2.0f);
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return closed; });
    });
    EXPECT_EQ(dlclose(handle), 0);
    {
        std::lock_guard<std::mutex> lock(mutex);
        closed = true;
    }
    changed.notify_all();
    afterClose.join();
    EXPECT_TRUE(lateOk);
}

}  // namespace
