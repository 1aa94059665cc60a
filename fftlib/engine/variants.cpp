#include "variants.h"

#include "engine.h"

const TransformEntry variantEntries[variantCount] = {&v0::kfxcrFftNip, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr};

const VariantEngine* const variantEngines[variantCount] = {&v0::engine, nullptr, nullptr,
                                                           nullptr, nullptr, nullptr};
