// The file system of the Windows build: the Win32 calls themselves.
#include "../fs.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

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
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
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
