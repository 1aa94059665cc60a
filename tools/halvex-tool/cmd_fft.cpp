// halvex-tool fft: placeholder until the command is written.
#include <cstdio>

#include "commands.h"

int commandFft(int /*argc*/, char** /*argv*/) {
    std::fprintf(stderr, "halvex-tool: fft is not available in this build\n");
    return 2;
}
