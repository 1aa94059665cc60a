// The DLL entry point of halvex.dll (linked into the DLL only). The
// C runtime's start-up code runs before it on every attach and its shut-down
// code after it on every detach (mingw's DllMainCRTStartup calls DllMain).
#if defined(_WIN32)

#include <windows.h>

#include "halvex_internal.h"
#include "tls_win32.h"

namespace {

// Thread attach, and the tail of process attach.
BOOL attachThread() {
    ThreadContext* ctx = createThreadContext();
    if (ctx == nullptr) return FALSE;  // (ignored by the system for thread attach)
    TlsSetValue(halvexTlsIndex, ctx);
    return TRUE;
}

// Thread detach, and the first half of process detach: the calling thread's
// record together with its tables and work buffers. The value is cleared as
// well, so that a later call on this thread (another DLL's detach) creates a
// new record instead of using a released one.
void detachThread() {
    if (halvexTlsIndex == TLS_OUT_OF_INDEXES) return;
    void* value = TlsGetValue(halvexTlsIndex);
    if (value != nullptr) {
        TlsSetValue(halvexTlsIndex, nullptr);
        destroyThreadContext(static_cast<ThreadContext*>(value));  // tables, buffers, LocalFree
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            // 1.1: the TLS index.
            halvexTlsIndex = TlsAlloc();
            if (halvexTlsIndex == TLS_OUT_OF_INDEXES) return FALSE;
            // 1.2: the processor dispatch (shows its message box on failure;
            // the index is released by the process detach that follows).
            if (!runWaterfall()) return FALSE;
            // 1.3: as thread attach, for the loading thread.
            return attachThread();
        case DLL_THREAD_ATTACH:
            return attachThread();
        case DLL_THREAD_DETACH:
            detachThread();
            return TRUE;
        case DLL_PROCESS_DETACH:
            if (halvexTlsIndex != TLS_OUT_OF_INDEXES) {
                detachThread();
                TlsFree(halvexTlsIndex);
                halvexTlsIndex = TLS_OUT_OF_INDEXES;
            }
            return TRUE;
        default:
            return TRUE;
    }
}

#endif
