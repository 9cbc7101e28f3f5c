#pragma once
// The fixture of the tests that drive the main window: a working folder, the window shown
// offscreen with scripted answers to its dialogs, and the message boxes it raises captured.

#include "UiTestEnv.h"

#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

namespace UiTest {

class TShownWindowTest : public ::testing::Test {
protected:
    TWorkFolder Folder;
    XVclUtil::TMessageCapture Messages;
    AppUi::TMainWindow Window{Folder.ProgramDir()};
    AppCore::TScriptedPrompts Script;
    Ui::TMainWindow& Form = Window.Form();

    void SetUp() override {
        Window.Prompts().SetDialogAnswers(&Script);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }
    // Runs a menu or context-menu action of the window by its object name.
    void Trigger(const char* action) {
        QAction* found = Window.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }
};

} // namespace UiTest
