// halvex-tool's commands: each takes the arguments after the command name
// (argv[0] is the command name) and returns the program's exit code.
#pragma once

int commandInfo(int argc, char** argv);
int commandFft(int argc, char** argv);
int commandBench(int argc, char** argv);
