// The stand-in loader of libhalvex.so (POSIX systems; linked into
// the shared library only, not into halvex_internal).
//
// Load: the constructor performs process attach (libraryAttach): the TLS key,
// the Waterfall (on failure the line "Set ZAdu error: No ZAdu matching to CPU
// was found during the Waterfall" on standard error; the call slot stays null),
// and the loading thread's record (on failure "Problem to allocate memory for
// TLS KFX context." on standard error). A shared object cannot make dlopen
// fail from its constructor, so a failed attach leaves the library mapped but
// unbound; its export then stops the process with a message if called.
//
// Threads: every thread's record is created on its first call and released,
// with its tables and work buffers, when the thread ends (the key's
// destructor). The library is linked with -z nodelete: dlclose leaves it
// mapped, so that destructor stays valid for every thread that ends later.
// Process detach (at exit): the exiting thread's record is released; records
// of threads still running are left alone, and the key is kept for them.
#if !defined(_WIN32)

#include "halvex_internal.h"
#include "tls_posix.h"

namespace {

__attribute__((constructor)) void halvexProcessAttach() { libraryAttach(); }

__attribute__((destructor)) void halvexProcessDetach() { releaseOwnContext(); }

}  // namespace

#endif
