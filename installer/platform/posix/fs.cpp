// The file system of the Linux build: POSIX calls that behave as the Win32
// ones setup uses. Both '\' and '/' separate directories.
#include "../fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

unsigned long lastError = 0;

const unsigned long long ticksPerSecond = 10000000ull;
const long long secondsFrom1601To1970 = 11644473600ll;

std::string toPosix(const char* path) {
    std::string out = path ? path : "";
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

unsigned long errorOf(int error) {
    switch (error) {
    case ENOENT: return fsErrorFileNotFound;
    case ENOTDIR: return fsErrorPathNotFound;
    case EEXIST: return fsErrorFileExists;
    default: return fsErrorAccessDenied;
    }
}

bool failWith(unsigned long error) {
    lastError = error;
    return false;
}

// Read-only in Windows terms: no write permission bit, or no write access.
bool readOnly(const std::string& path, const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

// A directory on another mount than the directory it stands in: another
// file system (st_dev), or a bind mount of the same one (the mount id).
bool isMountPoint(const std::string& path, const struct stat& directory) {
    const std::string parent = path + "/..";
    struct stat above;
    if (stat(parent.c_str(), &above) != 0) return false;
    if (above.st_dev != directory.st_dev) return true;
    struct statx self, up;
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &self) != 0 ||
        statx(AT_FDCWD, parent.c_str(), 0, STATX_MNT_ID, &up) != 0 || !(self.stx_mask & up.stx_mask & STATX_MNT_ID))
        return false;
    return self.stx_mnt_id != up.stx_mnt_id;
}

unsigned long attributesOf(const std::string& path) {
    struct stat link;
    if (lstat(path.c_str(), &link) != 0) return fsInvalidAttributes;
    struct stat target = link;
    unsigned long attributes = 0;
    if (S_ISLNK(link.st_mode)) {
        attributes |= fsAttributeReparsePoint;
        if (stat(path.c_str(), &target) != 0) return attributes;
    } else if (S_ISDIR(link.st_mode) && isMountPoint(path, link)) {
        attributes |= fsAttributeReparsePoint;
    }
    if (S_ISDIR(target.st_mode))
        attributes |= fsAttributeDirectory;
    else if (!S_ISREG(target.st_mode))
        attributes |= fsAttributeSystem;
    if (readOnly(path, target)) attributes |= fsAttributeReadOnly;
    return attributes ? attributes : static_cast<unsigned long>(fsAttributeNormal);
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows wildcards: '*' any run, '?' one character, letters in either case.
bool matches(const char* pattern, const char* name) {
    if (std::strcmp(pattern, "*.*") == 0) return true;
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && lowerAscii(*pattern) == lowerAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

struct Listing {
    DIR* dir;
    std::string directory;  // with a trailing '/' unless empty
    std::string pattern;
};

bool nextMatch(Listing* listing, FsFindData* data) {
    while (struct dirent* entry = readdir(listing->dir)) {
        // No Windows name holds a backslash; joined to a path it would
        // become a separator, and a name such as "..\\.." would climb out.
        if (std::strchr(entry->d_name, '\\') || !matches(listing->pattern.c_str(), entry->d_name)) continue;
        size_t length = std::strlen(entry->d_name);
        if (length >= sizeof data->name) continue;  // cannot be named in MAX_PATH
        std::memcpy(data->name, entry->d_name, length + 1);
        data->attributes = attributesOf(listing->directory + entry->d_name);
        if (data->attributes == fsInvalidAttributes) continue;  // vanished meanwhile
        return true;
    }
    return failWith(fsErrorFileNotFound);
}

// Opens a regular file for reading. Its type is looked at first, so that no
// FIFO is waited on and no device opened; the file opened is checked again.
int openRegular(const std::string& path, struct stat* st) {
    int fd = -1;
    struct stat opened;
    if (stat(path.c_str(), st) != 0) {
        lastError = errorOf(errno);
    } else if (!S_ISREG(st->st_mode)) {
        lastError = fsErrorAccessDenied;
    } else if ((fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) < 0) {
        lastError = errorOf(errno);
    } else if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != st->st_ino ||
               opened.st_dev != st->st_dev) {
        close(fd);
        fd = -1;
        lastError = fsErrorAccessDenied;
    }
    return fd;
}

bool copyContents(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t got = read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failWith(errorOf(errno));
        if (got == 0) return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return failWith(errorOf(errno));
            done += put;
        }
    }
}

// Copies the contents, the permission bits and the times of the source.
bool finishCopy(int from, const struct stat& source, int to) {
    if (!copyContents(from, to)) return false;
    struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (fchmod(to, source.st_mode & 07777) != 0 || futimens(to, times) != 0) return failWith(errorOf(errno));
    return true;
}

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
void civilFromDays(long long days, long long* year, unsigned* month, unsigned* day) {
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned shifted = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    *month = shifted < 10 ? shifted + 3 : shifted - 9;
    *year = static_cast<long long>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

unsigned long fsLastError() { return lastError; }

bool fsCopyFile(const char* fromPath, const char* toPath, bool failIfExists) {
    std::string from = toPosix(fromPath), to = toPosix(toPath);
    struct stat sourceStat;
    int source = openRegular(from, &sourceStat);
    if (source < 0) return false;
    bool ok;
    if (failIfExists) {
        int target = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (target < 0) {
            lastError = errorOf(errno);
            close(source);
            return false;
        }
        ok = finishCopy(source, sourceStat, target);
        if (close(target) != 0 && ok) ok = failWith(errorOf(errno));
        if (!ok) unlink(to.c_str());
    } else {
        // A read-only or directory target is not replaced, as on Windows, nor
        // a FIFO, device or socket.
        struct stat targetStat;
        if (stat(to.c_str(), &targetStat) == 0 && (!S_ISREG(targetStat.st_mode) || readOnly(to, targetStat))) {
            close(source);
            return failWith(fsErrorAccessDenied);
        }
        std::string temporary = directoryOf(to) + ".setup-copy-XXXXXX";
        std::vector<char> name(temporary.begin(), temporary.end());
        name.push_back('\0');
        int target = mkstemp(name.data());
        if (target < 0) {
            lastError = errno == ENOENT ? fsErrorPathNotFound : errorOf(errno);
            close(source);
            return false;
        }
        ok = finishCopy(source, sourceStat, target);
        if (close(target) != 0 && ok) ok = failWith(errorOf(errno));
        if (ok && rename(name.data(), to.c_str()) != 0) ok = failWith(errorOf(errno));
        if (!ok) unlink(name.data());
    }
    close(source);
    return ok;
}

FsFind fsFindFirst(const char* patternPath, FsFindData* data) {
    std::string path = toPosix(patternPath);
    size_t slash = path.rfind('/');
    auto* listing = new Listing;
    listing->directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    listing->pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    listing->dir = opendir(listing->directory.empty() ? "." : listing->directory.c_str());
    if (!listing->dir) {
        lastError = errno == ENOENT || errno == ENOTDIR ? fsErrorPathNotFound : errorOf(errno);
        delete listing;
        return nullptr;
    }
    if (!nextMatch(listing, data)) {
        fsFindClose(listing);
        lastError = fsErrorFileNotFound;
        return nullptr;
    }
    return listing;
}

bool fsFindNext(FsFind find, FsFindData* data) {
    if (!find) return failWith(fsErrorAccessDenied);
    return nextMatch(static_cast<Listing*>(find), data);
}

void fsFindClose(FsFind find) {
    if (!find) return;
    auto* listing = static_cast<Listing*>(find);
    closedir(listing->dir);
    delete listing;
}

unsigned long fsGetAttributes(const char* path) {
    unsigned long attributes = attributesOf(toPosix(path));
    if (attributes == fsInvalidAttributes) lastError = errorOf(errno);
    return attributes;
}

FsFile fsOpenForRead(const char* path) {
    struct stat st;
    int fd = openRegular(toPosix(path), &st);
    return fd < 0 ? nullptr : new int(fd);
}

bool fsReadFile(FsFile file, void* buffer, unsigned long size, unsigned long* got) {
    if (!file || !got) return failWith(fsErrorAccessDenied);
    ssize_t count;
    do count = read(*static_cast<int*>(file), buffer, size);
    while (count < 0 && errno == EINTR);
    if (count < 0) return failWith(errorOf(errno));
    *got = static_cast<unsigned long>(count);
    return true;
}

bool fsGetLastWriteTime(FsFile file, FileTime* time) {
    struct stat st;
    if (!file || fstat(*static_cast<int*>(file), &st) != 0) return failWith(fsErrorAccessDenied);
    long long seconds = static_cast<long long>(st.st_mtim.tv_sec) + secondsFrom1601To1970;
    if (seconds < 0) return failWith(fsErrorAccessDenied);
    time->ticks = static_cast<unsigned long long>(seconds) * ticksPerSecond +
                  static_cast<unsigned long long>(st.st_mtim.tv_nsec) / 100;
    return true;
}

void fsCloseFile(FsFile file) {
    if (!file) return;
    close(*static_cast<int*>(file));
    delete static_cast<int*>(file);
}

bool fsFileTimeToLocal(const FileTime* utc, FileTime* local) {
    long long seconds = static_cast<long long>(utc->ticks / ticksPerSecond) - secondsFrom1601To1970;
    time_t when = static_cast<time_t>(seconds);
    struct tm parts;
    if (static_cast<long long>(when) != seconds || !localtime_r(&when, &parts)) return failWith(fsErrorAccessDenied);
    long long offset = static_cast<long long>(parts.tm_gmtoff) * static_cast<long long>(ticksPerSecond);
    if (offset < 0 && static_cast<unsigned long long>(-offset) > utc->ticks) return failWith(fsErrorAccessDenied);
    local->ticks = utc->ticks + static_cast<unsigned long long>(offset);
    return true;
}

bool fsFileTimeToSystemTime(const FileTime* time, SystemTime* calendar) {
    if (time->ticks >= 0x8000000000000000ull) return failWith(fsErrorAccessDenied);
    unsigned long long seconds = time->ticks / ticksPerSecond;
    long long days = static_cast<long long>(seconds / 86400);
    unsigned long long rest = seconds % 86400;
    long long year;
    unsigned month, day;
    civilFromDays(days - secondsFrom1601To1970 / 86400, &year, &month, &day);
    calendar->year = static_cast<unsigned short>(year);
    calendar->month = static_cast<unsigned short>(month);
    calendar->dayOfWeek = static_cast<unsigned short>((days + 1) % 7);  // 1601-01-01 was a Monday
    calendar->day = static_cast<unsigned short>(day);
    calendar->hour = static_cast<unsigned short>(rest / 3600);
    calendar->minute = static_cast<unsigned short>(rest % 3600 / 60);
    calendar->second = static_cast<unsigned short>(rest % 60);
    calendar->milliseconds = static_cast<unsigned short>(time->ticks % ticksPerSecond / 10000);
    return true;
}

bool fsCreateDirectory(const char* path) {
    if (mkdir(toPosix(path).c_str(), 0777) == 0) return true;
    if (errno == EEXIST) return failWith(fsErrorAlreadyExists);
    if (errno == ENOENT || errno == ENOTDIR) return failWith(fsErrorPathNotFound);
    return failWith(errorOf(errno));
}

bool fsDeleteFile(const char* path) {
    std::string file = toPosix(path);
    struct stat st;
    if (lstat(file.c_str(), &st) != 0) return failWith(errorOf(errno));
    // Windows deletes neither a directory nor a read-only file.
    if (S_ISDIR(st.st_mode)) return failWith(fsErrorAccessDenied);
    if (!S_ISLNK(st.st_mode) && readOnly(file, st)) return failWith(fsErrorAccessDenied);
    if (unlink(file.c_str()) != 0) return failWith(errorOf(errno));
    return true;
}

unsigned long fsGetCurrentDirectory(char* buffer, unsigned long size) {
    std::vector<char> path(4096);
    while (!getcwd(path.data(), path.size())) {
        if (errno != ERANGE || path.size() > (1u << 20)) {
            lastError = errorOf(errno);
            return 0;
        }
        path.resize(path.size() * 2);
    }
    size_t length = std::strlen(path.data());
    if (!buffer || length + 1 > size) return static_cast<unsigned long>(length + 1);
    std::memcpy(buffer, path.data(), length + 1);
    return static_cast<unsigned long>(length);
}

bool fsSetCurrentDirectory(const char* path) {
    if (chdir(toPosix(path).c_str()) != 0) return failWith(errno == ENOENT ? fsErrorFileNotFound : errorOf(errno));
    return true;
}

bool fsFinalPath(const char* directory, char* out, size_t size) {
    char* resolved = realpath(toPosix(directory).c_str(), nullptr);
    if (!resolved) return failWith(errorOf(errno));
    size_t length = std::strlen(resolved);
    bool fits = out && length < size;
    if (fits) std::memcpy(out, resolved, length + 1);
    std::free(resolved);
    return fits || failWith(fsErrorAccessDenied);
}

bool fsDirectoryOfPath(const char* path, char* out, size_t size) {
    if (!path || !out) return false;
    size_t keep = 0;  // through the last separator, or the drive "X:"
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == '\\' || path[i] == '/') keep = i + 1;
    if (keep == 0 && path[0] && path[1] == ':') keep = 2;
    if (keep + 1 > size) return false;
    std::memmove(out, path, keep);
    out[keep] = '\0';
    return true;
}
