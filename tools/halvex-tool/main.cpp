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

#include "commands.h"

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
