// halvex-tool bench: placeholder until the command is written.
#include <cstdio>

#include "commands.h"

int commandBench(int /*argc*/, char** /*argv*/) {
    std::fprintf(stderr, "halvex-tool: bench is not available in this build\n");
    return 2;
}
