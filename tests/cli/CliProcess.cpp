#include "cli/CliProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace CliTest {

namespace {
std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

TCliProcess::TCliProcess(const std::vector<std::string>& args, const std::string& folder,
                         bool asNobody)
    : OutFile(folder + "/.out"), ErrFile(folder + "/.err") {
    std::vector<std::string> all;
    if (asNobody) all = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    all.push_back(ZKF780A_EXE);
    all.insert(all.end(), args.begin(), args.end());
    Pid = ::fork();
    if (Pid == 0) {
        ::setpgid(0, 0);
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        const int out = ::open(OutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(ErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
}

TCliProcess::~TCliProcess() {
    if (Pid > 0 && Wait(0) == -1) {
        ::kill(Pid, SIGKILL);
        Wait(5000);
    }
}

int TCliProcess::Wait(int ms) {
    if (Status >= 0) return Status;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        int st = 0;
        if (::waitpid(Pid, &st, WNOHANG) == Pid) {
            Status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            return Status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return -1;
}

void TCliProcess::Signal(int signal) {
    ::kill(Pid, signal);
}

std::string TCliProcess::Out() const {
    return Slurp(OutFile);
}
std::string TCliProcess::Err() const {
    return Slurp(ErrFile);
}

bool CanRunAsNobody(std::string& why) {
    if (::geteuid() != 0) {
        why = "not running as root, so the test cannot switch to user nobody";
        return false;
    }
    if (::system("setpriv --reuid=65534 --regid=65534 --clear-groups -- true 2>/dev/null") != 0) {
        why = "setpriv cannot switch to user nobody here";
        return false;
    }
    return true;
}

} // namespace CliTest
