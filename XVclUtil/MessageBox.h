#pragma once
// Error message boxes and debugger output, routed through one replaceable sink:
// the window shows a modal box, the command-line tool prints, tests capture.

#include "PrintfFormat.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace XVclUtil {

// Anything that can own a message box: its name becomes the caption.
class TNamedComponent {
public:
    virtual ~TNamedComponent() = default;
    virtual std::string ComponentName() const = 0;
};

using TMessageSink = std::function<void(const std::string& caption, const std::string& text)>;

// Installs a sink and returns the one it replaces. An empty sink restores the default,
// which prints "caption: text" to stderr.
TMessageSink SetMessageSink(TMessageSink sink);

void ShowErrMsgBox_Printf(const char* caption, const char* fmt, ...) ZKF_PRINTF_FORMAT(2, 3);
void ShowErrMsgBox_Printf(const TNamedComponent* owner, const char* fmt, ...)
    ZKF_PRINTF_FORMAT(2, 3);

// Debugger output: goes to stderr only when ZKF780A_DEBUG is set.
void SendDbgString_Printf(const char* fmt, ...) ZKF_PRINTF_FORMAT(1, 2);

// Collects every message shown while it lives; restores the previous sink on destruction.
class TMessageCapture {
public:
    TMessageCapture();
    ~TMessageCapture();
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;

    std::vector<std::pair<std::string, std::string>> Messages; // caption, text

private:
    TMessageSink Previous;
};

} // namespace XVclUtil
