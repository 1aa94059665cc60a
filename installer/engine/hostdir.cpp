// The root rule over a host directory's text, spelt plainly or with a Win32
// prefix, and over where it leads, and the names that stay inside a folder.
#include "hostdir.h"

#include <cstddef>
#include <cstring>

#include "../platform/fs.h"

namespace {

enum { finalPathSize = 4096 };  // a resolved directory; a longer one is no host

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Skips one path part and the separators after it; returns its length.
size_t skipPart(const char*& p) {
    const char* start = p;
    while (*p && !isSeparator(*p)) ++p;
    size_t length = static_cast<size_t>(p - start);
    while (isSeparator(*p)) ++p;
    return length;
}

// The part equals word, ignoring the case of ASCII letters.
bool isPart(const char* part, size_t length, const char* word) {
    if (std::strlen(word) != length) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = part[i] >= 'a' && part[i] <= 'z' ? static_cast<char>(part[i] - 'a' + 'A') : part[i];
        if (c != word[i]) return false;
    }
    return true;
}

// Skips the root that follows a Win32 prefix ("\\?\", "\\.\", "\??\"): a
// drive, volume or device name; "UNC\server\share"; or a GLOBALROOT path of
// the object namespace, whose "\??\" forms are read again, whose devices are
// "\Device\Name", and whose network devices add "\server\share".
void skipPrefixedRoot(const char*& p) {
    const char* part = p;
    size_t length = skipPart(p);
    if (isPart(part, length, "UNC")) {
        skipPart(p);
        skipPart(p);
        return;
    }
    if (!isPart(part, length, "GLOBALROOT")) return;
    part = p;
    length = skipPart(p);
    if (isPart(part, length, "??") || isPart(part, length, "GLOBAL??") || isPart(part, length, "DOSDEVICES")) {
        skipPrefixedRoot(p);
        return;
    }
    part = p;
    length = skipPart(p);
    if (isPart(part, length, "MUP") || isPart(part, length, "LANMANREDIRECTOR")) {
        skipPart(p);
        skipPart(p);
    }
}

// 1 when the directory leads below a root, 0 when it leads to one, -1 when it
// cannot be resolved.
int judgeTarget(const char* directory) {
    char resolved[finalPathSize];
    if (!fsFinalPath(directory, resolved, sizeof resolved)) return -1;
    return isHostDirectory(resolved) ? 1 : 0;
}

}  // namespace

bool isHostDirectory(const char* directory) {
    if (!directory) return false;
    const char* p = directory;
    // "\\?\", "\\.\" and "\??\"; p[3] is read only after three characters.
    bool prefixed = isSeparator(p[0]) &&
                    ((isSeparator(p[1]) && (p[2] == '?' || p[2] == '.')) || (p[1] == '?' && p[2] == '?')) &&
                    isSeparator(p[3]);
    if (prefixed) {
        p += 4;
        skipPrefixedRoot(p);
    } else if (((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) && p[1] == ':') {
        p += 2;
    } else if (isSeparator(p[0]) && isSeparator(p[1])) {
        p += 2;  // "\\server\share" is a root of its own
        skipPart(p);
        skipPart(p);
    }
    while (isSeparator(*p)) ++p;
    // Windows drops the trailing dots and blanks of a part, so a part made of
    // them names the directory it stands in; ".." leaves one part. Behind a
    // prefix the drive or device is an ordinary part that ".." could leave.
    int depth = 0;
    while (*p) {
        const char* part = p;
        size_t length = skipPart(p);
        if (length == 2 && part[0] == '.' && part[1] == '.') {
            if (depth == 0 && prefixed) return false;
            if (depth > 0) --depth;
            continue;
        }
        while (length > 0 && (part[length - 1] == '.' || part[length - 1] == ' ')) --length;
        if (length > 0) ++depth;
    }
    return depth > 0;
}

bool leadsToRoot(const char* directory) { return !isHostDirectory(directory) || judgeTarget(directory) == 0; }

bool leadsToHostDirectory(const char* directory) {
    return isHostDirectory(directory) && judgeTarget(directory) == 1;
}

bool isContainedName(const char* name) {
    if (!name) return true;
    if (isSeparator(name[0]) || std::strchr(name, ':')) return false;
    for (const char* p = name; *p;) {
        const char* part = p;
        size_t length = skipPart(p);
        size_t dots = 0;
        bool onlyDotsAndBlanks = true;
        for (size_t i = 0; i < length; ++i) {
            if (part[i] == '.') ++dots;
            else if (part[i] != ' ') onlyDotsAndBlanks = false;
        }
        if (onlyDotsAndBlanks && dots >= 2) return false;
    }
    return true;
}
