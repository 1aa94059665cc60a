// The tables of the variants' transform entries and engines, and of variant 5's
// bodies by register width.
#include "variants.h"

#include "engine.h"

const TransformEntry variantEntries[variantCount] = {&v0::kfxcrFftNip, &v1::kfxcrFftNip, &v2::kfxcrFftNip,
                                                     &v3::kfxcrFftNip, &v4::kfxcrFftNip, &v5::kfxcrFftNip};

const VariantEngine* const variantEngines[variantCount] = {&v0::engine, &v1::engine, &v2::engine,
                                                           &v3::engine, &v4::engine, &v5::engine};

const int32_t vectorWidths[vectorWidthCount] = {128, 256, 512};
#if defined(HALVEX_WIDE_BODIES)
const TransformEntry variant5Entries[vectorWidthCount] = {&v5::kfxcrFftNip, &v5::w256::kfxcrFftNip,
                                                          &v5::w512::kfxcrFftNip};
const VariantEngine* const variant5Engines[vectorWidthCount] = {&v5::engine, &v5::w256::engine,
                                                               &v5::w512::engine};
#else
const TransformEntry variant5Entries[vectorWidthCount] = {&v5::kfxcrFftNip, nullptr, nullptr};
const VariantEngine* const variant5Engines[vectorWidthCount] = {&v5::engine, nullptr, nullptr};
#endif
