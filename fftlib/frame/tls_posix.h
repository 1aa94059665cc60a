// Frame-private: the POSIX TLS key of the stand-in loader (tls_posix.cpp).
#pragma once

// Creates the key once (pthread_once); false when it cannot be created.
bool ensureContextKey();
// Releases the calling thread's record (if any) and clears its value.
void releaseOwnContext();
