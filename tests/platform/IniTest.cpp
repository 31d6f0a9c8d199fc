#include "platform/Ini.h"

#include <gtest/gtest.h>

#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"

namespace {

const char* const kSample =
    "; settings of the sample\r\n"
    "[Net]\r\n"
    "  Host =  game.example  \r\n"
    "PORT=\t9100\r\n"
    "Empty=\r\n"
    "Quoted=\"  spaced out  \"\r\n"
    "Single='x'\r\n"
    "HalfQuote=\"abc\r\n"
    "Lone=\"\r\n"
    "Formula=a=b\r\n"
    "NoEquals\r\n"
    ";Host=commented\r\n"
    "Twice=first\r\n"
    "Twice=second\r\n"
    "[ Video ]\r\n"
    "Width=800\r\n"
    "[net]\n"
    "Late=from the second block\n"
    "Host=not this one\r"
    "Last=no line break";

}  // namespace

TEST(Ini, ProfileStringRules) {
    TempFolder tmp;
    std::string path = tmp.Write("game.ini", kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Net", "Host", "game.example"},      // blanks around names and values trimmed
        {"NET", "host", "game.example"},      // names match without case
        {" Net ", " Host ", "game.example"},  // the caller's names are trimmed too
        {"Net", "Port", "9100"},              // tab trimmed, no stray "\r"
        {"Net", "Empty", ""},                 // present but empty is no default
        {"Net", "Quoted", "  spaced out  "},  // one pair of quotes removed, inside kept
        {"Net", "Single", "x"},
        {"Net", "HalfQuote", "\"abc"},  // unmatched quote kept
        {"Net", "Lone", "\""},
        {"Net", "Formula", "a=b"},  // split at the first '='
        {"Net", "NoEquals", "DEF"},
        {"Net", ";Host", "DEF"},                   // comment line
        {"Net", "Twice", "first"},                 // first pair wins
        {"Video", "Width", "800"},                 // header with blanks inside the brackets
        {"Video", "Host", "DEF"},                  // keys belong to their section
        {"Net", "Late", "from the second block"},  // sections of one name count as one
        {"Net", "Last", "no line break"},          // lone "\r" ends a line; last line without one
        {"Missing", "Host", "DEF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::GetProfileString(c.section, c.key, "DEF", path), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(platform::GetProfileString("Net", "Host", "DEF", tmp.Path("missing.ini")), "DEF");
    EXPECT_EQ(platform::GetProfileString("Net", "Nope", "", path), "");
}

TEST(Ini, ValuesAreCutAt511BytesWithoutSplittingACharacter) {
    TempFolder tmp;
    std::string ascii(600, 'x');
    // 509 ASCII bytes, then Hangul pairs: the pair at bytes 509..510 fits, the
    // next one would end at byte 512 and is left out whole.
    std::string hangul = std::string(509, 'y') + "\xC7\xD1\xB1\xDB\xC7\xD1";
    std::string path = tmp.Write("long.ini", "[S]\nA=" + ascii + "\nH=" + hangul + "\n");
    EXPECT_EQ(platform::GetProfileString("S", "A", "", path), std::string(511, 'x'));
    EXPECT_EQ(platform::GetProfileString("S", "H", "", path), std::string(509, 'y') + "\xC7\xD1");
    EXPECT_EQ(platform::GetProfileString("S", "none", ascii, path), std::string(511, 'x'));
}

TEST(Ini, AByteRangeIsReadAloneAndNothingPastItsEnd) {
    TempFolder tmp;
    // Three "entries" back to back, as in a package file.
    std::string before = "[S]\nk=before\n";
    std::string entry = "[S]\nk=inside\nlong=12345";
    std::string after = "6789\nnext=after\n";
    std::string path = tmp.Write("pack.drp", before + entry + after);
    uint64_t offset = before.size(), size = entry.size();
    EXPECT_EQ(platform::GetProfileStringRange("S", "k", "", path, offset, size), "inside");
    EXPECT_EQ(platform::GetProfileStringRange("S", "long", "", path, offset, size),
              "12345");  // the range ends the value
    EXPECT_EQ(platform::GetProfileStringRange("S", "next", "D", path, offset, size), "D");
    EXPECT_EQ(platform::GetProfileStringRange("S", "next", "D", path, offset, 0), "after");   // 0: to the end
    EXPECT_EQ(platform::GetProfileStringRange("S", "k", "D", path, 1000, 10), "D");           // past the file
    EXPECT_EQ(platform::GetProfileStringRange("S", "k", "D", path, offset, 1000), "inside");  // cut at the file's end
}

TEST(Ini, ProfileIntReadsTheLeadingNumber) {
    TempFolder tmp;
    std::string path = tmp.Write("n.ini", "[N]\na=42\nb= -7 \nc=12abc\nd=abc\ne=\nf=+3\ng=4294967297\n");
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"a", 42}, {"b", -7}, {"c", 12}, {"d", 0}, {"e", 99}, {"f", 3}, {"g", 1}, {"missing", 99}};
    for (const Case& c : cases) EXPECT_EQ(platform::GetProfileInt("N", c.key, 99, path), c.expected) << c.key;
}

TEST(Ini, WritesUpdateInPlaceAddKeysAndSectionsAndReplaceTheFileWhole) {
    TempFolder tmp;
    std::string path = tmp.path() + "\\Option.INI";
    ASSERT_TRUE(platform::WriteProfileString("Sound", "Volume", "5", path));
    ASSERT_TRUE(platform::WriteProfileString("Video", "Width", "800", path));
    ASSERT_TRUE(platform::WriteProfileString("SOUND", "Music", "on", path));  // into the existing section
    ASSERT_TRUE(platform::WriteProfileString("sound", "VOLUME", "7", path));  // replaces, keeps the old spelling
    ASSERT_TRUE(platform::WriteProfileString("Video", "Title", "한 글", path));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "[Sound]\r\nVolume=7\r\nMusic=on\r\n[Video]\r\nWidth=800\r\nTitle=한 글\r\n");

    // An existing file keeps its comments, its other lines and its "\n" endings.
    std::string hand = tmp.Write("hand.ini", "; mine\n[A]\n x = 1 \n\n[B]\ny=2\n");
    ASSERT_TRUE(platform::WriteProfileString("A", "z", "3", hand));
    ASSERT_TRUE(platform::WriteProfileString("A", "X", "9", hand));
    ASSERT_TRUE(platform::ReadWholeFile(hand, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "; mine\n[A]\nx=9\nz=3\n\n[B]\ny=2\n");

    // Names or values that would change the file's structure are refused.
    EXPECT_FALSE(platform::WriteProfileString("A", "k", "1\r\n[Evil]", hand));
    EXPECT_FALSE(platform::WriteProfileString("A]", "k", "1", hand));
    EXPECT_FALSE(platform::WriteProfileString("A", "k=v", "1", hand));
    EXPECT_FALSE(platform::WriteProfileString("A", "", "1", hand));
    EXPECT_EQ(platform::ListFolder(tmp.path()).size(), 2u);  // no temporary files left behind
}
