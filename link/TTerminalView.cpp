#include "link/TTerminalView.h"

#include <string>

namespace Link {

TTerminalView::TTerminalView(std::FILE* out, bool msgOn, bool progressBar)
    : Out(out), Msg(msgOn), Bar(progressBar) {}

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
    Position = position;
    if (!Bar) return;
    // A redraw per frame would cost more than the frame; a few per second are enough to see.
    const auto now = std::chrono::steady_clock::now();
    if (BarShown && position != Total && now - LastDraw < std::chrono::milliseconds(100)) return;
    LastDraw = now;
    DrawBar();
}

void TTerminalView::DrawBar() {
    if (!Bar) return;
    const unsigned total = Total ? Total : 7168;
    const unsigned width = 40;
    const unsigned shown = Position > total ? total : Position;
    const unsigned filled = width * shown / total;
    std::string bar(filled, '#');
    bar.append(width - filled, '-');
    std::fprintf(Out, "\r\033[K[%s] %u/%u blocks %3u%%", bar.c_str(), shown, total,
                 100 * shown / total);
    std::fflush(Out);
    BarShown = true;
}

} // namespace Link
