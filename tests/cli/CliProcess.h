#pragma once
// Runs the zkf780a binary as a child process in a folder of its own, its output kept in files,
// optionally as the unprivileged user nobody (through setpriv).

#include <string>
#include <vector>

namespace CliTest {

class TCliProcess {
public:
    // Starts zkf780a with args in folder. asNobody: run it as user nobody.
    TCliProcess(const std::vector<std::string>& args, const std::string& folder,
                bool asNobody = false);
    ~TCliProcess();

    // Waits up to ms for the exit; the exit status, 128 + signal when killed, -1 on time-out.
    int Wait(int ms);
    void Signal(int signal);
    std::string Out() const;
    std::string Err() const;

private:
    int Pid = -1;
    int Status = -1;
    std::string OutFile, ErrFile;
};

// True when this process may switch to nobody (root with setpriv); else the reason why not.
bool CanRunAsNobody(std::string& why);

} // namespace CliTest
