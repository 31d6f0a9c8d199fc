#include "tests/program/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

pid_t StartProgram(const ProgramStart& start) {
    std::vector<std::string> all;
    // The given entries replace inherited ones; the sound library's own settings are the machine's.
    auto overridden = [&start](const std::string& entry) {
        if (entry.rfind("ALSOFT_", 0) == 0) return true;
        const std::string key = entry.substr(0, entry.find('=') + 1);
        for (const std::string& e : start.env)
            if (e.rfind(key, 0) == 0) return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!overridden(*e)) all.push_back(*e);
    all.insert(all.end(), start.env.begin(), start.env.end());
    std::vector<char*> envp, argv;
    for (std::string& s : all) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> words = start.args;
    words.insert(words.begin(), start.program);
    for (std::string& s : words) argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (start.ownGroup) setpgid(0, 0);
        if (chdir(start.folder.c_str()) != 0) _exit(126);
        if (!start.errors.empty()) {
            const int fd = open(start.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) _exit(126);
            close(fd);
        }
        execve(start.program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    // Set here as well, so that a signal to the group right after the start reaches the child.
    if (child > 0 && start.ownGroup) setpgid(child, child);
    return child;
}

int WaitForProgram(pid_t child, std::chrono::milliseconds bound, bool ownGroup) {
    const auto end = std::chrono::steady_clock::now() + bound;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t r = waitpid(child, &status, WNOHANG);
        if (r == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(ownGroup ? -child : child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}
