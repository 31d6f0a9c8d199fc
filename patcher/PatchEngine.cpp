#include "patcher/PatchEngine.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "patcher/Md5File.h"
#include "patcher/PartFile.h"
#include "patcher/PatchStrings.h"
#include "platform/File.h"
#include "platform/Ini.h"
#include "platform/MessageSink.h"
#include "platform/NameHash.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace {

constexpr const char* kRegistryBase = "SOFTWARE\\Brimholt\\QOR";
constexpr const char* kListName = ".\\FILELIST.DAT";
constexpr const char* kPatcherName = "QORPatch.run";
constexpr const char* kLauncherName = "QOR.exe";
constexpr const char* kNewPatcherFile = "QORPatchTemp.tmp";

std::string BaseName(const std::string& name) {
    size_t p = name.rfind('\\');
    return p == std::string::npos ? name : name.substr(p + 1);
}

bool IsPackage(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".DRP") == 0;
}

uint32_t Thousands(uint64_t bytes) {
    uint64_t k = bytes / 1000;
    return k > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(k);
}

}  // namespace

void ParseIntList(const std::string& text, int out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = 0;
    std::string digits;
    int index = 0;
    auto take = [&] {
        if (index < 4) {
            // atoi's leading-number reading, but bounded instead of undefined on overflow.
            long long v = std::strtoll(digits.c_str(), nullptr, 10);
            out[index] = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
        }
        ++index;
        digits.clear();
    };
    for (char c : text) {
        if (c == ',') {
            take();
        } else if (c != ' ') {
            if (digits.size() < 64) digits.push_back(c);
        }
    }
    take();
}

PatchHandOverChoice PatchHandOver(uint32_t flags) {
    PatchHandOverChoice choice;
    bool cancelled = (flags & PATCH_FLAG_CANCEL) != 0;
    bool stopped = (flags & PATCH_FLAG_STOPPED) != 0;
    if (!cancelled && stopped) {
        if (flags & PATCH_FLAG_SELF_UPDATE)
            choice.launcherArgument = kNewPatcherFile;
        else if (flags & PATCH_FLAG_RELAUNCH)
            choice.launcherArgument = "QOR";
    }
    // A run that finished leaves the front end open for the player.
    choice.close = cancelled || stopped;
    return choice;
}

// Where the bytes of one download go: a checked ".part" file, or the packed
// ".DRZ" that is unpacked afterwards. It enforces the size cap, drives the
// per-file bar and passes the player's cancel to the transfer.
class CDownloadSink : public platform::ITransferSink {
public:
    CDownloadSink(CPatchEngine& engine, PatchFileEntry& entry, int mode, uint64_t cap)
        : m_engine(engine), m_entry(entry), m_mode(mode), m_cap(cap) {}

    CPartFile* part = nullptr;
    platform::File* packed = nullptr;
    bool overflow = false;
    bool writeFailed = false;
    int64_t announced = -1;
    uint64_t received = 0;

    bool Begin(int64_t length) override {
        announced = length;
        if (length >= 0 && static_cast<uint64_t>(length) > m_cap) {
            overflow = true;
            return false;
        }
        if (m_mode == CPatchEngine::kOutsideList && length >= 0) m_entry.size = static_cast<uint32_t>(length);
        m_range = Thousands(m_mode == CPatchEngine::kOutsideList ? (length >= 0 ? length : 0) : m_entry.size);
        m_engine.m_view.FileProgress(0, m_range);
        return true;
    }
    bool Write(const uint8_t* data, size_t size) override {
        if (received + size > m_cap) {
            overflow = true;
            return false;
        }
        bool ok;
        if (part) {
            ok = part->Write(data, size);
        } else {
            size_t done = 0;
            ok = packed->Write(data, size, &done) && done == size;
        }
        if (!ok) {
            writeFailed = true;
            return false;
        }
        received += size;
        uint32_t pos = Thousands(received);
        if (pos != m_shown && pos <= m_range) {
            m_shown = pos;
            m_engine.m_view.FileProgress(pos, m_range);
        }
        return true;
    }
    bool Cancelled() override { return m_engine.Cancelled(); }

private:
    CPatchEngine& m_engine;
    PatchFileEntry& m_entry;
    int m_mode;
    uint64_t m_cap;
    uint32_t m_range = 0;
    uint32_t m_shown = 0;
};

CPatchEngine::CPatchEngine(uint16_t languageId, IPatchView& view) : m_languageId(languageId), m_view(view) {}

CPatchEngine::~CPatchEngine() {
    Cancel();
    WaitWorker();
}

const std::string& CPatchEngine::LoadLocalString(int id) const { return LoadPatchString(m_languageId, id); }

std::string CPatchEngine::ReadIniString(const std::string& file, const std::string& section,
                                        const std::string& key) const {
    return platform::GetProfileString(section, key, "", platform::HostPath(m_config.folder + "/" + file));
}

int CPatchEngine::LoadPatchConfig(const std::string& commandLine) {
    return LoadPatchConfig(commandLine, platform::WorkingFolder());
}

int CPatchEngine::LoadPatchConfig(const std::string& commandLine, const std::string& folder) {
    m_config = PatchConfig();
    m_config.folder = folder;
    if (!platform::FileExists(platform::HostPath(folder + "/MSG.DAT")) ||
        !platform::FileExists(platform::HostPath(folder + "/VAZE.INI"))) {
        platform::ShowMessage("Patch Message", LoadLocalString(107));
        return 0;
    }
    m_config.server = ReadIniString("VAZE.INI", "INFO", "PATCH_SERVER");
    platform::SplitHostPort(m_config.server, &m_config.host, &m_config.port);
    m_config.rootPath = ReadIniString("VAZE.INI", "INFO", "ROOT_PATH");
    m_config.ftp = ReadIniString("VAZE.INI", "INFO", "CONNECT") == "FTP";
    m_config.user = ReadIniString("VAZE.INI", "INFO", "USER");
    m_config.password = ReadIniString("VAZE.INI", "INFO", "PASS");
    m_config.language = ReadIniString("VAZE.INI", "INFO", "LANGUAGE");
    m_config.noticeUrl = ReadIniString("VAZE.INI", "PATCH", "NOTICE_URL");
    m_config.homepageUrl = ReadIniString("VAZE.INI", "PATCH", "HOMEPAGE_URL");
    m_config.registryKey = std::string(kRegistryBase) + "_" + m_config.language;

    platform::Registry& registry = platform::TheRegistry();
    if (registry.GetDword(m_config.registryKey, "PassStop").value_or(0) != 0) m_flags |= PATCH_FLAG_PASS_STOP;
    m_config.installedLevel = registry.GetDword(m_config.registryKey, "PatchKey").value_or(1);

    if (!commandLine.empty()) return 1;
    if (!StartLauncher("QOR")) platform::ShowMessage("Patch Message", LoadLocalString(107));
    return 0;
}

bool CPatchEngine::StartLauncher(const std::string& argument) const {
    return platform::Spawn(platform::HostPath(m_config.folder + "/" + kLauncherName), {argument});
}

std::string CPatchEngine::StatusText() const {
    std::lock_guard<std::mutex> lock(m_textMutex);
    return m_status;
}

std::string CPatchEngine::ErrorText() const {
    std::lock_guard<std::mutex> lock(m_textMutex);
    return m_error;
}

void CPatchEngine::SetErrorText(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_textMutex);
    m_error = text;
}

void CPatchEngine::SetStatus(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_status = text;
    }
    m_view.StatusChanged(text);
}

std::string CPatchEngine::LocalPath(const std::string& listName) const {
    std::string relative = listName.rfind(".\\", 0) == 0 ? listName.substr(2) : listName;
    return platform::HostPath(m_config.folder + "/" + relative);
}

std::string CPatchEngine::RemotePath(const std::string& listName) const {
    std::string path = m_config.rootPath + "/" + (listName.size() >= 2 ? listName.substr(2) : std::string());
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// ---------------------------------------------------------------- the worker

void CPatchEngine::StartWorker() {
    WaitWorker();
    m_worker = std::thread([this] { WorkerThreadProc(); });
}

void CPatchEngine::WaitWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void CPatchEngine::WorkerThreadProc() {
    if (!PatchWorker()) m_flags |= PATCH_FLAG_STOPPED;
    m_flags |= PATCH_FLAG_WORKER_DONE;
    m_view.WorkerEnded();
}

PatchHandOverChoice CPatchEngine::HandOver() {
    WaitWorker();
    PatchHandOverChoice choice = PatchHandOver(m_flags.load());
    if (choice.launcherArgument && !StartLauncher(choice.launcherArgument)) SetErrorText(LoadLocalString(107));
    return choice;
}

void CPatchEngine::Repatch() {
    WaitWorker();
    m_session.Close();
    m_filesDone = 0;
    uint32_t flags = m_flags.load();
    while (!m_flags.compare_exchange_weak(flags, (flags & ~0x11Eu) | PATCH_FLAG_RECHECK)) {
    }
    m_view.TotalProgress(0, m_list.Count());
    m_view.FileProgress(0, 0);
    StartWorker();
}

int CPatchEngine::PatchWorker() {
    while (!(m_flags.load() & (PATCH_FLAG_READY | PATCH_FLAG_CANCEL)))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!RunPatch() || Cancelled()) return 0;
    SetStatus(LoadLocalString(106));
    m_view.TotalProgress(0, m_list.Count());
    if (!PatchAllFiles() || Cancelled()) return 0;
    return FinishPatch() > 0 ? 1 : 0;
}

int CPatchEngine::FetchTextFile(const char* name, bool* arrived) {
    *arrived = false;
    PatchFileEntry entry;
    entry.name = std::string(".\\") + name;
    entry.size = 100000;
    entry.key = platform::NameHash(entry.name);
    if (DownloadFile(entry, kOutsideList)) {
        *arrived = true;
        return 1;
    }
    // Only a status says the file is not there; a broken transfer ends the run.
    if (Cancelled() || !LastFailureWasStatus()) return 0;
    SetErrorText("");
    return 1;
}

int CPatchEngine::RunPatch() {
    if (!ConnectPatchServer() || Cancelled()) return 0;
    SetStatus(LoadLocalString(110));
    if (!(m_flags.load() & PATCH_FLAG_PASS_STOP)) {
        bool arrived = false;
        if (!FetchTextFile("PatchStop.txt", &arrived)) return 0;
        if (arrived) {
            std::string notice;
            ShowTextFile(notice, ".\\PatchStop.txt");
            SetErrorText(notice);
            return 0;
        }
    }
    if (!FetchFileList() || Cancelled()) return 0;
    bool arrived = false;
    if (!FetchTextFile("TestReport.txt", &arrived)) return 0;
    if (arrived && !platform::Spawn("xdg-open", {LocalPath(".\\TestReport.txt")})) SetErrorText(LoadLocalString(111));
    return 1;
}

int CPatchEngine::FetchFileList() {
    m_list.Clear();
    const std::string local = LocalPath(kListName);
    // A list left by an earlier run must never be read as this one.
    platform::DeleteFile(local);
    PatchFileEntry entry;
    entry.name = kListName;
    entry.size = 100000;
    if (!DownloadFile(entry, kOutsideList)) return 0;
    std::vector<uint8_t> bytes;
    bool read = platform::ReadWholeFile(local, bytes);
    platform::DeleteFile(local);
    if (!read) {
        SetErrorText(LoadLocalString(109));
        return 0;
    }
    std::string badName;
    switch (m_list.Parse(bytes.data(), bytes.size(), &badName)) {
        case CFileList::ParseError::None:
            break;
        case CFileList::ParseError::Version:
            SetErrorText(LoadLocalString(107));
            return 0;
        case CFileList::ParseError::BadName:
            SetErrorText(LoadLocalString(109) + " [" + badName + "]");
            return 0;
        case CFileList::ParseError::Damaged:
            SetErrorText(LoadLocalString(109) + " [" + (kListName + 2) + "]");
            return 0;
    }
    SetStatus(LoadLocalString(117));
    if (!CheckKeyFiles() || Cancelled()) return 0;
    SetStatus(LoadLocalString(110));
    return 1;
}

int CPatchEngine::CheckKeyFiles() {
    struct KeyFile {
        const char* file;
        const char* label;
        int mode;
    };
    const KeyFile keys[] = {{"VAZE.INI", "VAZE.INI", kListedFile},
                            {kPatcherName, "PATCH", kNewPatcher},
                            {kLauncherName, "EXCUTE", kListedFile}};
    bool replaced[3] = {};
    for (int i = 0; i < 3; ++i) {
        const KeyFile& k = keys[i];
        std::string name = std::string(".\\") + k.file;
        const PatchFileEntry* listed = m_list.Find(platform::NameHash(name));
        if (!listed) {
            SetErrorText(std::string("Not Found ") + k.label + " [ServerList]");
            return 0;
        }
        std::string local = LocalPath(name);
        if (!platform::FileExists(local)) {
            SetErrorText(std::string("Not Found ") + k.label);
            return 0;
        }
        CMd5File digest(local);
        if (!digest.Ok()) {
            SetErrorText(std::string(k.label) + " CheckSum Error!");
            return 0;
        }
        if (!digest.Equals(listed->md5)) {
            SetStatus(LoadLocalString(108));
            PatchFileEntry entry = *listed;
            if (!DownloadFile(entry, k.mode)) return 0;
            SetStatus(LoadLocalString(117));
            replaced[i] = true;
        }
    }
    if (replaced[1]) {
        m_flags |= PATCH_FLAG_SELF_UPDATE;
        return 0;
    }
    if (replaced[0] || replaced[2]) {
        m_flags |= PATCH_FLAG_RELAUNCH;
        return 0;
    }
    return 1;
}

int CPatchEngine::PatchAllFiles() {
    if (Cancelled()) return 0;
    const uint32_t count = m_list.Count();
    m_filesDone = 0;
    m_view.TotalProgress(0, count);
    const bool checkAll = m_list.Level() != m_config.installedLevel || (m_flags.load() & PATCH_FLAG_RECHECK);
    for (const auto& [key, entry] : m_list.Files()) {
        (void)key;
        // The crash reporter's helper library of the original platform: never fetched.
        if (entry.name != ".\\dbghelp.dll") {
            SetStatus(BaseName(entry.name) + " " + LoadLocalString(110));
            if (Cancelled()) return 0;
            std::string local = LocalPath(entry.name);
            if (platform::FileExists(local)) {
                if (checkAll) {
                    CMd5File digest(local);
                    if (!digest.Ok()) {
                        SetErrorText("CheckSum Failed! [" + local + "]");
                        return 0;
                    }
                    if (Cancelled()) return 0;
                    if (!digest.Equals(entry.md5) && !UpdateFile(entry)) return 0;
                }
            } else if (!UpdateFile(entry)) {
                return 0;
            }
            m_view.FileProgress(0, 1);
        }
        ++m_filesDone;
        m_view.TotalProgress(m_filesDone < count ? m_filesDone : count, count);
    }
    m_view.TotalProgress(count, count);
    m_view.FileProgress(1, 1);
    // Only now, with every file in place: a run that stopped earlier is
    // repeated in full next time.
    if (m_list.Level() != m_config.installedLevel)
        platform::TheRegistry().SetDword(m_config.registryKey, "PatchKey", m_list.Level());
    return 1;
}

int CPatchEngine::UpdateFile(const PatchFileEntry& entry) {
    MakeDirectories(entry.name);
    SetStatus(BaseName(entry.name) + LoadLocalString(108));
    if (Cancelled()) return 0;
    PatchFileEntry copy = entry;
    return DownloadFile(copy, kListedFile);
}

int CPatchEngine::FinishPatch() {
    SetStatus(LoadLocalString(119));
    m_session.Close();
    m_list.Clear();
    uint32_t flags = m_flags.load();
    while (!m_flags.compare_exchange_weak(flags, (flags & ~PATCH_FLAG_RECHECK) | PATCH_FLAG_FINISHED)) {
    }
    m_view.PatchFinished();
    return 1;
}

int CPatchEngine::MakeDirectories(const std::string& name) {
    std::string current = m_config.folder;
    size_t start = name.find('\\');
    if (start == std::string::npos) return 1;
    ++start;
    while (true) {
        size_t end = name.find('\\', start);
        if (end == std::string::npos) return 1;  // the last part is the file
        std::string folder = platform::HostPath(current + "/" + name.substr(start, end - start));
        if (!platform::FolderExists(folder) && !platform::CreateFolder(folder)) return 0;
        current = folder;
        start = end + 1;
    }
}

int CPatchEngine::ShowTextFile(std::string& target, const std::string& name) {
    std::vector<uint8_t> bytes;
    target.clear();
    std::string local = LocalPath(name);
    if (platform::FileSize(local) > static_cast<int64_t>(kMaxTextSize) || !platform::ReadWholeFile(local, bytes))
        return 0;
    // Text mode: line ends become "\n".
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        target.push_back(static_cast<char>(bytes[i]));
    }
    return 1;
}

// ---------------------------------------------------------------- transfers

int CPatchEngine::ConnectPatchServer() {
    m_session.Close();
    SetStatus(LoadLocalString(113));
    platform::TransferResult r =
        m_session.Connect(m_config.ftp ? platform::InternetProtocol::Ftp : platform::InternetProtocol::Http,
                          m_config.host, m_config.port, m_config.user, m_config.password);
    if (r.outcome == platform::TransferOutcome::Done) return 1;
    SetErrorText(r.outcome == platform::TransferOutcome::Unreachable ? LoadLocalString(115) : r.text);
    return 0;
}

std::string CPatchEngine::StatusError(int status, const std::string& remotePath) const {
    switch (status) {
        case 400:
            return LoadLocalString(128);
        case 404:
        case 550:  // FTP: no such file
            return LoadLocalString(129) + remotePath;
        case 405:
            return LoadLocalString(130);
        case 500:
            return LoadLocalString(131);
        case 503:
            return LoadLocalString(132);
        default:
            return LoadLocalString(131) + " (" + std::to_string(status) + ")";
    }
}

int CPatchEngine::DownloadFile(PatchFileEntry& entry, int mode) {
    m_lastFailureWasStatus = false;
    std::string remote = RemotePath(entry.name);
    std::string local = mode == kNewPatcher ? LocalPath(std::string(".\\") + kNewPatcherFile) : LocalPath(entry.name);
    const bool package = mode != kOutsideList && IsPackage(entry.name);

    uint64_t cap;
    if (mode == kOutsideList)
        cap = entry.name == kListName ? kMaxListSize : kMaxTextSize;
    else if (package)
        cap = compressBound(entry.size) + 64;
    else
        cap = entry.size;

    CPartFile part(local);
    platform::File packedFile;
    std::string packedPath;
    CDownloadSink sink(*this, entry, mode, cap);
    if (package) {
        remote += ".DRZ";
        packedPath = local + ".DRZ";
        if (!packedFile.Open(packedPath, platform::File::Mode::Write)) {
            SetErrorText(LoadLocalString(134) + "[" + packedPath + "]");
            return 0;
        }
        sink.packed = &packedFile;
    } else {
        if (!part.Open()) {
            SetErrorText(LoadLocalString(134) + "[" + part.PartPath() + "]");
            return 0;
        }
        sink.part = &part;
    }
    // The packed file goes whatever happens: only the unpacked file stays.
    struct PackedGuard {
        platform::File& file;
        const std::string& path;
        ~PackedGuard() {
            file.Close();
            if (!path.empty()) platform::DeleteFile(path);
        }
    } packedGuard{packedFile, packedPath};

    platform::TransferResult r = m_session.Fetch(remote, sink);
    switch (r.outcome) {
        case platform::TransferOutcome::Done:
            break;
        case platform::TransferOutcome::Status:
            m_lastFailureWasStatus = true;
            SetErrorText(StatusError(r.status, remote));
            return 0;
        case platform::TransferOutcome::Unreachable:
            SetErrorText(LoadLocalString(115));
            return 0;
        case platform::TransferOutcome::Failed:
            SetErrorText(r.text);
            return 0;
        case platform::TransferOutcome::Cancelled:
            return 0;
        case platform::TransferOutcome::Refused:
            SetErrorText(sink.writeFailed ? LoadLocalString(134) + "[" + local + "]"
                                          : LoadLocalString(109) + " [" + entry.name + "]");
            return 0;
    }
    m_view.FileProgress(1, 1);

    if (mode == kOutsideList) {
        // The server said how long the file is; a stream that ended early is no file.
        if (sink.announced >= 0 && sink.received != static_cast<uint64_t>(sink.announced)) {
            SetErrorText(LoadLocalString(109) + " [" + entry.name + "]");
            return 0;
        }
        entry.size = static_cast<uint32_t>(sink.received);
        if (part.Commit(entry.size, nullptr) != CPartFile::CommitResult::Ok) {
            SetErrorText(LoadLocalString(134) + "[" + local + "]");
            return 0;
        }
        return 1;
    }
    if (!package) {
        CPartFile::CommitResult c = part.Commit(entry.size, entry.md5, mode == kNewPatcher ? 0755 : -1);
        if (c == CPartFile::CommitResult::Ok) return 1;
        SetErrorText(c == CPartFile::CommitResult::Mismatch ? LoadLocalString(109) + " [" + entry.name + "]"
                                                            : LoadLocalString(134) + "[" + local + "]");
        return 0;
    }
    packedFile.Close();
    SetStatus(BaseName(entry.name) + LoadLocalString(126));
    return InflateDrz(packedPath, entry);
}

int CPatchEngine::InflateDrz(const std::string& packedPath, const PatchFileEntry& entry) {
    if (packedPath.size() < 4) return 0;
    platform::File in;
    CPartFile out(packedPath.substr(0, packedPath.size() - 4));
    if (!in.Open(packedPath, platform::File::Mode::Read) || !out.Open()) {
        SetErrorText(BaseName(entry.name) + LoadLocalString(127));
        return 0;
    }
    const uint32_t range = Thousands(entry.size);
    m_view.FileProgress(0, range);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        SetErrorText(BaseName(entry.name) + LoadLocalString(127));
        return 0;
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
    std::vector<uint8_t> input(256 * 1024);
    std::vector<uint8_t> output(1024 * 1024);
    uint64_t consumed = 0;
    bool ended = false;
    bool tooLong = false;
    bool failed = false;
    bool needInput = true;
    while (!ended) {
        if (z.avail_in == 0 && needInput) {
            size_t got = 0;
            if (!in.Read(input.data(), input.size(), &got) || got == 0) {
                failed = true;  // the stream ended before its end mark
                break;
            }
            consumed += got;
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(got);
            m_view.FileProgress(std::min(Thousands(consumed), range), range);
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        int rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_BUF_ERROR && z.avail_in == 0) {
            needInput = true;  // nothing more without input
            continue;
        }
        if (rc != Z_OK && rc != Z_STREAM_END) {
            failed = true;
            break;
        }
        // A full output buffer may leave output pending inside the stream.
        needInput = z.avail_out != 0;
        size_t produced = output.size() - z.avail_out;
        if (out.Written() + produced > entry.size) {
            tooLong = true;
            break;
        }
        if (produced && !out.Write(output.data(), produced)) {
            SetErrorText(LoadLocalString(134) + "[" + out.TargetPath() + "]");
            return 0;
        }
        if (Cancelled()) return 0;
        ended = rc == Z_STREAM_END;
    }
    if (failed) {
        SetErrorText(BaseName(entry.name) + LoadLocalString(127));
        return 0;
    }
    if (tooLong) {
        SetErrorText(LoadLocalString(109) + " [" + entry.name + "]");
        return 0;
    }
    CPartFile::CommitResult c = out.Commit(entry.size, entry.md5);
    if (c == CPartFile::CommitResult::Ok) return 1;
    SetErrorText(c == CPartFile::CommitResult::Mismatch ? LoadLocalString(109) + " [" + entry.name + "]"
                                                        : LoadLocalString(134) + "[" + out.TargetPath() + "]");
    return 0;
}
