// halvex-tool's commands: each takes the arguments after the command name
// (argv[0] is the command name) and returns the program's exit code.
#pragma once
#include <cstdint>
#include <string>

int commandInfo(int argc, char** argv);
int commandFft(int argc, char** argv);
int commandBench(int argc, char** argv);

// Binds variant v (0..5) as --variant names it: an empty text on success, else
// why not (not built; or instructions this processor lacks, which would stop
// the program at the first transform).
std::string bindNamedVariant(int32_t v);
// The instruction set of a vector variant's body of a register width: "SSE"
// (variant 4's 128-bit body), "SSE2" (variant 5's), "AVX", "AVX-512F".
const char* widthName(int32_t variant, int32_t bits);
// With a variant bound: for a vector variant, its body of `bits` (128, 256
// or 512), or with bits 0 the widest that this processor and its system run
// (what the load binds); for a scalar variant only bits 0. An empty text on
// success, else why it cannot be bound.
std::string bindWidth(int32_t bits);
