#include <filesystem>
#include <fstream>
#include <sstream>

#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "platform/Ini.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tools/PackageWriter.h"
#include "tools/PatchServerFolder.h"
#include "tools/SampleGameFolder.h"

namespace fs = std::filesystem;

namespace {

bool WriteFile(const std::string& path, const std::string& content) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

std::string Pattern(size_t size, int seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed)) % 251);
    return s;
}

}  // namespace

CPatchSite::CPatchSite(const std::string& root)
    : a(root + "/A"), b(root + "/B"), www(root + "/www"), game(root + "/game"), work(root + "/work") {
    fs::create_directories(www);
    fs::create_directories(work);
}

bool CPatchSite::MakeVersions(const std::string& server, bool ftp) {
    if (!MakeSampleGameFolder(a)) return false;
    WriteFile(a + "/QORPatch.run", "#!/bin/sh\n# patcher A\n");
    WriteFile(a + "/QOR.exe", "#!/bin/sh\n# launcher A\n");
    WriteFile(a + "/NOTICE.TXT", "old notice\n");
    fs::permissions(a + "/QORPatch.run", fs::perms(0755));
    fs::permissions(a + "/QOR.exe", fs::perms(0755));
    std::error_code ec;
    fs::copy(a, b, fs::copy_options::recursive, ec);
    if (ec) return false;
    SetIni("PATCH_SERVER", server);
    SetIni("CONNECT", ftp ? "FTP" : "HTTP");
    SetIni("USER", "qor");
    SetIni("PASS", "secret");

    CPackageWriter info("INFO.DRP");
    info.Add("MSG.DAT", MessageFileText(SampleMessages()), false);
    info.Add("NEW.DAT", "a new entry of version B", false);
    if (!info.WritePackage(b + "/DATA")) return false;
    WriteFile(b + "/DATA/MAP/DEEP/NEW.DAT", Pattern(3000, 5));
    WriteFile(b + "/NOTICE.TXT", "new notice\n");
    WriteFile(b + "/DATA/lower.drp", Pattern(5000, 9));
    WriteFile(b + "/DATA/A B#1%.DAT", "a name to encode");
    for (size_t size : {0u, 9999u, 10000u, 10001u, 20000u})
        WriteFile(b + "/SIZES/S" + std::to_string(size), Pattern(size, static_cast<int>(size)));
    return true;
}

void CPatchSite::SetIni(const std::string& key, const std::string& value) {
    platform::WriteProfileString("INFO", key, value, a + "/VAZE.INI");
    platform::WriteProfileString("INFO", key, value, b + "/VAZE.INI");
}

bool CPatchSite::Publish(const std::string& version, uint32_t level) {
    std::error_code ec;
    fs::remove_all(www + "/patch", ec);
    return MakePatchServerFolder(version, www, "patch", level) == 1;
}

bool CPatchSite::Install(const std::string& version) {
    std::error_code ec;
    fs::remove_all(game, ec);
    fs::copy(version, game, fs::copy_options::recursive, ec);
    return !ec;
}

bool CPatchSite::SameFiles(const std::string& version, std::string* diff) const {
    for (const auto& e : fs::recursive_directory_iterator(version)) {
        if (!e.is_regular_file()) continue;
        std::string rel = fs::relative(e.path(), version).string();
        if (ReadFileText(e.path().string()) != ReadFileText(game + "/" + rel) || !fs::exists(game + "/" + rel)) {
            if (diff) *diff = rel;
            return false;
        }
    }
    return true;
}

std::vector<std::string> CPatchSite::Leftovers() const {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(game)) {
        std::string ext = e.path().extension().string();
        if (ext == ".part" || ext == ".DRZ") out.push_back(e.path().string());
    }
    return out;
}

CPatchSite::Result CPatchSite::Run(bool repatch) {
    CRecordingPatchView view;
    CPatchEngine engine(kLanguageEnglish, view);
    Result r;
    if (!engine.LoadPatchConfig("QOR", game)) {
        r.error = "no config";
        return r;
    }
    engine.SetReady();
    engine.StartWorker();
    engine.WaitWorker();
    if (repatch && (engine.Flags() & PATCH_FLAG_FINISHED)) {
        engine.Repatch();
        engine.WaitWorker();
    }
    r.flags = engine.Flags();
    r.error = engine.ErrorText();
    return r;
}
