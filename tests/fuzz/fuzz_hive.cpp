// Feeds arbitrary bytes to the hive reader and checks the tree it leaves:
// subkeys strictly ordered as Windows enumerates them, no two names equal
// without regard to case, every lookup finding what is there.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/posix/hive.h"

namespace {

void check(const HiveKey& key, int depth) {
    if (depth > 600) std::abort();
    for (size_t i = 0; i < key.subkeys.size(); ++i) {
        const HiveKey& sub = *key.subkeys[i];
        if (sub.name.empty()) std::abort();
        if (i > 0 && hiveCompareNames(key.subkeys[i - 1]->name, sub.name) >= 0) std::abort();
        if (hiveFindSubkey(key, sub.name) != &sub) std::abort();
        check(sub, depth + 1);
    }
    for (size_t i = 0; i < key.values.size(); ++i) {
        if (hiveFindValue(key, key.values[i].name) != &key.values[i]) std::abort();
        for (size_t j = 0; j < i; ++j)
            if (hiveCompareNames(key.values[j].name, key.values[i].name) == 0) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* sink = std::fopen("/dev/null", "w");
    HiveKey root;
    parseHive(reinterpret_cast<const char*>(data), size, "fuzz.reg", sink, root);
    check(root, 0);
    return 0;
}
