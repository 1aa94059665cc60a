// libFuzzer target: every input is written to "set//version.psc" in a private
// temporary directory (the fuzzer chdirs into it once) and loaded with the
// installer's loadScript; then the model is walked the way setup and
// psc-check use it. Any crash, overrun, leak or hang is a finding.
#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
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

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The fuzzer works in a temporary directory; corpus paths given relative
    // to where it was started are made absolute, and crash reports go there
    // too (-artifact_prefix, unless the command line has one).
    static std::vector<std::string> storage;
    static std::vector<char*> args;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) {
        bool hasPrefix = false;
        storage.reserve(static_cast<size_t>(*argc) + 1);
        for (int i = 0; i < *argc; ++i) {
            std::string arg = (*argv)[i];
            if (arg.rfind("-artifact_prefix=", 0) == 0) hasPrefix = true;
            if (i > 0 && !arg.empty() && arg[0] != '-' && arg[0] != '/') arg = std::string(cwd) + "/" + arg;
            storage.push_back(arg);
        }
        if (!hasPrefix) storage.push_back(std::string("-artifact_prefix=") + cwd + "/");
        for (std::string& arg : storage) args.push_back(&arg[0]);
        args.push_back(nullptr);
        *argv = args.data();
        *argc = static_cast<int>(storage.size());
    }
    char pattern[] = "/tmp/fuzz_script.XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0 || mkdir("set", 0700) != 0) std::abort();
    workDir = pattern;
    std::atexit(removeWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* out = std::fopen("set//version.psc", "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);

    Script script;
    if (loadScript(script, "set//version.psc")) {
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
