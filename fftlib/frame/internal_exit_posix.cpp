// halvex_internal only (POSIX): at exit of a program linked with the internal
// library, release the exiting thread's record like a process detach would,
// so that its tables and buffers do not outlive the program's own checks. The
// key itself is kept (the code stays mapped and other threads may still run).
#if !defined(_WIN32)

#include "halvex_internal.h"
#include "tls_posix.h"

namespace {

__attribute__((destructor)) void halvexInternalExit() { releaseOwnContext(); }

}  // namespace

#endif
