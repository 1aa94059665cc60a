// The tables of the variants' transform entries and engines, and of the vector
// variants' bodies by register width.
#include "variants.h"

#include "engine.h"

const TransformEntry variantEntries[variantCount] = {&v0::kfxcrFftNip, &v1::kfxcrFftNip, &v2::kfxcrFftNip,
                                                     &v3::kfxcrFftNip, &v4::kfxcrFftNip, &v5::kfxcrFftNip};

const VariantEngine* const variantEngines[variantCount] = {&v0::engine, &v1::engine, &v2::engine,
                                                           &v3::engine, &v4::engine, &v5::engine};

const int32_t vectorWidths[vectorWidthCount] = {128, 256, 512};
#if defined(HALVEX_WIDE_BODIES)
#define HALVEX_WIDE(ns, member) &ns::w256::member, &ns::w512::member
#else
#define HALVEX_WIDE(ns, member) nullptr, nullptr
#endif
const TransformEntry widthEntries[variantCount][vectorWidthCount] = {
    {}, {}, {}, {}, {&v4::kfxcrFftNip, HALVEX_WIDE(v4, kfxcrFftNip)}, {&v5::kfxcrFftNip, HALVEX_WIDE(v5, kfxcrFftNip)}};
const VariantEngine* const widthEngines[variantCount][vectorWidthCount] = {
    {}, {}, {}, {}, {&v4::engine, HALVEX_WIDE(v4, engine)}, {&v5::engine, HALVEX_WIDE(v5, engine)}};
#undef HALVEX_WIDE
