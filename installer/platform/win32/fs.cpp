// The file system of the Windows build: the Win32 calls themselves.
#include "../fs.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

enum { finalPathChars = 4096 };  // a resolved directory, in UTF-16 units

void toFindData(const WIN32_FIND_DATAA& found, FsFindData* data) {
    data->attributes = found.dwFileAttributes;
    std::memcpy(data->name, found.cFileName, sizeof data->name);
    data->name[sizeof data->name - 1] = '\0';
}

FILETIME toFileTime(const FileTime* time) {
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(time->ticks & 0xFFFFFFFFull);
    out.dwHighDateTime = static_cast<DWORD>(time->ticks >> 32);
    return out;
}

}  // namespace

unsigned long fsLastError() { return GetLastError(); }

bool fsCopyFile(const char* from, const char* to, bool failIfExists) {
    return CopyFileA(from, to, failIfExists ? TRUE : FALSE) != FALSE;
}

FsFind fsFindFirst(const char* pattern, FsFindData* data) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) return nullptr;
    toFindData(found, data);
    return find;
}

bool fsFindNext(FsFind find, FsFindData* data) {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(static_cast<HANDLE>(find), &found)) return false;
    toFindData(found, data);
    return true;
}

void fsFindClose(FsFind find) {
    if (find) FindClose(static_cast<HANDLE>(find));
}

unsigned long fsGetAttributes(const char* path) { return GetFileAttributesA(path); }

FsFile fsOpenForRead(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    // A pipe, console or other device is no file to read a date or a text from.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

bool fsReadFile(FsFile file, void* buffer, unsigned long size, unsigned long* got) {
    DWORD count = 0;
    if (!ReadFile(static_cast<HANDLE>(file), buffer, size, &count, nullptr)) return false;
    *got = count;
    return true;
}

bool fsGetLastWriteTime(FsFile file, FileTime* time) {
    FILETIME written;
    if (!GetFileTime(static_cast<HANDLE>(file), nullptr, nullptr, &written)) return false;
    time->ticks = (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return true;
}

void fsCloseFile(FsFile file) {
    if (file) CloseHandle(static_cast<HANDLE>(file));
}

bool fsFileTimeToLocal(const FileTime* utc, FileTime* local) {
    FILETIME in = toFileTime(utc), out;
    if (!FileTimeToLocalFileTime(&in, &out)) return false;
    local->ticks = (static_cast<unsigned long long>(out.dwHighDateTime) << 32) | out.dwLowDateTime;
    return true;
}

bool fsFileTimeToSystemTime(const FileTime* time, SystemTime* calendar) {
    FILETIME in = toFileTime(time);
    SYSTEMTIME out;
    if (!FileTimeToSystemTime(&in, &out)) return false;
    calendar->year = out.wYear;
    calendar->month = out.wMonth;
    calendar->dayOfWeek = out.wDayOfWeek;
    calendar->day = out.wDay;
    calendar->hour = out.wHour;
    calendar->minute = out.wMinute;
    calendar->second = out.wSecond;
    calendar->milliseconds = out.wMilliseconds;
    return true;
}

bool fsCreateDirectory(const char* path) { return CreateDirectoryA(path, nullptr) != FALSE; }

bool fsDeleteFile(const char* path) { return DeleteFileA(path) != FALSE; }

unsigned long fsGetCurrentDirectory(char* buffer, unsigned long size) {
    return GetCurrentDirectoryA(size, buffer);
}

bool fsSetCurrentDirectory(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

bool fsFinalPath(const char* directory, char* out, size_t size) {
    // Opening the directory follows every link and junction on its way.
    HANDLE handle = CreateFileA(directory, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    // A volume without a drive letter has no DOS name: its object name is
    // given behind "\\?\GLOBALROOT", which the root rule reads as well.
    const wchar_t globalRoot[] = L"\\\\?\\GLOBALROOT";
    const size_t prefix = sizeof globalRoot / sizeof globalRoot[0] - 1;
    wchar_t path[finalPathChars];
    DWORD length = GetFinalPathNameByHandleW(handle, path, finalPathChars, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= finalPathChars) {
        std::memcpy(path, globalRoot, prefix * sizeof path[0]);
        length = GetFinalPathNameByHandleW(handle, path + prefix, static_cast<DWORD>(finalPathChars - prefix),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
        length = length == 0 || length >= finalPathChars - prefix ? 0 : static_cast<DWORD>(length + prefix);
    }
    CloseHandle(handle);
    if (length == 0) return false;
    char text[finalPathChars * 2];
    int bytes = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(length), text, sizeof text, nullptr, nullptr);
    if (bytes <= 0 || static_cast<size_t>(bytes) + 1 > size) return false;
    std::memcpy(out, text, static_cast<size_t>(bytes));
    out[bytes] = '\0';
    return true;
}

bool fsDirectoryOfPath(const char* path, char* out, size_t size) {
    char drive[_MAX_DRIVE];
    char directory[1024];
    if (!path || !out || _splitpath_s(path, drive, sizeof drive, directory, sizeof directory, nullptr, 0, nullptr, 0) != 0)
        return false;
    size_t driveLength = std::strlen(drive), directoryLength = std::strlen(directory);
    if (driveLength + directoryLength + 1 > size) return false;
    std::memcpy(out, drive, driveLength);
    std::memcpy(out + driveLength, directory, directoryLength + 1);
    return true;
}
