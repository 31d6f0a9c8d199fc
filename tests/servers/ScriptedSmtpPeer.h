// A mail server on 127.0.0.1 that plays a script: send these bytes, expect a
// line that starts so, take the data up to ".", stay silent, close. Tests use
// it for the replies a real server seldom gives: greetings split over two
// writes, refusals at each step, silence. The port is picked by the system.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScriptedSmtpPeer {
public:
    CScriptedSmtpPeer();
    ~CScriptedSmtpPeer();
    CScriptedSmtpPeer(const CScriptedSmtpPeer&) = delete;
    CScriptedSmtpPeer& operator=(const CScriptedSmtpPeer&) = delete;

    uint16_t Port() const { return m_port; }

    // Script steps, run in order on the peer's thread once Start is called.
    // Waits for the client.
    CScriptedSmtpPeer& Accept();
    CScriptedSmtpPeer& Send(std::string bytes);
    // Waits this long before the next step (to split what is sent).
    CScriptedSmtpPeer& Pause(int ms);
    // The next line must start with prefix.
    CScriptedSmtpPeer& Expect(std::string prefix);
    // Takes lines up to the line "."; the lines between are kept in Data().
    CScriptedSmtpPeer& ExpectData();
    CScriptedSmtpPeer& Close();
    void Start();

    // Waits until the script has run (true) or the time is up.
    bool WaitDone(int timeoutMs = 10000);
    std::vector<std::string> Failures() const;
    // Every line the client sent, without its line end.
    std::vector<std::string> Lines() const;
    // The data of the last ExpectData, as sent (dots still doubled), lines ended by CRLF.
    std::string Data() const;

private:
    struct Step {
        enum Kind { ACCEPT, SEND, PAUSE, EXPECT, DATA, CLOSE } kind;
        std::string text;
        int ms = 0;
    };
    void Run();
    bool ReadLine(std::string* line);
    bool Fail(std::string text);

    int m_listen = -1;
    int m_client = -1;
    uint16_t m_port = 0;
    std::vector<Step> m_steps;
    std::string m_buffered;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_failures;
    std::vector<std::string> m_lines;
    std::string m_data;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
