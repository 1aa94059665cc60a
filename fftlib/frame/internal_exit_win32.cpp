// halvex_internal only (Windows), compiled into each program that links the
// internal library: a program has no DllMain of halvex, so a TLS callback of
// the program does what halvex.dll's thread detach and process detach do for
// the ending thread: release its record with its tables and work buffers.
#if defined(_WIN32)

#include <windows.h>

#include "halvex_internal.h"
#include "tls_win32.h"

namespace {

void NTAPI halvexInternalThreadEnd(PVOID /*module*/, DWORD reason, PVOID /*reserved*/) {
    if (reason != DLL_THREAD_DETACH && reason != DLL_PROCESS_DETACH) return;
    if (halvexTlsIndex == TLS_OUT_OF_INDEXES) return;
    void* value = TlsGetValue(halvexTlsIndex);
    if (value == nullptr) return;
    TlsSetValue(halvexTlsIndex, nullptr);
    destroyThreadContext(static_cast<ThreadContext*>(value));
}

}  // namespace

// Between the C runtime's __xl_a and __xl_z: called by the loader for every
// thread end of the program (and at its exit).
extern "C" __attribute__((section(".CRT$XLH"), used))
const PIMAGE_TLS_CALLBACK halvexInternalTlsCallback = halvexInternalThreadEnd;

#endif
