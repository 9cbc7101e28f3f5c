#pragma once
// A Qt application for the test process and event pumping: the serial component hands its
// events to the main thread's event loop, so tests run that loop until what they wait for holds.

#include <functional>

namespace TestSupport {

// Creates the process's QCoreApplication on first use (call it from the main thread).
void EnsureApplication();
// Runs the event loop until cond() holds or timeoutMs passes; returns cond().
bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// Runs the event loop for ms milliseconds.
void PumpFor(int ms);

} // namespace TestSupport
