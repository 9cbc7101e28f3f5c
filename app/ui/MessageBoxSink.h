#pragma once
// Routes the message sink of XVclUtil to modal message boxes.

namespace AppUi {

// Every ShowErrMsgBox_Printf from now on opens a modal box with one OK button and returns when
// the user closes it. Needs a running QApplication.
void InstallMessageBoxSink();

} // namespace AppUi
