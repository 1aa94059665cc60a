// The registry of the Linux build: the hive file named by SETUP_REGISTRY, read
// afresh whenever a key is opened below HKEY_LOCAL_MACHINE. Every key opened
// from that snapshot keeps it alive until the key is closed.
#include "../registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hive.h"

namespace {

struct OpenKey {
    std::shared_ptr<HiveKey> hive;
    HiveKey* key;
};

char localMachineTag;

const size_t hiveLimit = 16u << 20;  // bytes: a larger hive counts as unreadable

// Reads the hive file whole into text. A file that is not a regular one (a
// FIFO would be waited on, a device read without end) or is larger than the
// limit is unreadable, and said so on standard error. *result as for loadHive.
bool readHiveFile(const char* path, std::string& text, long* result) {
    struct stat st;
    if (stat(path, &st) != 0) {
        if (errno == EACCES) *result = registryAccessDenied;
        return false;
    }
    *result = registryAccessDenied;
    const char* refusal = !S_ISREG(st.st_mode) ? "not a regular file" : nullptr;
    int fd = refusal ? -1 : open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (!refusal && fd < 0) return false;
    std::vector<char> chunk(65536);
    ssize_t got = 0;
    while (!refusal && (got = read(fd, chunk.data(), chunk.size())) != 0) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) refusal = "cannot be read";
        else if (text.size() + static_cast<size_t>(got) > hiveLimit) refusal = "larger than 16 MiB";
        else text.append(chunk.data(), static_cast<size_t>(got));
    }
    if (fd >= 0) close(fd);
    if (refusal) std::fprintf(stderr, "setup: registry hive %s: %s\n", path, refusal);
    return !refusal;
}

// Loads the hive; on failure *result is the error the open reports.
std::shared_ptr<HiveKey> loadHive(long* result) {
    *result = registryFileNotFound;
    const char* path = std::getenv("SETUP_REGISTRY");
    if (!path || !*path) return nullptr;
    std::string text;
    if (!readHiveFile(path, text, result)) return nullptr;
    auto root = std::make_shared<HiveKey>();
    root->name = "HKEY_LOCAL_MACHINE";
    parseHive(text.data(), text.size(), path, stderr, *root);
    *result = registrySuccess;
    return root;
}

// Follows a path of '\'-separated names; empty names are passed over.
HiveKey* walk(HiveKey* key, const char* path) {
    std::string name;
    for (const char* p = path;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (!name.empty()) {
                key = hiveFindSubkey(*key, name);
                if (!key) return nullptr;
                name.clear();
            }
            if (*p == '\0') return key;
        } else {
            name.push_back(*p);
        }
    }
}

}  // namespace

RegistryKey registryLocalMachine() { return &localMachineTag; }

long registryOpenKey(RegistryKey parent, const char* path, RegistryKey* result) {
    if (!result) return registryAccessDenied;
    *result = nullptr;
    if (!parent) return registryAccessDenied;
    std::shared_ptr<HiveKey> hive;
    HiveKey* start;
    if (parent == registryLocalMachine()) {
        long loaded;
        hive = loadHive(&loaded);
        if (!hive) return loaded;
        start = hive.get();
    } else {
        OpenKey* open = static_cast<OpenKey*>(parent);
        hive = open->hive;
        start = open->key;
    }
    HiveKey* key = walk(start, path ? path : "");
    if (!key) return registryFileNotFound;
    *result = new OpenKey{hive, key};
    return registrySuccess;
}

long registryEnumKey(RegistryKey key, unsigned long index, char* name, unsigned long* nameSize) {
    if (!key || key == registryLocalMachine() || !name || !nameSize) return registryAccessDenied;
    const HiveKey* node = static_cast<OpenKey*>(key)->key;
    if (index >= node->subkeys.size()) return registryNoMoreItems;
    const std::string& found = node->subkeys[index]->name;
    if (found.size() + 1 > *nameSize) return registryMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameSize = static_cast<unsigned long>(found.size());
    return registrySuccess;
}

long registryQueryValue(RegistryKey key, const char* name, unsigned char* data, unsigned long* dataSize) {
    if (!key || key == registryLocalMachine() || !dataSize) return registryAccessDenied;
    const HiveValue* value = hiveFindValue(*static_cast<OpenKey*>(key)->key, name ? name : "");
    if (!value) return registryFileNotFound;
    unsigned long size = static_cast<unsigned long>(value->data.size());
    bool fits = size <= *dataSize;
    *dataSize = size;
    if (!data) return registrySuccess;
    if (!fits) return registryMoreData;
    if (size) std::memcpy(data, value->data.data(), size);
    return registrySuccess;
}

long registryCloseKey(RegistryKey key) {
    if (!key) return registryAccessDenied;
    if (key != registryLocalMachine()) delete static_cast<OpenKey*>(key);
    return registrySuccess;
}
