#include "variants.h"

#include "engine.h"

const TransformEntry variantEntries[variantCount] = {&v0::kfxcrFftNip, &v1::kfxcrFftNip, &v2::kfxcrFftNip,
                                                     &v3::kfxcrFftNip, &v4::kfxcrFftNip, &v5::kfxcrFftNip};

const VariantEngine* const variantEngines[variantCount] = {&v0::engine, &v1::engine, &v2::engine,
                                                           &v3::engine, &v4::engine, &v5::engine};
