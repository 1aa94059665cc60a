// The registry of the Linux build: the hive file named by SETUP_REGISTRY, read
// afresh whenever a key is opened below HKEY_LOCAL_MACHINE. Every key opened
// from that snapshot keeps it alive until the key is closed.
#include "../registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hive.h"

namespace {

struct OpenKey {
    std::shared_ptr<HiveKey> hive;
    HiveKey* key;
};

char localMachineTag;

// Loads the hive; on failure *result is the error the open reports.
std::shared_ptr<HiveKey> loadHive(long* result) {
    *result = registryFileNotFound;
    const char* path = std::getenv("SETUP_REGISTRY");
    if (!path || !*path) return nullptr;
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        if (errno == EACCES) *result = registryAccessDenied;
        return nullptr;
    }
    std::string text;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    std::fclose(file);
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
