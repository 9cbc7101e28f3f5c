#pragma once
// What the upload protocol and its commands show: the Make page's message box, its progress
// bar, the "Msg. on" check box and the four command buttons. The window implements it with
// widgets, the command-line tool with a terminal, the tests with recorders.

#include <string>

namespace Link {

class TUploadView {
public:
    virtual ~TUploadView() = default;

    // Message box (RichEdit1): one line of UTF-8 text appended.
    virtual void AppendLine(const std::string& line) = 0;
    virtual void ClearLines() = 0;
    // ProgressBar1: set whenever a ROM or application block frame is built.
    virtual void SetProgress(unsigned position) = 0;
    // CheckBox1 "Msg. on": send, resend and elapsed-time lines only when ticked.
    virtual bool MsgOn() const = 0;
    // The four command buttons, always switched together.
    virtual void SetCommandButtonsEnabled(bool enabled) = 0;
    // Connect/Disconnect look: the button's caption and the COM port list's enabled state.
    virtual void ShowConnected(bool connected) { (void)connected; }
};

} // namespace Link
