#pragma once
// Routes the message sink of XVclUtil to modal message boxes.

#include <QMessageBox>
#include <QString>

namespace AppUi {

// The icon of the box for a message: error, warning or information.
QMessageBox::Icon MessageBoxIcon(const QString& caption, const QString& text);

// Every ShowErrMsgBox_Printf from now on opens a modal box with one OK button and returns when
// the user closes it. Needs a running QApplication.
void InstallMessageBoxSink();

} // namespace AppUi
