// Helpers of the engine's tests: temporary directory trees, files with set
// last-write times, registry hives, and Variants built by hand.
#pragma once
#include <string>

// A fresh directory in the system's temporary directory, removed with
// everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // ends in a separator
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void makeDirectory(const std::string& path);
// True for a Windows build running under Wine, whose file system (run as root
// here) does not keep a read-only attribute from writing or on directories.
bool underWine();
// Read-only: no write permission on Linux, the read-only attribute on Windows.
void makeReadOnly(const std::string& path);
// Sets the last-write time to a local calendar time (utimes on Linux).
void setLocalTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);
// The names in a directory, "." and ".." left out, sorted.
std::string listDirectory(const std::string& path);

// Makes the registry hold the hive text (written into dir): on Linux the hive
// is named by SETUP_REGISTRY; on Windows it is imported with "reg import".
void useHive(const TempDir& dir, const std::string& text);
// On Linux: no hive at all (nothing to do on Windows).
void useNoHive();
