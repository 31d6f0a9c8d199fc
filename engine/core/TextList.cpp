#include "engine/core/TextList.h"

#include "engine/core/TextFileReader.h"

namespace {
constexpr size_t kListLineLength = 511;
}

int ReadTextList(const char* fileName, std::vector<std::string>& out) {
    CTextFileReader reader;
    if (!reader.Open(fileName)) return 0;
    std::string line;
    while (reader.ReadLine(line, kListLineLength)) {
        if (line.find("[END]") != std::string::npos) break;
        out.push_back(line);
    }
    return 1;
}
