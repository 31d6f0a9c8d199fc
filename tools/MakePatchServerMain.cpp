// MakePatchServer <game folder> <server folder> [root path] [level]: the files
// a patch server publishes for the game folder (root path "patch", level 1 by
// default). Serve the server folder over HTTP or FTP.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/PatchServerFolder.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: MakePatchServer <game folder> <server folder> [root path] [level]\n");
        return 2;
    }
    std::string root = argc > 3 ? argv[3] : "patch";
    unsigned long level = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 1;
    if (!MakePatchServerFolder(argv[1], argv[2], root, static_cast<uint32_t>(level))) {
        std::fprintf(stderr, "MakePatchServer: cannot write %s from %s\n", argv[2], argv[1]);
        return 1;
    }
    return 0;
}
