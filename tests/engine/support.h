// Scratch trees for the engine's test programs: a fresh directory in the
// temporary directory (the private /tmp of a confined run), removed afterwards.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

class TempDir {
public:
    // A new directory; path() ends in the platform's separator.
    TempDir() {
        std::random_device random;
        fs::path made;
        do made = fs::temp_directory_path() / ("engine-test-" + std::to_string(random()));
        while (!fs::create_directory(made));
        path_ = made.string() + static_cast<char>(fs::path::preferred_separator);
    }
    // Windows deletes nothing read-only: the attributes are cleared first.
    ~TempDir() {
        std::error_code error;
#ifdef _WIN32
        for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::end(it); it.increment(error))
            SetFileAttributesA(it->path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
        fs::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;  // one removal per directory
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// A file's bytes; empty when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Read-only in Windows terms: the read-only attribute, or no write permission.
inline void makeReadOnly(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | FILE_ATTRIBUTE_READONLY);
#else
    chmod(path.c_str(), fs::is_directory(path) ? 0555 : 0444);
#endif
}
