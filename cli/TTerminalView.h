#pragma once
// The message box and progress of the command-line transfers: lines go to stdout exactly as
// the window shows them; the progress is a bar kept on the last line of a terminal, or a line
// every 10% when the output is a file or pipe, so that logs show it too.

#include "TProgressMeter.h"
#include "link/TUploadView.h"

#include <chrono>
#include <cstdio>

namespace Cli {

enum class TProgressStyle { Off, Bar, Lines };

class TTerminalView final : public Link::TUploadView {
public:
    TTerminalView(std::FILE* out, bool msgOn, TProgressStyle progress);
    ~TTerminalView() override;

    void AppendLine(const std::string& line) override;
    void ClearLines() override {}
    void SetProgress(unsigned position) override;
    bool MsgOn() const override { return Msg; }
    void SetCommandButtonsEnabled(bool) override {}

    // The block count the progress runs to.
    void SetTotal(unsigned total) { Meter.SetTotal(total); }
    // Removes the bar from the terminal.
    void EndBar();

private:
    void DrawBar();
    void PrintProgressLine();

    std::FILE* Out;
    bool Msg;
    TProgressStyle Progress;
    TProgressMeter Meter;
    bool BarShown = false;
    unsigned LinePercent = 0; // the last 10% step printed as a line
    std::chrono::steady_clock::time_point LastDraw{};
};

} // namespace Cli
