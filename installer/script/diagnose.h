// Diagnosis helpers for tools such as psc-check: why the last loadScript
// failed, in more detail than the installer needs. They only reuse the reader's
// own functions (no second parser) on the still-open script file; the
// installer itself never calls them.
#pragma once
#include <cstdio>
#include <vector>
#include "reader.h"

// The outcome of the last loadScript.
enum LoadFailure {
    loadOk = 0,
    loadCannotOpen = 1,      // fopen failed; no box
    loadNoVersion = 2,       // no "<<script version>>" line; no box
    loadWrongVersion = 3,    // version cell not "3.0"; version box
    loadNesting = 4,         // checkNesting failed; script error box
    loadInvalidVariant = 5,  // a Variant lacks a required tag; script error box
    loadNoMemory = 6         // memory ran out while reading; script error box
};

// What the last loadScript recorded (reset by every loadScript).
struct ReadTrace {
    LoadFailure failure = loadOk;
    bool variantFailed = false;  // a Variant was read and was not valid
    long variantStart = -1;  // the first Variant that was not valid: body start (-1: none)
    long variantEnd = -1;    // and the start of its "<<end variant>>" line
};
const ReadTrace& lastReadTrace();

// The nesting check's first failure.
struct NestingFault {
    long position = -1;          // start of the failing marker line; -1 at the end of the file
    int marker = lineEndOfFile;  // the failing marker's LineKind; lineEndOfFile: counters not 0 at the end
    int scriptDepth = 0;         // the counters when the check failed
    int setDepth = 0;
    int variantDepth = 0;
    long openScript = -1;        // start of the innermost still-open marker line of each kind, -1: none
    long openSet = -1;
    long openVariant = -1;
};
// checkNesting with the detail of its failure; the same code path.
bool checkNestingDetail(FILE* file, NestingFault* fault);

// 1-based number of the physical line holding position (LFs before it + 1).
// The file position is set back.
long lineNumberAt(FILE* file, long position);

// The variant tags that readTag does not find between start and end.
std::vector<const char*> missingVariantTags(FILE* file, long start, long end);

// The start positions of the rows that readTag(from, to, tag) reads, in row
// order (one per row of the resulting table).
std::vector<long> tagRowPositions(FILE* file, long from, long to, const char* tag);
