// The transform entry of each processor variant, indexed by variant number;
// null where a variant is not built. The processor dispatch binds the export
// to one of them at load.
#pragma once
#include "../frame/halvex_internal.h"

enum { variantCount = 6 };

extern const TransformEntry variantEntries[variantCount];

// Everything of each variant's engine, for the project's tests and tools; null
// where a variant is not built.
struct VariantEngine;
extern const VariantEngine* const variantEngines[variantCount];

// Variant 5's bodies by register width: 128 bits (SSE2: variantEntries[5],
// variantEngines[5]), 256 (AVX) and 512 (AVX-512F), with the same results bit
// for bit; null where this build lacks a body (the wider ones exist on x86-64
// only). The dispatch binds the widest that the processor and its system run.
enum { vectorWidthCount = 3 };
extern const int32_t vectorWidths[vectorWidthCount];  // 128, 256, 512
extern const TransformEntry variant5Entries[vectorWidthCount];
extern const VariantEngine* const variant5Engines[vectorWidthCount];
