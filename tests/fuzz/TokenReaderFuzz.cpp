// The token reader of the text scripts: the input is the script text, read
// word by word with a few tokens known, as the script loaders read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/TokenReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    CTokenReader reader;
    reader.AddToken("{", CTokenReader::TOKEN_BLOCK_OPEN);
    reader.AddToken("}", CTokenReader::TOKEN_BLOCK_CLOSE);
    reader.AddToken("END", CTokenReader::TOKEN_END);
    reader.AddToken("NAME", 10);
    reader.AddToken("VALUE", 11);
    if (!reader.OpenText("FUZZ.TXT", std::string(reinterpret_cast<const char*>(data), size))) return 0;
    for (int i = 0; i < 100000; ++i) {
        int token = reader.ReadWord();
        if (token == CTokenReader::TOKEN_END || token == CTokenReader::TOKEN_ERROR) break;
        for (int w = 0; w < 64; ++w) {
            const char* word = reader.NextWord();
            if (!word || !*word) break;
            if (token == 10) reader.ReportScriptError("%s %d %s", reader.FirstWord(), reader.LineNumber(), word);
        }
    }
    return 0;
}
