#pragma once
// The message box and progress bar of the command-line transfers: lines go to stdout exactly
// as the window shows them; on a terminal a progress bar is kept on the last line.

#include "link/TUploadView.h"

#include <chrono>
#include <cstdio>

namespace Link {

class TTerminalView final : public TUploadView {
public:
    // progressBar: draw the bar (only sensible when out is a terminal).
    TTerminalView(std::FILE* out, bool msgOn, bool progressBar);
    ~TTerminalView() override;

    void AppendLine(const std::string& line) override;
    void ClearLines() override {}
    void SetProgress(unsigned position) override;
    bool MsgOn() const override { return Msg; }
    void SetCommandButtonsEnabled(bool) override {}

    // The block count the bar runs to.
    void SetTotal(unsigned total) { Total = total; }
    // Removes the bar from the terminal.
    void EndBar();

private:
    void DrawBar();

    std::FILE* Out;
    bool Msg;
    bool Bar;
    bool BarShown = false;
    unsigned Total = 0;
    unsigned Position = 0;
    std::chrono::steady_clock::time_point LastDraw{};
};

} // namespace Link
