// halvex-tool: the project's command-line tool around the halvex library
// (linked with the internal library halvex_internal).
//
//   halvex-tool info      the processor probe, class and bound variant
//   halvex-tool fft ...   transforms (see its own usage)
//   halvex-tool bench ... timings (see its own usage)
//
// Exit codes: the command's; 2 for a missing or unknown command.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/variants.h"
#include "commands.h"
#include "halvex_internal.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* summary;
};

const Command commands[] = {
    {"info", commandInfo, "show the processor probe, its class and the variant the library binds"},
    {"fft", commandFft, "run transforms through the library"},
    {"bench", commandBench, "time the library's transforms"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: halvex-tool <command> [arguments]\n\ncommands:\n");
    for (const Command& command : commands) {
        std::fprintf(out, "  %-6s %s\n", command.name, command.summary);
    }
}

}  // namespace

const char* widthName(int32_t variant, int32_t bits) {
    return bits == 512 ? "AVX-512F" : bits == 256 ? "AVX" : variant == 4 ? "SSE" : "SSE2";
}

std::string bindNamedVariant(int32_t v) {
    ProcessorInfo info{};
    if (probeProcessor(&info) && !processorRunsVariant(info, v))
        return "variant " + std::to_string(v) + " needs " + (v == 4 ? "SSE" : "SSE2") + ", which this processor lacks";
    return forceVariant(v) ? "" : "variant " + std::to_string(v) + " is not built";
}

std::string bindWidth(int32_t bits) {
    const int32_t bound = boundVariant();
    if (boundVectorWidth() == 0) {
        if (bits == 0) return "";
        return "--width applies to the vector variants 4 and 5 only (variant " + std::to_string(bound) +
               " is bound)";
    }
    ProcessorInfo info{};
    probeProcessor(&info);
    const int32_t widest = vectorWidthFor(info, bound);
    if (bits == 0) bits = widest;
    int32_t built = 0;
    for (int w = 0; w < vectorWidthCount; ++w)
        if (vectorWidths[w] == bits && widthEntries[bound][w]) built = 1;
    const std::string body = std::to_string(bits) + "-bit body of variant " + std::to_string(bound);
    if (!built) return "this build has no " + body;
    if (bits > widest)
        return std::string("this processor, or its system, does not run the ") + body + " (the widest it runs is " +
               std::to_string(widest) + " bits)";
    return forceVectorWidth(bits) ? "" : "the " + body + " could not be bound";
}

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0 ||
        std::strcmp(name, "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    for (const Command& command : commands) {
        if (std::strcmp(name, command.name) == 0) return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "halvex-tool: unknown command '%s'\n", name);
    printUsage(stderr);
    return 2;
}
