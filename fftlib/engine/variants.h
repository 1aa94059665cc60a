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

// The vector variants' bodies by register width: 128 bits (SSE in variant 4,
// SSE2 in variant 5: the variant's own entry and engine), 256 (AVX) and 512
// (AVX-512F with AVX2), with the same results bit for bit on finite data. A
// row per variant, a column per width; null where a variant has no body of
// that width (the scalar variants have none, and the wider ones exist on
// x86-64 only). After binding a vector variant the dispatch binds its widest
// body that the processor and its system run.
enum { vectorWidthCount = 3 };
extern const int32_t vectorWidths[vectorWidthCount];  // 128, 256, 512
extern const TransformEntry widthEntries[variantCount][vectorWidthCount];
extern const VariantEngine* const widthEngines[variantCount][vectorWidthCount];
