// The program's loop sleeps until a command line, a stop signal or the end of --seconds, and
// each of them ends the run cleanly.
#ifndef _WIN32

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The simulator with pipes on its standard input and output.
class TSimProgram {
public:
    explicit TSimProgram(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        args.insert(args.begin(), ZKF780A_GATEWAYSIM);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        Pid = ::fork();
        if (Pid == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        Input = in[1];
        Output = out[0];
    }
    ~TSimProgram() {
        if (Pid > 0) {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, nullptr, 0);
        }
        CloseInput();
        if (Output >= 0) ::close(Output);
    }

    // Reads the output until it holds text (true) or ends, or ms pass.
    bool WaitFor(const std::string& text, int ms) {
        while (Seen.find(text) == std::string::npos)
            if (!ReadSome(ms)) return false;
        return true;
    }
    // The exit status once the program has ended within ms; -1 if it has not.
    int Wait(int ms) {
        while (ReadSome(ms)) {
        }
        if (!Ended) return -1;
        int status = 0;
        ::waitpid(Pid, &status, 0);
        Pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Send(const std::string& text) { (void)!::write(Input, text.data(), text.size()); }
    void Signal(int signal) { ::kill(Pid, signal); }
    void CloseInput() {
        if (Input >= 0) ::close(Input);
        Input = -1;
    }
    const std::string& Text() const { return Seen; }

private:
    // One read of the output; false at its end or after ms without any.
    bool ReadSome(int ms) {
        pollfd p{Output, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return false;
        char buf[512];
        const ssize_t n = ::read(Output, buf, sizeof buf);
        if (n <= 0) {
            Ended = true;
            return false;
        }
        Seen.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    int Pid = -1, Input = -1, Output = -1;
    bool Ended = false;
    std::string Seen;
};

const char* const Started = "Gateway simulator on";

} // namespace

TEST(GatewaySimProgram, ACommandASignalOrTheTimeLimitEndsTheRun) {
    {
        TSimProgram sim({"--quiet"});
        ASSERT_TRUE(sim.WaitFor(Started, 5000));
        sim.Send("status\nquit\n");
        EXPECT_EQ(sim.Wait(5000), 0);
        EXPECT_NE(sim.Text().find("R0="), std::string::npos) << sim.Text();
    }
    for (int signal : {SIGINT, SIGTERM}) {
        TSimProgram sim({"--quiet"});
        ASSERT_TRUE(sim.WaitFor(Started, 5000));
        sim.Signal(signal);
        EXPECT_EQ(sim.Wait(5000), 0) << signal;
    }
    // Standard input at its end does not end the run; --seconds does.
    TSimProgram timed({"--quiet", "--seconds", "1"});
    timed.CloseInput();
    ASSERT_TRUE(timed.WaitFor(Started, 5000));
    EXPECT_EQ(timed.Wait(5000), 0);
}

#endif
