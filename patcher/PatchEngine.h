// One patch of a game folder: reads the configuration, fetches the file list
// from the patch server, replaces the patcher's key files first, then brings
// every listed file up to date by MD5 and records the level. It runs on one
// worker thread and reports through an IPatchView; the front end (the patch
// dialog, or the text front end) owns the engine and reads its flags.
//
// A file is replaced whole or not at all, and the level is recorded only
// after every file, so a failed, cancelled or killed run leaves usable files
// and the next run picks up where this one stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "patcher/FileList.h"
#include "patcher/PatchFlags.h"
#include "patcher/PatchView.h"
#include "platform/Internet.h"

struct PatchConfig {
    std::string folder;  // the game folder, absolute host path
    std::string server;  // PATCH_SERVER as written ("host" or "host:port")
    std::string host;
    uint16_t port = 0;  // 0: the protocol's default
    std::string rootPath;
    bool ftp = false;
    std::string user;
    std::string password;
    std::string language;
    std::string noticeUrl;
    std::string homepageUrl;
    std::string registryKey;
    uint32_t installedLevel = 1;
};

// Four integers from "a, b, c, d"; missing values are 0 and a value is
// bounded to int's range.
void ParseIntList(const std::string& text, int out[4]);

class CPatchEngine {
public:
    // Download modes.
    static constexpr int kListedFile = 0;   // saved under its own name
    static constexpr int kOutsideList = 1;  // size taken from the server
    static constexpr int kNewPatcher = 2;   // saved as "QORPatchTemp.tmp"

    // Size caps of what the server may send.
    static constexpr uint32_t kMaxListSize = 64u << 20;
    static constexpr uint32_t kMaxTextSize = 1u << 20;

    CPatchEngine(uint16_t languageId, IPatchView& view);
    ~CPatchEngine();  // waits for the worker
    CPatchEngine(const CPatchEngine&) = delete;
    CPatchEngine& operator=(const CPatchEngine&) = delete;

    // Configuration from the game folder (the working folder when none is
    // given). 1 when the patch is to run; 0 when it is not (files missing, or
    // an empty command line, which starts the launcher instead).
    int LoadPatchConfig(const std::string& commandLine);
    int LoadPatchConfig(const std::string& commandLine, const std::string& folder);
    std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key) const;
    const std::string& LoadLocalString(int id) const;

    // The worker: started after the front end is shown (SetReady), ended by
    // itself; Repatch starts a new one that digests every file.
    void StartWorker();
    void WaitWorker();
    bool WorkerRunning() const { return m_worker.joinable(); }
    void SetReady() { m_flags |= PATCH_FLAG_READY; }
    void Cancel() { m_flags |= PATCH_FLAG_CANCEL; }
    void Repatch();
    // Once the worker is done: ends it (one join) and starts the launcher when
    // key files were replaced (107 as the error text when it cannot start).
    PatchHandOverChoice HandOver();
    uint32_t Flags() const { return m_flags.load(); }

    // Starts the launcher "QOR.exe" of the game folder with one argument (the
    // hand-over after a key-file update); false when it cannot be started.
    bool StartLauncher(const std::string& argument) const;

    std::string StatusText() const;
    std::string ErrorText() const;
    void SetErrorText(const std::string& text);
    const PatchConfig& Config() const { return m_config; }
    const CFileList& FileList() const { return m_list; }

    // The steps of a run, each 1 or 0 (error text set).
    int PatchWorker();
    int RunPatch();
    int FetchFileList();
    int CheckKeyFiles();
    int PatchAllFiles();
    int UpdateFile(const PatchFileEntry& entry);
    int FinishPatch();
    int ConnectPatchServer();
    int DownloadFile(PatchFileEntry& entry, int mode);
    // Unpacks a downloaded package into the file the entry names, checked
    // against its size and digest.
    int InflateDrz(const std::string& packedPath, const PatchFileEntry& entry);
    // Creates each folder of a list name below the game folder.
    int MakeDirectories(const std::string& name);
    // Reads a small text file of the game folder into target.
    int ShowTextFile(std::string& target, const std::string& name);

    // The host path of a list name (".\DATA\A.DRP") in the game folder.
    std::string LocalPath(const std::string& listName) const;
    // The remote path of a list name: the root path, "/", the name without ".\".
    std::string RemotePath(const std::string& listName) const;
    // True when the last DownloadFile failed because the server answered with
    // a status (the file is not there), not because the transfer broke.
    bool LastFailureWasStatus() const { return m_lastFailureWasStatus; }

private:
    void WorkerThreadProc();
    void SetStatus(const std::string& text);
    bool Cancelled() const { return (m_flags.load() & PATCH_FLAG_CANCEL) != 0; }
    std::string StatusError(int status, const std::string& remotePath) const;
    int FetchTextFile(const char* name, bool* arrived);

    uint16_t m_languageId;
    IPatchView& m_view;
    PatchConfig m_config;
    CFileList m_list;
    platform::InternetSession m_session;
    std::atomic<uint32_t> m_flags{0};
    mutable std::mutex m_textMutex;
    std::string m_status;
    std::string m_error;
    std::thread m_worker;
    uint32_t m_filesDone = 0;
    bool m_lastFailureWasStatus = false;

    friend class CDownloadSink;
};
