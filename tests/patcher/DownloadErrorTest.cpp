// Failed downloads leave the old file byte-equal and nothing beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "platform/Ini.h"
#include "platform/Md5.h"
#include "platform/NameHash.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tests/servers/LocalHttpServer.h"
#include "tests/servers/ScriptedHttpPeer.h"
#include "tools/PatchServerFolder.h"

namespace fs = std::filesystem;

namespace {

PatchFileEntry EntryFor(const std::string& name, const std::string& content) {
    PatchFileEntry e;
    e.name = name;
    e.key = platform::NameHash(name);
    e.size = static_cast<uint32_t>(content.size());
    platform::Md5(content.data(), content.size(), e.md5);
    return e;
}

class DownloadErrors : public ::testing::Test {
protected:
    std::unique_ptr<CPatchEngine> Engine(const std::string& server, bool ftp = false) {
        tmp.Write("game/MSG.DAT", "x");
        std::string ini = tmp.Path("game/VAZE.INI");
        platform::WriteProfileString("INFO", "PATCH_SERVER", server, ini);
        platform::WriteProfileString("INFO", "ROOT_PATH", "patch", ini);
        platform::WriteProfileString("INFO", "CONNECT", ftp ? "FTP" : "HTTP", ini);
        platform::WriteProfileString("INFO", "LANGUAGE", "ENG", ini);
        auto engine = std::make_unique<CPatchEngine>(kLanguageEnglish, view);
        EXPECT_EQ(engine->LoadPatchConfig("QOR", tmp.Path("game")), 1);
        return engine;
    }
    std::string Local(const std::string& name) const { return tmp.Path("game/" + name); }
    // The old file is there, byte-equal, and nothing was left beside it.
    void ExpectUntouched(const std::string& name, const std::string& old) {
        EXPECT_EQ(ReadFileText(Local(name)), old) << name;
        EXPECT_FALSE(fs::exists(Local(name) + ".part")) << name;
        EXPECT_FALSE(fs::exists(Local(name) + ".DRZ")) << name;
    }

    PatchTestEnvironment env;
    TempFolder tmp;
    CRecordingPatchView view;
};

}  // namespace

TEST_F(DownloadErrors, StatusesFailWithTheirTexts) {
    CLocalHttpServer http(tmp.Path("www"), tmp.path());
    fs::create_directories(tmp.Path("www/patch"));
    struct Case {
        int status;
        std::string text;
    };
    const Case cases[] = {{400, "The request cannot be processed."},
                          {403, "Unknown server error (403)"},
                          {404, "Unable to find the requested filepatch/S404"},
                          {405, "Server cannot support this method."},
                          {500, "Unknown server error"},
                          {503, "It exceeded the capacity of the server's process."},
                          {302, "Unknown server error (302)"}};
    for (const Case& c : cases) {
        if (c.status == 404) continue;  // simply missing
        std::string target = c.status == 302 ? " /patch/OTHER" : "";
        http.AddLocation("location = /patch/S" + std::to_string(c.status) + " { return " + std::to_string(c.status) +
                         target + "; }");
    }
    tmp.Write("www/patch/OTHER", "redirected body");
    ASSERT_TRUE(http.Start());
    auto engine = Engine("127.0.0.1:" + std::to_string(http.Port()));
    ASSERT_EQ(engine->ConnectPatchServer(), 1) << engine->ErrorText();
    for (const Case& c : cases) {
        std::string name = "S" + std::to_string(c.status);
        tmp.Write("game/" + name, "old");
        PatchFileEntry e = EntryFor(".\\" + name, "new");
        EXPECT_EQ(engine->DownloadFile(e, CPatchEngine::kListedFile), 0) << c.status;
        EXPECT_EQ(engine->ErrorText(), c.text);
        EXPECT_TRUE(engine->LastFailureWasStatus());
        ExpectUntouched(name, "old");
    }
    EXPECT_EQ(http.CountRequests("GET /patch/OTHER"), 0);  // redirects stay unfollowed
}

TEST_F(DownloadErrors, ShortOversizedAndWrongFilesAreRefused) {
    CLocalHttpServer http(tmp.Path("www"), tmp.path());
    tmp.Write("www/patch/F.DAT", "hello world");
    tmp.Write("www/patch/BAD.DRP.DRZ", "this is not zlib");
    std::vector<uint8_t> packed = CompressDrz({'p', 'a', 'c', 'k', 'a', 'g', 'e'});
    tmp.Write("www/patch/CUT.DRP.DRZ", std::vector<unsigned char>(packed.begin(), packed.end() - 3));
    tmp.Write("www/patch/OTHER.DRP.DRZ", std::vector<unsigned char>(packed.begin(), packed.end()));
    ASSERT_TRUE(http.Start());
    auto engine = Engine("127.0.0.1:" + std::to_string(http.Port()));
    ASSERT_EQ(engine->ConnectPatchServer(), 1);

    struct Case {
        std::string name;
        PatchFileEntry entry;
        std::string error;
    };
    PatchFileEntry shortEntry = EntryFor(".\\F.DAT", "hello world and more");
    PatchFileEntry longEntry = EntryFor(".\\F.DAT", "hello");
    PatchFileEntry wrongDigest = EntryFor(".\\F.DAT", "hello world");
    wrongDigest.md5[0] ^= 1;
    const Case cases[] = {
        {"F.DAT", shortEntry, "Failed to bring the file [.\\F.DAT]"},
        {"F.DAT", longEntry, "Failed to bring the file [.\\F.DAT]"},
        {"F.DAT", wrongDigest, "Failed to bring the file [.\\F.DAT]"},
        {"BAD.DRP", EntryFor(".\\BAD.DRP", "package"), "BAD.DRP Failed to unzip the files"},
        {"CUT.DRP", EntryFor(".\\CUT.DRP", "package"), "CUT.DRP Failed to unzip the files"},
        {"OTHER.DRP", EntryFor(".\\OTHER.DRP", "packagf"), "Failed to bring the file [.\\OTHER.DRP]"},
    };
    for (Case c : cases) {
        tmp.Write("game/" + c.name, "old");
        EXPECT_EQ(engine->DownloadFile(c.entry, CPatchEngine::kListedFile), 0) << c.name;
        EXPECT_EQ(engine->ErrorText(), c.error);
        EXPECT_FALSE(engine->LastFailureWasStatus());
        ExpectUntouched(c.name, "old");
    }
    // The same package with its right digest arrives.
    PatchFileEntry good = EntryFor(".\\OTHER.DRP", "package");
    EXPECT_EQ(engine->DownloadFile(good, CPatchEngine::kListedFile), 1) << engine->ErrorText();
    ExpectUntouched("OTHER.DRP", "package");
    EXPECT_FALSE(view.fileOverRange);
}

TEST_F(DownloadErrors, SizesArriveByteExact) {
    CLocalHttpServer http(tmp.Path("www"), tmp.path());
    ASSERT_TRUE(http.Start());
    auto engine = Engine("127.0.0.1:" + std::to_string(http.Port()));
    ASSERT_EQ(engine->ConnectPatchServer(), 1);
    for (size_t size : {0u, 9999u, 10000u, 10001u, 20000u, 3000000u}) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>(i * 13 % 256);
        std::string name = "S" + std::to_string(size);
        tmp.Write("www/patch/" + name, content);
        PatchFileEntry e = EntryFor(".\\" + name, content);
        EXPECT_EQ(engine->DownloadFile(e, CPatchEngine::kListedFile), 1) << engine->ErrorText();
        EXPECT_EQ(ReadFileText(Local(name)), content) << size;
        // And as a package.
        std::vector<uint8_t> packed = CompressDrz(std::vector<uint8_t>(content.begin(), content.end()));
        tmp.Write("www/patch/" + name + ".DRP.DRZ", std::vector<unsigned char>(packed.begin(), packed.end()));
        PatchFileEntry p = EntryFor(".\\" + name + ".DRP", content);
        EXPECT_EQ(engine->DownloadFile(p, CPatchEngine::kListedFile), 1) << engine->ErrorText();
        ExpectUntouched(name + ".DRP", content);
    }
}

TEST_F(DownloadErrors, UnreachableServers) {
    uint16_t port = FreeLoopbackPort();
    for (bool ftp : {false, true}) {
        auto engine = Engine("127.0.0.1:" + std::to_string(port), ftp);
        EXPECT_EQ(engine->ConnectPatchServer(), 0);
        EXPECT_EQ(engine->ErrorText(), "No response from the server");
    }
}

TEST_F(DownloadErrors, CancelUnderARateLimit) {
    CLocalHttpServer http(tmp.Path("www"), tmp.path());
    http.AddLocation("location = /patch/SLOW.DAT { limit_rate 200k; }");
    std::string content(4 << 20, 'x');
    tmp.Write("www/patch/SLOW.DAT", content);
    ASSERT_TRUE(http.Start());
    auto engine = Engine("127.0.0.1:" + std::to_string(http.Port()));
    ASSERT_EQ(engine->ConnectPatchServer(), 1);
    tmp.Write("game/SLOW.DAT", "old");
    PatchFileEntry e = EntryFor(".\\SLOW.DAT", content);
    int result = -1;
    std::thread worker([&] { result = engine->DownloadFile(e, CPatchEngine::kListedFile); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::error_code ec;
    while (std::chrono::steady_clock::now() < deadline && fs::file_size(Local("SLOW.DAT.part"), ec) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    engine->Cancel();
    worker.join();
    EXPECT_EQ(result, 0);
    ExpectUntouched("SLOW.DAT", "old");
}

TEST_F(DownloadErrors, BodyCutShortOrStalled) {
    platform::SetInternetTimeouts(5, 1);
    struct Case {
        std::string response;
        bool stall;
        std::string error;  // empty: the transfer library's own text
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(50, 'a'), false, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", true, "No response from the server"},
    };
    for (const Case& c : cases) {
        CScriptedHttpPeer peer(c.response, c.stall);
        ASSERT_TRUE(peer.Start());
        auto engine = Engine("127.0.0.1:" + std::to_string(peer.Port()));
        ASSERT_EQ(engine->ConnectPatchServer(), 1);
        tmp.Write("game/CUT.DAT", "old");
        PatchFileEntry e = EntryFor(".\\CUT.DAT", std::string(100, 'a'));
        EXPECT_EQ(engine->DownloadFile(e, CPatchEngine::kListedFile), 0);
        if (c.error.empty())
            EXPECT_FALSE(engine->ErrorText().empty());
        else
            EXPECT_EQ(engine->ErrorText(), c.error);
        EXPECT_FALSE(engine->LastFailureWasStatus());
        ExpectUntouched("CUT.DAT", "old");
        // Outside the list (a stop notice) the same break ends the run.
        PatchFileEntry notice = EntryFor(".\\PatchStop.txt", "");
        EXPECT_EQ(engine->DownloadFile(notice, CPatchEngine::kOutsideList), 0);
        EXPECT_FALSE(engine->LastFailureWasStatus());
        EXPECT_FALSE(fs::exists(Local("PatchStop.txt")));
        peer.Stop();
    }
    platform::SetInternetTimeouts(21, 30);
}
