// Starting the real programs of the whole-program tests as a player's shell
// would, and waiting for their end with a bound.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

struct ProgramStart {
    std::string program;              // full path
    std::vector<std::string> args;    // after the program's name
    std::string folder;               // working folder
    std::vector<std::string> env;     // entries that replace inherited ones
    std::string errors;               // file for standard output and error, or "" to inherit both
    bool ownGroup = false;            // a process group of its own, so the helpers it starts end with it
};

// The child's pid, or -1.
pid_t StartProgram(const ProgramStart& start);
// The exit status (128 + signal when killed), or -1 when the child did not
// end within the bound (it and its group, if its own, are killed then).
int WaitForProgram(pid_t child, std::chrono::milliseconds bound, bool ownGroup = false);
