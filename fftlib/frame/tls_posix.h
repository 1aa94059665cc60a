// Frame-private: the POSIX TLS key of the stand-in loader (tls_posix.cpp).
#pragma once

// Creates the key once (pthread_once); false when it cannot be created.
bool ensureContextKey();
// Unload of libhalvex.so: releases the calling thread's record and deletes the
// key, so that no destructor of the unloaded library is called later. Records
// of threads still running are not touched (they are never released).
void releaseContextKey();
// Releases the calling thread's record (if any) and clears its value.
void releaseOwnContext();
