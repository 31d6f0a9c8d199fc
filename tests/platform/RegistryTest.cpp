#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/File.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"

namespace {

const char* const kKey = "SOFTWARE\\Brimholt\\QOR_KR";

// Every rule of the store, run against the memory store and the file store alike.
void CheckTypedValues(platform::Registry& r) {
    const std::vector<uint8_t> blob = {0x00, 0x0A, 0x09, 0x25, 0xFF, 0x0D};
    const std::string text = "tab\there\nnew line 100% \xC7\xD1\xB1\xDB";
    ASSERT_TRUE(r.SetDword(kKey, "Version", 0xFFFFFFFFu));
    ASSERT_TRUE(r.SetString(kKey, "Path", text));
    ASSERT_TRUE(r.SetBinary(kKey, "Blob", blob));
    ASSERT_TRUE(r.SetBinary(kKey, "Nothing", {}));
    ASSERT_TRUE(r.SetString("Other\\Key", "Path", ""));

    EXPECT_EQ(r.GetDword(kKey, "Version"), 0xFFFFFFFFu);
    EXPECT_EQ(r.GetString(kKey, "Path"), text);
    EXPECT_EQ(r.GetBinary(kKey, "Blob"), blob);
    EXPECT_EQ(r.GetBinary(kKey, "Nothing"), std::vector<uint8_t>());
    EXPECT_EQ(r.GetString("other\\KEY", "path"), "");  // key paths and names ignore case

    EXPECT_EQ(r.GetString(kKey, "Version"), std::nullopt);  // a value is read only as its own type
    EXPECT_EQ(r.GetDword(kKey, "Missing"), std::nullopt);
    EXPECT_EQ(r.GetDword("No\\Such\\Key", "Version"), std::nullopt);

    ASSERT_TRUE(r.SetString("software\\brimholt\\qor_kr", "VERSION", "now text"));  // replaces, type and all
    EXPECT_EQ(r.GetDword(kKey, "Version"), std::nullopt);
    EXPECT_EQ(r.GetString(kKey, "Version"), "now text");

    EXPECT_TRUE(r.DeleteValue(kKey, "blob"));
    EXPECT_FALSE(r.DeleteValue(kKey, "blob"));
    EXPECT_EQ(r.GetBinary(kKey, "Blob"), std::nullopt);
    EXPECT_EQ(r.GetString(kKey, "Path"), text);
}

}  // namespace

TEST(Registry, MemoryStoreKeepsTypedValues) {
    auto r = platform::CreateMemoryRegistry();
    CheckTypedValues(*r);
}

TEST(Registry, FileStoreKeepsTypedValuesAcrossInstances) {
    TempFolder tmp;
    std::string path = tmp.Path("cfg/qor/registry.txt");  // folders made as needed
    CheckTypedValues(*platform::CreateFileRegistry(path));
    auto again = platform::CreateFileRegistry(path);
    EXPECT_EQ(again->GetString(kKey, "Version"), "now text");
    EXPECT_EQ(again->GetString(kKey, "path"), "tab\there\nnew line 100% \xC7\xD1\xB1\xDB");
    // Only the store and its lock file remain: temporary files were renamed.
    EXPECT_EQ(platform::ListFolder(tmp.Path("cfg/qor")).size(), 2u);
}

TEST(Registry, AFolderSpelledInAnotherCaseIsTheStoresFolder) {
    TempFolder tmp;
    ASSERT_TRUE(platform::CreateFolders(tmp.Path("Cfg/QOR")));
    auto r = platform::CreateFileRegistry(tmp.Path("cfg/qor/registry.txt"));
    auto other = platform::CreateFileRegistry(tmp.Path("CFG/Qor/registry.txt"));
    EXPECT_EQ(other->GetDword(kKey, "Version"), std::nullopt);  // read (and kept) while missing
    ASSERT_TRUE(r->SetDword(kKey, "Version", 5));
    EXPECT_EQ(other->GetDword(kKey, "Version"), 5u) << "the change is seen through the other spelling";
    ASSERT_TRUE(other->SetDword(kKey, "Version", 6));
    EXPECT_EQ(r->GetDword(kKey, "Version"), 6u);
    std::vector<std::string> names;
    for (const auto& e : platform::ListFolder(tmp.Path("Cfg/QOR"))) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
    EXPECT_EQ(platform::ListFolder(tmp.path()).size(), 1u) << "no folder of the other spelling";
}

TEST(Registry, AStoreReadOnceStillSeesTheOtherProgramsWrites) {
    TempFolder tmp;
    std::string path = tmp.Path("registry.txt");
    auto client = platform::CreateFileRegistry(path);
    auto patcher = platform::CreateFileRegistry(path);
    EXPECT_EQ(client->GetDword(kKey, "Version"), std::nullopt);  // read (and kept) while missing
    ASSERT_TRUE(patcher->SetDword(kKey, "Version", 7));
    EXPECT_EQ(client->GetDword(kKey, "Version"), 7u);
    ASSERT_TRUE(client->SetDword(kKey, "Other", 1));
    ASSERT_TRUE(patcher->SetDword(kKey, "Version", 8));
    EXPECT_EQ(client->GetDword(kKey, "Version"), 8u);
    EXPECT_EQ(patcher->GetDword(kKey, "Other"), 1u);
    ASSERT_TRUE(platform::DeleteFile(path));
    EXPECT_EQ(client->GetDword(kKey, "Version"), std::nullopt);
}

TEST(Registry, FileStoreLivesUnderTheConfigFolder) {
    TempFolder tmp;
    {
        ScopedEnv config("XDG_CONFIG_HOME", tmp.path().c_str());
        ASSERT_TRUE(platform::CreateFileRegistry()->SetDword("K", "V", 1));
    }
    EXPECT_TRUE(platform::FileExists(tmp.Path("qor/registry.txt")));
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", tmp.path().c_str());
    ASSERT_TRUE(platform::CreateFileRegistry()->SetDword("K", "V", 2));
    EXPECT_TRUE(platform::FileExists(tmp.Path(".config/qor/registry.txt")));
}

TEST(Registry, DamagedFilesLoseOnlyTheirBadLines) {
    TempFolder tmp;
    const std::string header = "qor-registry 1\n";
    const std::string good = "dword\tK\tGood\t7\n";
    struct Case {
        const char* what;
        std::string content;
        bool goodSurvives;
    } cases[] = {
        {"unknown type", header + "qword\tK\tX\t1\n" + good, true},
        {"too few fields", header + "dword\tK\t1\n" + good, true},
        {"too many fields", header + "dword\tK\tX\t1\t2\n" + good, true},
        {"number too large", header + "dword\tK\tX\t4294967296\n" + good, true},
        {"not a number", header + "dword\tK\tX\t-1\n" + good, true},
        {"odd hex", header + "binary\tK\tX\tabc\n" + good, true},
        {"bad hex", header + "binary\tK\tX\tzz\n" + good, true},
        {"cut escape", header + "string\tK\tX\tab%4\n" + good, true},
        {"binary noise", header + std::string("\0\xFF\t\t\t\n", 6) + good, true},
        {"cut last line", header + good + "dword\tK\tCut\t12", true},
        {"no header", good, false},
        {"empty", "", false},
        {"header cut", "qor-reg", false},
    };
    for (const Case& c : cases) {
        std::string path = tmp.Write("registry.txt", c.content);
        auto r = platform::CreateFileRegistry(path);
        EXPECT_EQ(r->GetDword("K", "Good").has_value(), c.goodSurvives) << c.what;
        EXPECT_EQ(r->GetDword("K", "X"), std::nullopt) << c.what;
        EXPECT_EQ(r->GetDword("K", "Cut"), std::nullopt) << c.what;
        // A damaged store can still be written, keeping what it could read.
        ASSERT_TRUE(r->SetDword("K", "New", 3)) << c.what;
        EXPECT_EQ(r->GetDword("K", "New"), 3u) << c.what;
        EXPECT_EQ(r->GetDword("K", "Good").has_value(), c.goodSurvives) << c.what;
    }
}

TEST(Registry, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    TempFolder tmp;
    std::string path = tmp.Path("registry.txt");
    constexpr int kWrites = 150;
    auto writeAll = [&](const char* prefix) {
        auto r = platform::CreateFileRegistry(path);
        bool ok = true;
        for (int i = 0; i < kWrites; ++i) {
            std::string name = prefix + std::to_string(i);
            ok = r->SetDword("Shared", name, static_cast<uint32_t>(i)) && ok;
            ok = r->SetString("Shared", "Last" + std::string(prefix), name) && ok;
        }
        return ok;
    };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(writeAll("patcher") ? 0 : 1);
    bool ok = writeAll("client");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    auto r = platform::CreateFileRegistry(path);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(r->GetDword("Shared", "client" + std::to_string(i)), static_cast<uint32_t>(i));
        EXPECT_EQ(r->GetDword("Shared", "patcher" + std::to_string(i)), static_cast<uint32_t>(i));
    }
    EXPECT_EQ(r->GetString("Shared", "Lastclient"), "client" + std::to_string(kWrites - 1));
    EXPECT_EQ(r->GetString("Shared", "Lastpatcher"), "patcher" + std::to_string(kWrites - 1));
}

TEST(Registry, TheRegistryIsTheInstalledStore) {
    platform::SetRegistry(platform::CreateMemoryRegistry());
    ASSERT_TRUE(platform::TheRegistry().SetDword("K", "V", 5));
    EXPECT_EQ(platform::TheRegistry().GetDword("k", "v"), 5u);
    platform::SetRegistry(platform::CreateMemoryRegistry());
    EXPECT_EQ(platform::TheRegistry().GetDword("K", "V"), std::nullopt);
}
