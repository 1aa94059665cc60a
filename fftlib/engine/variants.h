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
