#include "MessageBox.h"

#include "Printf.h"

#include <cstdio>
#include <cstdlib>

namespace XVclUtil {

namespace {

void PrintToStderr(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

TMessageSink& CurrentSink() {
    static TMessageSink sink = PrintToStderr;
    return sink;
}

void Deliver(const std::string& caption, const std::string& text) {
    TMessageSink& sink = CurrentSink();
    if (sink) sink(caption, text);
}

} // namespace

TMessageSink SetMessageSink(TMessageSink sink) {
    TMessageSink previous = std::move(CurrentSink());
    CurrentSink() = sink ? std::move(sink) : TMessageSink(PrintToStderr);
    return previous;
}

void ShowErrMsgBox_Printf(const char* caption, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string text = FormatV(fmt, args);
    va_end(args);
    Deliver(caption ? caption : "", text);
}

void ShowErrMsgBox_Printf(const TNamedComponent* owner, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string text = FormatV(fmt, args);
    va_end(args);
    Deliver(owner ? owner->ComponentName() : std::string(), text);
}

void SendDbgString_Printf(const char* fmt, ...) {
    if (std::getenv("ZKF780A_DEBUG") == nullptr) return;
    va_list args;
    va_start(args, fmt);
    std::string text = FormatV(fmt, args);
    va_end(args);
    std::fprintf(stderr, "%s", text.c_str());
    if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

TMessageCapture::TMessageCapture() {
    Previous = SetMessageSink([this](const std::string& caption, const std::string& text) {
        Messages.emplace_back(caption, text);
    });
}

TMessageCapture::~TMessageCapture() {
    SetMessageSink(std::move(Previous));
}

} // namespace XVclUtil
