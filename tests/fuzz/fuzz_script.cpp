// libFuzzer target: every input is written to "set//version.psc" in a private
// temporary directory (not made the current one, so corpus paths relative to
// where the fuzzer starts still hold) and loaded with the installer's
// loadScript; then the model is walked the way setup and psc-check use it.
// Any crash, overrun, leak or hang is a finding.
#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "platform/ui.h"
#include "script/diagnose.h"
#include "script/model.h"
#include "script/reader.h"
#include "script/text.h"

int uiMessageBox(WindowHandle, const char*, const char*, unsigned) { return answerOk; }

namespace {

std::string workDir;

void removeWorkDir() {
    if (workDir.empty()) return;
    std::remove((workDir + "/set/version.psc").c_str());
    rmdir((workDir + "/set").c_str());
    rmdir(workDir.c_str());
}

void walk(FILE* file, const Set& set, int depth) {
    for (const Variant& v : set.variants) {
        for (int n = -1; n <= 15; ++n) messageText(v, n, n & 3);
        for (int r = 0; r <= rowCount(v.files); ++r)
            for (int c = fileTarget; c <= fileOverwritePolicy; ++c) keywordCode(cell(v.files, r, c));
        if (depth < 3) tagRowPositions(file, v.start, v.end, "<<file>>");
    }
    if (set.subsets)
        for (const Set& child : *set.subsets) walk(file, child, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz_script.XXXXXX";
    if (!mkdtemp(pattern) || mkdir((std::string(pattern) + "/set").c_str(), 0700) != 0) std::abort();
    workDir = pattern;
    std::atexit(removeWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = workDir + "/set//version.psc";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);

    Script script;
    if (loadScript(script, path.c_str())) {
        for (const Set& set : script.sets) walk(script.file, set, 0);
    } else if (script.file) {
        // What psc-check does after a failure.
        NestingFault fault;
        checkNestingDetail(script.file, &fault);
        const ReadTrace& trace = lastReadTrace();
        if (trace.variantFailed && trace.variantStart >= 0) {
            missingVariantTags(script.file, trace.variantStart, trace.variantEnd);
            lineNumberAt(script.file, trace.variantEnd);
        }
    }
    destroyScript(script);
    return 0;
}
