#include "support.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/time.h>
#endif

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device random;
    fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path candidate = base / ("engine-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
#ifdef _WIN32
            path_ = candidate.string() + "\\";
#else
            path_ = candidate.string() + "/";
#endif
            return;
        }
    }
}

namespace {
void makeWritable(const fs::path& path) {
#ifdef _WIN32
    SetFileAttributesA(path.string().c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    std::error_code error;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
#endif
}
}  // namespace

TempDir::~TempDir() {
    // Make everything writable again (read-only files and directories), then
    // remove it all.
    std::error_code error;
    fs::path root(path_);
    makeWritable(root);
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        if (!it->is_symlink()) makeWritable(it->path());
    fs::remove_all(root, error);
}

bool underWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

void makeReadOnly(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | FILE_ATTRIBUTE_READONLY);
#else
    std::error_code error;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, error);
#endif
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

void makeDirectory(const std::string& path) {
    std::error_code error;
    fs::create_directory(path, error);
}

void setLocalTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
#ifdef _WIN32
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    SYSTEMTIME utc;
    FILETIME written;
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    SystemTimeToFileTime(&utc, &written);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, nullptr, &written, &written);
    CloseHandle(file);
#else
    struct tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    time_t when = mktime(&parts);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    utimes(path.c_str(), times);
#endif
}

std::string listDirectory(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = fs::directory_iterator(path, error); !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : " ") + name;
    return out;
}

void useHive(const TempDir& dir, const std::string& text) {
    std::string path = dir / "hive.reg";
    writeFile(path, text);
#ifdef _WIN32
    std::system(("reg import \"" + path + "\" >NUL 2>&1").c_str());
#else
    setenv("SETUP_REGISTRY", path.c_str(), 1);
#endif
}

void useNoHive() {
#ifndef _WIN32
    unsetenv("SETUP_REGISTRY");
#endif
}
