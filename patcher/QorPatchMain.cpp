// Entry of the patcher and launcher: "QORPatch.run QOR", or "QORPatch.run <number> <dump file>".
#include <cstdio>

int main(int argc, char** argv) {
    (void)argv;
    if (argc < 2) {
        std::fprintf(stderr, "QORPatch: start through the launcher\n");
        return 0;
    }
    std::fprintf(stderr, "QORPatch: the patcher is not complete yet\n");
    return 0;
}
