#include "engine/text/FontFileLocator.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/text/FreeTypeFont.h"
#include "engine/core/MessageTable.h"
#include "platform/File.h"
#include "tests/fixtures/IndexedFolder.h"
#include "tools/SampleGameFolder.h"

#include <cstdlib>
#include <string>

namespace {

const char* kNanum = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";

std::vector<uint8_t> NanumBytes() {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(platform::ReadWholeFile(kNanum, bytes)) << "scripts/install-deps installs fonts-nanum";
    return bytes;
}

}  // namespace

TEST(FontFileLocator, PackageEntryComesFirstAndOpensFromMemory) {
    CErrorReport report;
    IndexedFolder folder;
    std::vector<uint8_t> bytes = NanumBytes();
    CPackageWriter package("FONT.DRP");
    package.Add("NanumGothic.ttf", bytes);
    ASSERT_TRUE(folder.WritePackage(package));
    ASSERT_TRUE(folder.Index());

    CFontFileLocator locator;
    FontFile file;
    ASSERT_EQ(locator.Locate("NanumGothic.ttf", 0, &file), 1);
    EXPECT_TRUE(file.path.empty());
    EXPECT_EQ(file.bytes, bytes);  // the entry's digest is no part of the font

    CFreeTypeFont font;
    ASSERT_EQ(font.Create(2, 12, std::move(file), 0, 0, 0, 0, 1, 1), 1) << report.Text();
    EXPECT_NE(font.Glyph(0xB0A1), nullptr);
}

TEST(FontFileLocator, SystemFolderAndSubstitutes) {
    CErrorReport report;
    TempFolder sys;
    sys.Write("a/b/MyFont.TTF", "x");
    sys.Write("nanum/NanumGothicCoding.ttf", "x");
    sys.Write("nanum/NanumMyeongjo.ttf", "x");
    CFontFileLocator locator;
    EXPECT_EQ(locator.SystemFolder(), "/usr/share/fonts/truetype");
    locator.SetSystemFolder(sys.path());

    struct Case {
        const char* name;
        int32_t face;
        const char* found;  // file name part, or null when not found
        int32_t foundFace;
    } cases[] = {
        {"myfont.ttf", 3, "MyFont.TTF", 3},            // found as named, any case, in a sub-folder
        {"GULIM.TTC", 1, "NanumGothicCoding.ttf", 0},  // GulimChe: fixed pitch
        {"batang.ttc", 2, "NanumMyeongjo.ttf", 0},     // Gungsuh
        {"gulim.ttc", 0, nullptr, 0},                  // its substitute is not installed here
        {"unknown.ttf", 0, nullptr, 0},
    };
    for (const auto& c : cases) {
        FontFile file;
        int ok = locator.Locate(c.name, c.face, &file);
        if (!c.found) {
            EXPECT_EQ(ok, 0) << c.name;
            EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_FILE_NOT_FOUND));
            EXPECT_NE(report.Text().find(c.name), std::string::npos) << report.Text();
            continue;
        }
        ASSERT_EQ(ok, 1) << c.name;
        EXPECT_EQ(file.path.substr(file.path.find_last_of('/') + 1), c.found);
        EXPECT_EQ(file.faceIndex, c.foundFace);
    }
}

TEST(FontFileLocator, SubstituteTable) {
    struct Case {
        const char* name;
        int32_t face;
        const char* installed;
    } cases[] = {
        {"gulim.ttc", 0, "NanumGothic.ttf"},    {"Gulim.ttc", 3, "NanumGothicCoding.ttf"},
        {"batang.ttc", 0, "NanumMyeongjo.ttf"}, {"arial.ttf", 0, "NanumGothic.ttf"},
        {"ARIAL.TTF", 2, "NanumGothic.ttf"},    {"gulim.ttc", 4, nullptr},
        {"nanumgothic.ttf", 0, nullptr},
    };
    for (const auto& c : cases) {
        const FontSubstitute* s = CFontFileLocator::FindSubstitute(c.name, c.face);
        if (!c.installed) {
            EXPECT_EQ(s, nullptr) << c.name;
        } else {
            ASSERT_NE(s, nullptr) << c.name;
            EXPECT_STREQ(s->installedName, c.installed);
        }
    }
    // Every substitute is a font that fonts-nanum installs.
    CFontFileLocator locator;
    for (const char* name : {"gulim.ttc", "batang.ttc", "malgunbd.ttf", "cour.ttf", "timesbd.ttf"}) {
        FontFile file;
        EXPECT_EQ(locator.Locate(name, 0, &file), 1) << name;
    }
}

TEST(FontFileLocator, EveryFontOfTheSampleGameFolderOpens) {
    CErrorReport report;
    IndexedFolder folder;
    CMessageTable messages;
    ASSERT_EQ(MakeSampleGameFolder(folder.tmp.path()), 1);
    ASSERT_TRUE(folder.Index());
    ASSERT_EQ(messages.LoadInfoFile("GAMEINFO.DAT"), 1) << report.Text();
    int count = std::atoi(messages.GetInfo("FONT_COUNT"));
    ASSERT_GT(count, 0);
    for (int n = 1; n <= count; ++n) {
        auto key = [n](const char* field) { return "FONT" + std::to_string(n) + "_" + field; };
        FontFile file;
        ASSERT_EQ(CFontFileLocator().Locate(messages.GetInfo(key("NAME").c_str()),
                                            std::atoi(messages.GetInfo(key("INDEX").c_str())), &file),
                  1)
            << report.Text();
        CFreeTypeFont font;
        EXPECT_EQ(font.Create(std::atoi(messages.GetInfo(key("OUTLINE").c_str())),
                              std::atoi(messages.GetInfo(key("SIZE").c_str())), std::move(file),
                              static_cast<float>(std::atof(messages.GetInfo(key("BOLD1").c_str()))),
                              static_cast<float>(std::atof(messages.GetInfo(key("BOLD2").c_str()))),
                              std::atoi(messages.GetInfo(key("GAP1").c_str())),
                              std::atoi(messages.GetInfo(key("GAP2").c_str())), 1, 1),
                  1)
            << report.Text();
        EXPECT_NE(font.Glyph(0xB0A1), nullptr) << n;
    }
}
