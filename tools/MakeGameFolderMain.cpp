// MakeGameFolder <folder>: writes the sample game folder and its replay.
#include <cstdio>

#include "engine/core/ErrorReport.h"
#include "tools/SampleGameFolder.h"
#include "tools/SampleReplay.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    CErrorReport report;
    if (!MakeSampleGameFolder(argv[1])) {
        std::fprintf(stderr, "MakeGameFolder: cannot write %s %s\n", argv[1], report.GetText());
        return 1;
    }
    if (!WriteSampleReplay(argv[1])) {
        std::fprintf(stderr, "MakeGameFolder: cannot record the sample replay in %s: %s\n", argv[1],
                     report.GetText());
        return 1;
    }
    return 0;
}
