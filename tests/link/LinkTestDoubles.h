#pragma once
// Test doubles for the upload protocol: a view that records what the window would show, a
// timer the test fires by hand, a clock the test sets, and a sender that keeps every frame.

#include "link/TResponseTimer.h"
#include "link/TUploadFrame.h"
#include "link/TUploadView.h"

#include <string>
#include <vector>

namespace LinkTest {

class TRecordingView : public Link::TUploadView {
public:
    void AppendLine(const std::string& line) override { Lines.push_back(line); }
    void ClearLines() override {
        Lines.clear();
        ++Clears;
    }
    void SetProgress(unsigned position) override {
        Progress = position;
        ++ProgressSets;
    }
    bool MsgOn() const override { return Msg; }
    void SetCommandButtonsEnabled(bool enabled) override { ButtonsEnabled = enabled; }

    bool Contains(const std::string& line) const {
        for (const auto& l : Lines)
            if (l == line) return true;
        return false;
    }
    std::size_t CountPrefix(const std::string& prefix) const {
        std::size_t n = 0;
        for (const auto& l : Lines)
            if (l.rfind(prefix, 0) == 0) ++n;
        return n;
    }

    std::vector<std::string> Lines;
    unsigned Progress = 0;
    unsigned ProgressSets = 0;
    unsigned Clears = 0;
    bool Msg = true;
    bool ButtonsEnabled = false;
};

class TManualTimer : public Link::TResponseTimer {
public:
    void Start() override {
        Active = true;
        ++Starts;
    }
    void Stop() override { Active = false; }
    bool Enabled() const override { return Active; }

    bool Active = false;
    unsigned Starts = 0;
};

struct TSentFrames {
    int operator()(unsigned bytes, const void* data) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        Frames.emplace_back(p, p + bytes);
        return 0;
    }
    std::vector<std::vector<std::uint8_t>> Frames;
};

} // namespace LinkTest
