// The registry platform layer of setup: read-only access to keys under
// HKEY_LOCAL_MACHINE, in Win32 terms. The Windows build passes the calls to
// RegOpenKeyExA (KEY_READ), RegEnumKeyExA, RegQueryValueExA and RegCloseKey.
// The Linux build reads a hive exported by the registry editor (a .reg file)
// named by the environment variable SETUP_REGISTRY; without it every open
// fails with registryFileNotFound, as for a missing key on Windows.
#pragma once

// An open key: HKEY on Windows, a node of the loaded hive on Linux.
typedef void* RegistryKey;

// The predefined root HKEY_LOCAL_MACHINE. It needs no closing.
RegistryKey registryLocalMachine();

// Result codes: the Win32 error codes the registry calls return.
enum : long {
    registrySuccess = 0,          // ERROR_SUCCESS
    registryFileNotFound = 2,     // ERROR_FILE_NOT_FOUND: no such key or value
    registryAccessDenied = 5,     // ERROR_ACCESS_DENIED
    registryMoreData = 234,       // ERROR_MORE_DATA: the buffer is too small
    registryNoMoreItems = 259     // ERROR_NO_MORE_ITEMS: enumeration ended
};

// Opens the key at path (components separated by '\', compared without regard
// to case) below parent for reading (KEY_READ). An empty path opens parent once
// more. On success *result holds a key to be closed with registryCloseKey.
long registryOpenKey(RegistryKey parent, const char* path, RegistryKey* result);

// The name of the index-th subkey (0-based), in the order Windows keeps them
// (names compared case-insensitively, as upper case). *nameSize gives the
// buffer size in characters including the NUL; on success it receives the
// name's length without the NUL. A name that does not fit gives
// registryMoreData and leaves the buffer untouched; past the last subkey
// registryNoMoreItems.
long registryEnumKey(RegistryKey key, unsigned long index, char* name, unsigned long* nameSize);

// The data of the value called name (null or empty: the key's default value),
// whatever its type, as raw bytes; a string comes with its terminating NUL.
// *dataSize gives the buffer size in bytes and receives the data's size. Data
// that does not fit gives registryMoreData and fills nothing; a missing value
// gives registryFileNotFound.
long registryQueryValue(RegistryKey key, const char* name, unsigned char* data, unsigned long* dataSize);

long registryCloseKey(RegistryKey key);
