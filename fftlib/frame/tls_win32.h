// Frame-private: the Win32 TLS index of halvex (tls_win32.cpp).
#pragma once
#include <windows.h>

// TLS_OUT_OF_INDEXES (-1) until process attach stores TlsAlloc's result.
extern DWORD halvexTlsIndex;
