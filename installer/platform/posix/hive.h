// The registry hive of the Linux build: a .reg file as the Windows registry
// editor exports it, read into a tree of keys below HKEY_LOCAL_MACHINE.
// Grammar, escapes and error handling: see parseHive and docs/registry-hive.md.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct HiveValue {
    std::string name;  // empty for the default value "@"
    std::string data;  // raw bytes; a string value carries its terminating NUL
};

struct HiveKey {
    std::string name;  // as first written in the file
    std::vector<std::unique_ptr<HiveKey>> subkeys;  // ordered as Windows enumerates them
    std::vector<HiveValue> values;                  // in the order first written
};

// Compares two key or value names as Windows orders them: byte by byte with the
// ASCII letters taken as upper case. Negative, zero or positive.
int hiveCompareNames(const std::string& a, const std::string& b);

// The direct subkey of that name (case-insensitive), or null.
HiveKey* hiveFindSubkey(const HiveKey& key, const std::string& name);
// The value of that name (case-insensitive; empty: the default value), or null.
const HiveValue* hiveFindValue(const HiveKey& key, const std::string& name);

// Reads the hive text into root (the HKEY_LOCAL_MACHINE key). Reading stops at
// the first malformed line, which is reported to `report` (when not null) as
// "setup: registry hive <source>, line <n>: <reason>"; what was read before it
// stays in the tree. Returns true when the whole text was sound.
bool parseHive(const char* text, size_t size, const char* source, FILE* report, HiveKey& root);
