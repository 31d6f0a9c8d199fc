// Entry of the launcher "QOR.exe": "QOR.exe QOR" or "QOR.exe QORPatchTemp.tmp".
#include "patcher/Launcher.h"
#include "platform/File.h"

int main(int argc, char** argv) {
    return RunLauncher(argc > 1 ? argv[1] : "", platform::WorkingFolder());
}
