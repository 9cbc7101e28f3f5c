#include "TTerminalView.h"

#include <string>

namespace Cli {

TTerminalView::TTerminalView(std::FILE* out, bool msgOn, TProgressStyle progress)
    : Out(out), Msg(msgOn), Progress(progress) {}

TTerminalView::~TTerminalView() {
    EndBar();
}

void TTerminalView::EndBar() {
    if (!BarShown) return;
    std::fputs("\r\033[K", Out);
    std::fflush(Out);
    BarShown = false;
}

void TTerminalView::AppendLine(const std::string& line) {
    const bool redraw = BarShown;
    EndBar();
    std::fprintf(Out, "%s\n", line.c_str());
    if (redraw) DrawBar();
    std::fflush(Out);
}

void TTerminalView::SetProgress(unsigned position) {
    const unsigned before = Meter.Blocks();
    Meter.SetPosition(position);
    if (Progress == TProgressStyle::Lines) {
        if (position < before) LinePercent = 0; // started over at block 1
        PrintProgressLine();
        return;
    }
    if (Progress != TProgressStyle::Bar) return;
    // A redraw per frame would cost more than the frame; a few per second are enough to see.
    const auto now = std::chrono::steady_clock::now();
    if (BarShown && position != Meter.TotalBlocks() &&
        now - LastDraw < std::chrono::milliseconds(100))
        return;
    LastDraw = now;
    DrawBar();
}

// One line when the transfer passes the next 10% step.
void TTerminalView::PrintProgressLine() {
    const unsigned step = Meter.Percent() / 10 * 10;
    if (step <= LinePercent || Meter.TotalBlocks() == 0) return;
    LinePercent = step;
    std::fprintf(Out, "Progress: %3u%% (%u/%u blocks, %s)\n", step, Meter.Blocks(),
                 Meter.TotalBlocks(), Meter.RateAndTimeLeft().c_str());
    std::fflush(Out);
}

void TTerminalView::DrawBar() {
    if (Progress != TProgressStyle::Bar || Meter.TotalBlocks() == 0) return;
    const unsigned width = 30;
    const unsigned filled = width * Meter.Percent() / 100;
    std::string bar(filled, '#');
    bar.append(width - filled, '-');
    std::fprintf(Out, "\r\033[K[%s] %3u%% %u/%u blocks %s", bar.c_str(), Meter.Percent(),
                 Meter.Blocks(), Meter.TotalBlocks(), Meter.RateAndTimeLeft().c_str());
    std::fflush(Out);
    BarShown = true;
}

} // namespace Cli
