#pragma once
// The fixtures of the tests that drive the main window: a working folder, the window with
// scripted answers to its dialogs, and the message boxes it raises captured; TShownWindowTest
// also shows the window offscreen.

#include "UiTestEnv.h"

#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

namespace UiTest {

class TWindowTest : public ::testing::Test {
protected:
    TWorkFolder Folder;
    XVclUtil::TMessageCapture Messages;
    AppUi::TMainWindow Window{Folder.ProgramDir()};
    AppCore::TScriptedPrompts Script;
    Ui::TMainWindow& Form = Window.Form();

    void SetUp() override { Window.Prompts().SetDialogAnswers(&Script); }
};

class TShownWindowTest : public TWindowTest {
protected:
    void SetUp() override {
        TWindowTest::SetUp();
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
