// Entry of the patcher and launcher: "QORPatch.run QOR", or "QORPatch.run <number> <dump file>".
#include <vector>

#include "patcher/PatchApp.h"
#include "platform/File.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunPatchApp(JoinCommandLine(arguments), platform::WorkingFolder());
}
