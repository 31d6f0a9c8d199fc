// Entry of the game client. Started by the patcher as "QOR.run go" in the game folder.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "go") != 0) {
        std::fprintf(stderr, "QOR: start the game through QORPatch.run\n");
        return 0;
    }
    std::fprintf(stderr, "QOR: the client is not complete yet\n");
    return 0;
}
