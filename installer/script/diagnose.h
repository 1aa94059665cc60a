// Diagnosis helpers for tools such as psc-check: why the last loadScript
// failed, in more detail than the installer needs, from the reader's trace
// (lastReadTrace, checkNestingDetail in reader.h). They only reuse the reader's
// own functions (no second parser) on the still-open script file; the
// installer itself never calls them.
#pragma once
#include <cstdio>
#include <vector>
#include "reader.h"

// 1-based number of the physical line holding position (LFs before it + 1).
// The file position is set back.
long lineNumberAt(FILE* file, long position);

// The variant tags that readTag does not find between start and end.
std::vector<const char*> missingVariantTags(FILE* file, long start, long end);

// The start positions of the rows that readTag(from, to, tag) reads, in row
// order (one per row of the resulting table).
std::vector<long> tagRowPositions(FILE* file, long from, long to, const char* tag);
