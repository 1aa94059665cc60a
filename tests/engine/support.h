// Helpers of the engine's tests: temporary directory trees, files with set
// last-write times, registry hives, and Variants built by hand.
#pragma once
#include <initializer_list>
#include <string>


// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // ends in '/'
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void makeDirectory(const std::string& path);
// Sets the last-write (and access) time to a local calendar time with utimes.
void setLocalTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);
// The names in a directory, "." and ".." left out, sorted.
std::string listDirectory(const std::string& path);

// Makes the registry read the hive text (written into dir) from now on.
void useHive(const TempDir& dir, const std::string& text);
void useNoHive();
