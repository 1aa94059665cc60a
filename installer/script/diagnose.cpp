// psc-check's diagnosis helpers: the line of a file position, the required tags
// a Variant lacks, and where each row of a tag's block starts.
#include "diagnose.h"
#include <cstring>

long lineNumberAt(FILE* file, long position) {
    long saved = std::ftell(file);
    long line = 1;
    if (position > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        std::vector<char> chunk(4096);
        long left = position;
        while (left > 0) {
            size_t want = left < 4096 ? static_cast<size_t>(left) : 4096u;
            size_t got = std::fread(chunk.data(), 1, want, file);
            if (got == 0) break;
            for (size_t i = 0; i < got; ++i)
                if (chunk[i] == '\n') ++line;
            left -= static_cast<long>(got);
        }
    }
    if (saved >= 0) std::fseek(file, saved, SEEK_SET);
    return line;
}

std::vector<const char*> missingVariantTags(FILE* file, long start, long end) {
    std::vector<const char*> missing;
    for (const char* tag : variantTags)
        if (!findTag(file, start, end, tag)) missing.push_back(tag);
    return missing;
}

std::vector<long> tagRowPositions(FILE* file, long from, long to, const char* tag) {
    std::vector<long> rows;
    long saved = std::ftell(file);
    if (findTag(file, from, to, tag)) {
        // The same walk as readTagBlock, noting where each row's line starts.
        std::vector<char> line(lineBufferSize);
        char first[tagMaxLength + 1] = "";
        for (bool isFirst = true;; isFirst = false) {
            long start = -1;
            if (readLine(file, line.data(), true, &start) != lineTag) break;
            if (isFirst && !lineTagOf(line.data(), first)) break;
            if (!std::strstr(line.data(), first)) break;
            rows.push_back(start);
        }
    }
    if (saved >= 0) std::fseek(file, saved, SEEK_SET);
    return rows;
}
