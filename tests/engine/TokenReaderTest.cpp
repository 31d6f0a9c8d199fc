#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TokenReader.h"

#include <gtest/gtest.h>

#include "tests/fixtures/IndexedFolder.h"

namespace {

enum { MAPFILE = 100, HERO = 101, MISSION = 102, OP = 110, CHECK_TIMER = 202, MESSAGE = 309 };

class ScriptReader : public CTokenReader {
public:
    ScriptReader() {
        AddToken("MAPFILE", MAPFILE);
        AddToken("HERO", HERO);
        AddToken("MISSION", MISSION);
        AddToken("OP", OP);
        AddToken("CHECK_TIMER", CHECK_TIMER);
        AddToken("MESSAGE", MESSAGE);
    }
    // Reads every statement as "id:word,word,..." until the end.
    std::vector<std::string> statements;
    int loadResult = 1;

protected:
    int Load() override {
        for (int guard = 0; guard < 100; ++guard) {
            int id = ReadWord();
            std::string s = std::to_string(id) + ":";
            for (const char* w = NextWord(); *w; w = NextWord()) s += std::string(w) + ",";
            statements.push_back(s);
            if (id == TOKEN_END) break;
        }
        return loadResult;
    }
};

}  // namespace

TEST(TokenReader, StatementTable) {
    struct Case {
        const char* what;
        std::string script;
        std::vector<std::string> statements;
    } cases[] = {
        {"comments, blocks and blank lines",
         "; a comment\n// another\n\t\n{\nMISSION\n  HERO\thero1\n}\n[END]\nHERO never\n",
         {"102:", "101:hero1,", "5:", "1:"}},
        {"quotes and separators",
         "MAPFILE = \"a map.DRM\"\nOP=AND\nCHECK_TIMER 1 = 2.5\tIN\nMESSAGE \"one\\ntwo\" tail\n",
         {"100:a map.DRM,", "0:", "202:1,2.5,IN,", "309:one\r\ntwo,tail,", "1:"}},
        {"end of file without [END]", "HERO h", {"101:h,", "1:"}},
        {"unknown words and [END] inside a word", "WHATEVER x\nxx[END]yy\n", {"0:x,", "1:"}},
        {"windows line ends", "HERO h\r\n[END]\r\n", {"101:h,", "1:"}},
        {"empty script", "", {"1:"}},
    };
    for (const Case& c : cases) {
        CErrorReport report;
        ScriptReader reader;
        EXPECT_EQ(reader.OpenText("S.DAT", c.script), 1) << c.what;
        EXPECT_EQ(reader.statements, c.statements) << c.what;
    }
}

TEST(TokenReader, OverlongLineIsAnErrorAndReadingGoesOn) {
    CErrorReport report;
    ScriptReader reader;
    std::string script = "HERO a\nMESSAGE " + std::string(600, 'x') + "\nHERO b\n";
    reader.OpenText("LONG.DAT", script);
    EXPECT_EQ(reader.statements, (std::vector<std::string>{"101:a,", "3:", "101:b,", "1:"}));
    EXPECT_EQ(report.GetCode(), ERR_DATA);
    EXPECT_NE(report.Text().find("Word length exceeds 511 bytes"), std::string::npos) << report.Text();
    EXPECT_NE(report.Text().find("LONG.DAT(2)"), std::string::npos) << report.Text();
    // Exactly 511 bytes is still a line.
    ScriptReader edge;
    edge.OpenText("EDGE.DAT", "HERO " + std::string(506, 'y'));
    EXPECT_EQ(edge.statements[0], "101:" + std::string(506, 'y') + ",");
}

TEST(TokenReader, OpenFindsPackedScriptsAndReturnsTheLoadResult) {
    CErrorReport report;
    CMessageTable table;
    table.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
    IndexedFolder folder;
    CPackageWriter package("SCRIPT.DRP");
    package.Add("TUTORIAL.DAT", std::string("HERO h\n"), false);
    package.Add("OTHER.DAT", std::string("MISSION\n[END]\n"), false);
    ASSERT_TRUE(folder.WritePackage(package));
    ASSERT_TRUE(folder.Index());

    ScriptReader reader;
    reader.loadResult = 7;
    EXPECT_EQ(reader.Open("TUTORIAL.DAT"), 7);
    EXPECT_EQ(reader.statements, (std::vector<std::string>{"101:h,", "1:"}));
    EXPECT_EQ(reader.LineNumber(), 1);

    ScriptReader missing;
    EXPECT_EQ(missing.Open("NOWHERE.DAT"), 0);
    EXPECT_TRUE(missing.statements.empty());
    EXPECT_EQ(report.GetCode(), ERR_FILE_NOT_FOUND);
    EXPECT_STREQ(report.GetText(), "Cannot find the file NOWHERE.DAT.");
}
