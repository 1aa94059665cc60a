// The file-system platform layer of setup, in Win32 terms. The Windows build
// passes the calls to CopyFileA, FindFirstFileA/FindNextFileA/FindClose,
// GetFileAttributesA, CreateFileA/GetFileType/ReadFile/GetFileTime/
// FileTimeToLocalFileTime/FileTimeToSystemTime, GetFinalPathNameByHandleW,
// CreateDirectoryA, DeleteFileA, Get/SetCurrentDirectoryA and _splitpath. The
// Linux build is a POSIX stand-in: both '\' and '/' separate directories, and
// the attributes, times and failures follow Windows.
#pragma once
#include <cstddef>

enum { fsMaxPath = 260 };  // MAX_PATH: a path with its NUL

// File attributes (FILE_ATTRIBUTE_*).
enum : unsigned long {
    fsAttributeReadOnly = 0x1,
    fsAttributeSystem = 0x4,
    fsAttributeDirectory = 0x10,
    fsAttributeNormal = 0x80,
    fsAttributeReparsePoint = 0x400,
    fsInvalidAttributes = 0xFFFFFFFFul  // INVALID_FILE_ATTRIBUTES
};

// Error codes of fsLastError (the Win32 ones).
enum : unsigned long {
    fsErrorFileNotFound = 2,
    fsErrorPathNotFound = 3,
    fsErrorAccessDenied = 5,
    fsErrorFileExists = 80,
    fsErrorAlreadyExists = 183
};

// The Win32 FILETIME: 100-nanosecond intervals since 1601-01-01.
struct FileTime {
    unsigned long long ticks;
};

// The Win32 SYSTEMTIME: a calendar time.
struct SystemTime {
    unsigned short year;
    unsigned short month;      // 1..12
    unsigned short dayOfWeek;  // 0 Sunday
    unsigned short day;
    unsigned short hour;
    unsigned short minute;
    unsigned short second;
    unsigned short milliseconds;
};

// One entry of a directory listing (WIN32_FIND_DATAA, the parts setup uses).
struct FsFindData {
    unsigned long attributes;
    char name[fsMaxPath];
};

typedef void* FsFind;  // a listing; null when it could not start
typedef void* FsFile;  // a file opened for reading; null when it could not be opened

// The error of the last failing call (GetLastError).
unsigned long fsLastError();

// Copies a file. With failIfExists an existing target makes it fail; without,
// the target is replaced. The copy keeps the source's last-write time. On
// Linux a source or target that is not a regular file fails the copy at once.
bool fsCopyFile(const char* from, const char* to, bool failIfExists);

// Lists the entries matching pattern ("dir\*"), "." and ".." included. On
// Linux a name holding a backslash is passed over: it would be read as a path.
FsFind fsFindFirst(const char* pattern, FsFindData* data);
bool fsFindNext(FsFind find, FsFindData* data);
void fsFindClose(FsFind find);

// The attributes of a path, or fsInvalidAttributes. On Linux a link, and a
// directory on another mount than the directory it stands in, carry
// fsAttributeReparsePoint, as links and mounted folders do on Windows.
unsigned long fsGetAttributes(const char* path);

// Opens an existing regular file for reading, sharing reading only. A
// directory, FIFO, device or socket is refused (fsErrorAccessDenied) without
// being waited on: on Linux its type is looked at before it is opened.
FsFile fsOpenForRead(const char* path);
// Reads up to size bytes; *got is 0 at the end of the file.
bool fsReadFile(FsFile file, void* buffer, unsigned long size, unsigned long* got);
bool fsGetLastWriteTime(FsFile file, FileTime* time);
void fsCloseFile(FsFile file);
bool fsFileTimeToLocal(const FileTime* utc, FileTime* local);
bool fsFileTimeToSystemTime(const FileTime* time, SystemTime* calendar);

// Creates one directory level with default security. On failure fsLastError
// tells fsErrorAlreadyExists (the name exists) from other reasons.
bool fsCreateDirectory(const char* path);

bool fsDeleteFile(const char* path);

// Writes the current directory into buffer. Returns its length, 0 on failure,
// or the size needed (NUL included) when it does not fit, buffer untouched.
unsigned long fsGetCurrentDirectory(char* buffer, unsigned long size);
bool fsSetCurrentDirectory(const char* path);

// Where a directory leads: its absolute path with every link, junction, mount
// point and "." or ".." part resolved (Linux: realpath; Windows: the final
// path of the opened directory, spelt "\\?\X:\...", "\\?\UNC\..." or
// "\\?\GLOBALROOT\Device\..."). False, out untouched, when it cannot be
// resolved or the result does not fit into size bytes.
bool fsFinalPath(const char* directory, char* out, size_t size);

// The drive and directory of a file's path, joined again ("D:\Tools\Host\"
// for "D:\Tools\Host\host.exe"). False, out untouched, when they do not fit
// into size bytes.
bool fsDirectoryOfPath(const char* path, char* out, size_t size);
