// Processor dispatch (the Waterfall). The call slot of the export,
// the classes and preference lists, the binding, the vector variants'
// register width and the failure message.
#include <cstdio>
#include <cstring>

#include "../engine/variants.h"
#include "halvex_internal.h"

#if defined(_WIN32)
#include <windows.h>
#endif

extern "C" {
// Read by the export's jump (export_thunk.cpp); written only by bindVariant.
__attribute__((used)) DispatchTarget halvexCallSlot = nullptr;
}

const char* const waterfallFailureText = " No ZAdu matching to CPU was found during the Waterfall";
const char* const waterfallFailureCaption = "Set ZAdu error";
const char* const contextFailureText = "Problem to allocate memory for TLS KFX context.";

const int32_t preferenceLists[variantSlots][preferenceRowLength] = {
    {0, 6, 0, 0, 0, 0, 0},  // class 0
    {1, 0, 6, 0, 0, 0, 0},  // class 1
    {2, 0, 6, 0, 0, 0, 0},  // class 2
    {3, 2, 1, 0, 6, 0, 0},  // class 3
    {4, 3, 2, 1, 0, 6, 0},  // class 4
    {5, 4, 3, 2, 1, 0, 6},  // class 5
};

// One dispatched export: the transform. Its implementations are copied from
// variantEntries when the Waterfall runs (not in a static initialiser, so the
// order of initialisation between files does not matter).
DispatchEntry dispatchTable[] = {
    {&halvexCallSlot, {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
};
const int32_t dispatchCount = static_cast<int32_t>(sizeof(dispatchTable) / sizeof(dispatchTable[0]));

namespace {

int32_t lastBoundVariant = -1;
int32_t lastBoundWidth = 0;
ProbeFunction probeHook = nullptr;
FailureNotifier notifierHook = nullptr;

void defaultFailureNotifier(const char* text, const char* caption) {
#if defined(_WIN32)
    MessageBeep(MB_ICONHAND);
    MessageBoxA(nullptr, text, caption, MB_ICONHAND);
#else
    // The stand-in loader has no message box: one line on standard error. The
    // text keeps its leading blank, which separates it from the caption.
    std::fprintf(stderr, "%s:%s\n", caption, text);
    std::fflush(stderr);
#endif
}

DispatchTarget asTarget(TransformEntry entry) { return reinterpret_cast<DispatchTarget>(entry); }

// Index of a width in a row of widthEntries, or -1.
int32_t widthIndex(int32_t bits) {
    for (int32_t w = 0; w < vectorWidthCount; ++w)
        if (vectorWidths[w] == bits) return w;
    return -1;
}

// Variant v's body of that width, or null (always for a scalar variant).
TransformEntry widthEntry(int32_t v, int32_t bits) {
    const int32_t w = widthIndex(bits);
    return v >= 0 && v < variantSlots && w >= 0 ? widthEntries[v][w] : nullptr;
}

// A vector variant, just bound: its body of that width into the transform's slot.
void bindWidth(int32_t bits) {
    *dispatchTable[0].slot = asTarget(widthEntry(lastBoundVariant, bits));
    lastBoundWidth = bits;
}

void loadDispatchTable() {
    for (int v = 0; v < variantSlots; ++v) {
        dispatchTable[0].implementations[v] = asTarget(variantEntries[v]);
    }
}

}  // namespace

int32_t classifyProcessor(const ProcessorInfo& info) {
    if (info.maxLeaf == 0) return processorClassNone;
    if (info.family == 15 && info.hasSse2) return 5;
    if (info.family == 6) {
        if (info.hasSse) return 4;
        if (info.hasMmx) return 3;
        return 0;
    }
    if (info.family == 5 && info.hasMmx) return 2;
    return 0;  // class 1 is never produced
}

// The probe's record (the test probe's when one is set); false when it fails.
static bool probeInto(ProcessorInfo& info) {
    info = ProcessorInfo{};
    const ProbeFunction probe = probeHook != nullptr ? probeHook : probeProcessor;
    return probe(&info) != 0;
}

int32_t classifyProcessor() {
    ProcessorInfo info{};
    if (!probeInto(info)) return processorClassNone;
    return classifyProcessor(info);
}

int32_t vectorWidthFor(const ProcessorInfo& info, int32_t v) {
    const uint32_t vectorState = 0x6u, wideState = 0xE6u;  // XMM, YMM; and opmask, ZMM upper halves, ZMM16-31
    if (!widthEntry(v, 128)) return 0;
    int32_t bits = 128;
    if (info.hasAvx && (info.savedState & vectorState) == vectorState) bits = 256;
    if (bits == 256 && info.hasAvx2 && info.hasAvx512f && (info.savedState & wideState) == wideState) bits = 512;
    while (bits > 128 && !widthEntry(v, bits)) bits /= 2;
    return bits;
}

int32_t bindVariantIn(const DispatchEntry* table, int32_t count, int32_t v) {
    if (v < 0 || v >= variantSlots) return 0;
    for (int32_t i = 0; i < count; ++i) {
        const DispatchTarget implementation = table[i].implementations[v];
        if (implementation == nullptr) return 0;
        *table[i].slot = implementation;
    }
    return 1;
}

int32_t bindVariant(int32_t v) {
    if (!bindVariantIn(dispatchTable, dispatchCount, v)) return 0;
    lastBoundVariant = v;
    lastBoundWidth = widthEntry(v, 128) ? 128 : 0;
    return 1;
}

int32_t walkPreferenceList(const DispatchEntry* table, int32_t count, int32_t processorClass) {
    if (count <= 0 || processorClass < 0 || processorClass > 5) return -1;
    const int32_t* row = preferenceLists[processorClass];
    for (int i = 0; i < preferenceRowLength && row[i] < 6; ++i) {
        if (bindVariantIn(table, count, row[i])) return row[i];
    }
    return -1;
}

int32_t runWaterfall() {
    char buffer[256] = "";
    loadDispatchTable();
    ProcessorInfo info{};
    const int32_t processorClass = probeInto(info) ? classifyProcessor(info) : processorClassNone;
    const int32_t bound = walkPreferenceList(dispatchTable, dispatchCount, processorClass);
    if (bound >= 0) {
        lastBoundVariant = bound;
        lastBoundWidth = 0;
        if (widthEntry(bound, 128)) bindWidth(vectorWidthFor(info, bound));
        return 1;
    }
    std::snprintf(buffer, sizeof buffer, "%s", waterfallFailureText);
    (notifierHook != nullptr ? notifierHook : defaultFailureNotifier)(buffer, waterfallFailureCaption);
    return 0;
}

int32_t boundVariant() { return lastBoundVariant; }

int32_t boundVectorWidth() { return lastBoundWidth; }

int32_t forceVectorWidth(int32_t bits) {
    if (!widthEntry(lastBoundVariant, bits)) return 0;
    bindWidth(bits);
    return 1;
}

int32_t variantForClass(int32_t processorClass) {
    DispatchTarget scratchSlot = nullptr;
    DispatchEntry scratch = {&scratchSlot, {}};
    for (int v = 0; v < variantSlots; ++v) scratch.implementations[v] = asTarget(variantEntries[v]);
    return walkPreferenceList(&scratch, 1, processorClass);
}

int32_t processorRunsVariant(const ProcessorInfo& info, int32_t v) {
    if (v < 0 || v >= variantSlots) return 0;
    return v < 4 || (v == 4 ? info.hasSse : info.hasSse2) ? 1 : 0;
}

int32_t forceVariant(int32_t v) {
    loadDispatchTable();
    return bindVariant(v);
}

TransformEntry boundTransform() { return reinterpret_cast<TransformEntry>(halvexCallSlot); }

ProbeFunction setProbeFunction(ProbeFunction probe) {
    const ProbeFunction previous = probeHook != nullptr ? probeHook : probeProcessor;
    probeHook = probe;
    return previous;
}

FailureNotifier setFailureNotifier(FailureNotifier notifier) {
    const FailureNotifier previous = notifierHook != nullptr ? notifierHook : defaultFailureNotifier;
    notifierHook = notifier;
    return previous;
}
