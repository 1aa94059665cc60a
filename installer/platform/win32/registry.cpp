// The registry of the Windows build: the Win32 calls themselves, read only.
#include "../registry.h"

#include <windows.h>

RegistryKey registryLocalMachine() { return reinterpret_cast<RegistryKey>(HKEY_LOCAL_MACHINE); }

long registryOpenKey(RegistryKey parent, const char* path, RegistryKey* result) {
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(static_cast<HKEY>(parent), path, 0, KEY_READ, &opened);
    *result = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : nullptr;
    return status;
}

long registryEnumKey(RegistryKey key, unsigned long index, char* name, unsigned long* nameSize) {
    DWORD size = *nameSize;
    LONG status = RegEnumKeyExA(static_cast<HKEY>(key), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    *nameSize = size;
    return status;
}

long registryQueryValue(RegistryKey key, const char* name, unsigned char* data, unsigned long* dataSize) {
    DWORD size = *dataSize;
    LONG status = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, nullptr, data, &size);
    *dataSize = size;
    return status;
}

long registryCloseKey(RegistryKey key) { return RegCloseKey(static_cast<HKEY>(key)); }
