// Windows: getThreadContext through the TLS slot that DllMain
// (dllmain_win32.cpp) allocates at process attach.
#if defined(_WIN32)

#include <windows.h>

#include "halvex_internal.h"
#include "tls_win32.h"

DWORD halvexTlsIndex = TLS_OUT_OF_INDEXES;

namespace {

// halvex_internal has no DllMain: its programs get the TLS index on first
// use. In halvex.dll process attach has always set it before any call.
DWORD tlsIndexForUse() {
    DWORD index = halvexTlsIndex;
    if (index != TLS_OUT_OF_INDEXES) return index;
    const DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) return fresh;
    volatile LONG* target = reinterpret_cast<volatile LONG*>(&halvexTlsIndex);
    const LONG previous = InterlockedCompareExchange(target, static_cast<LONG>(fresh),
                                                     static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (previous != static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        TlsFree(fresh);  // another thread was first
        return static_cast<DWORD>(previous);
    }
    return fresh;
}

}  // namespace

ThreadContext* peekThreadContext() {
    const DWORD index = halvexTlsIndex;
    if (index == TLS_OUT_OF_INDEXES) return nullptr;
    return static_cast<ThreadContext*>(TlsGetValue(index));
}

ThreadContext* getThreadContext() {
    const DWORD index = tlsIndexForUse();
    if (index == TLS_OUT_OF_INDEXES) {
        FatalAppExitA(0, contextFailureText);
        ExitProcess(1);  // not reached: FatalAppExitA ends the process
    }
    // 6.1: the record of this thread, if it has one.
    void* value = TlsGetValue(index);
    if (value != nullptr) return static_cast<ThreadContext*>(value);
    // 6.2: a thread that was running before the library was loaded.
    ThreadContext* ctx = createThreadContext();  // LocalAlloc(LMEM_ZEROINIT) + init
    if (ctx == nullptr) {
        FatalAppExitA(0, contextFailureText);
        ExitProcess(1);  // not reached
    }
    // 6.3
    TlsSetValue(index, ctx);
    return ctx;
}

#endif
