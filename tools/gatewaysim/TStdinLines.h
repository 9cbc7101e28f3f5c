#pragma once
// The lines typed on standard input, collected by a reader thread of their own so that the
// main loop can wait for them with a time-out on every platform (a console or a pipe on
// Windows is not something poll() or WaitForMultipleObjects treat alike).

#include <memory>
#include <string>
#include <vector>

namespace GatewaySim {

class TStdinLines {
public:
    TStdinLines();
    // The reader thread is left blocked in its read; it ends with the process.
    ~TStdinLines() = default;
    TStdinLines(const TStdinLines&) = delete;
    TStdinLines& operator=(const TStdinLines&) = delete;

    // Waits up to timeoutMs for complete lines (without their line ends) and takes them.
    std::vector<std::string> Wait(int timeoutMs);
    // Standard input has ended (end of file or a read error); its last lines were handed out.
    bool Ended() const;

private:
    struct TShared;
    std::shared_ptr<TShared> Shared;
};

} // namespace GatewaySim
