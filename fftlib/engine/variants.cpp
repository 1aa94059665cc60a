#include "variants.h"

const TransformEntry variantEntries[variantCount] = {nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr};
