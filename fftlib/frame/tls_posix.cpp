// POSIX systems: the stand-in for the Win32 loader's TLS slot.
// The calling thread's ThreadContext lives under one pthread key, created on
// first need (or by libraryAttach at load); the key's destructor releases the
// record, its tables and its work buffers when the thread ends.
#if !defined(_WIN32)

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

#include "halvex_internal.h"
#include "tls_posix.h"

namespace {

pthread_key_t contextKey;
pthread_once_t contextKeyOnce = PTHREAD_ONCE_INIT;
bool contextKeyValid = false;  // written once inside pthread_once

// Thread end: pthread has already cleared the thread's value. Only the ending
// thread's own record ever reaches here.
void releaseAtThreadEnd(void* record) {
    halvexOwnContext = nullptr;
    destroyThreadContext(static_cast<ThreadContext*>(record));
}

void createContextKey() {
    contextKeyValid = pthread_key_create(&contextKey, releaseAtThreadEnd) == 0;
}

[[noreturn]] void contextFailure() {
    // Stands in for FatalAppExitA(0, text): the text, then the process ends.
    std::fprintf(stderr, "%s\n", contextFailureText);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

// Only the thread itself sets or clears it, always together with the key's
// value.
__thread ThreadContext* halvexOwnContext HALVEX_TLS_MODEL = nullptr;

bool ensureContextKey() {
    pthread_once(&contextKeyOnce, createContextKey);
    return contextKeyValid;
}

void releaseOwnContext() {
    ThreadContext* own = peekThreadContext();
    if (own == nullptr) return;
    pthread_setspecific(contextKey, nullptr);
    halvexOwnContext = nullptr;
    destroyThreadContext(own);
}

ThreadContext* peekThreadContext() {
    if (!ensureContextKey()) return nullptr;
    return static_cast<ThreadContext*>(pthread_getspecific(contextKey));
}

ThreadContext* getThreadContext() {
    if (halvexOwnContext != nullptr) return halvexOwnContext;
    if (!ensureContextKey()) contextFailure();
    void* value = pthread_getspecific(contextKey);
    if (value != nullptr) return halvexOwnContext = static_cast<ThreadContext*>(value);
    // A thread that has no record yet (it was running before the library was
    // loaded, or it is new): create it now.
    ThreadContext* ctx = createThreadContext();
    if (ctx == nullptr) contextFailure();
    if (pthread_setspecific(contextKey, ctx) != 0) {
        destroyThreadContext(ctx);
        contextFailure();
    }
    return halvexOwnContext = ctx;
}

int32_t libraryAttach() {
    // 1.1: the TLS slot (TlsAlloc).
    if (!ensureContextKey()) return 0;
    // 1.2: the processor dispatch; it has written its message on failure.
    if (!runWaterfall()) return 0;
    // 1.3: as thread attach, for the loading thread (a record it already has
    // is kept).
    if (pthread_getspecific(contextKey) != nullptr) return 1;
    ThreadContext* ctx = createThreadContext();
    if (ctx == nullptr || pthread_setspecific(contextKey, ctx) != 0) {
        destroyThreadContext(ctx);
        std::fprintf(stderr, "%s\n", contextFailureText);
        std::fflush(stderr);
        return 0;
    }
    return 1;
}

#endif
