#include "app/core/ProjectGuard.h"

#include "app/core/Messages.h"
#include "app/core/ProjectFile.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"

namespace AppCore {

std::string WindowTitle(const TEditorSession& session) {
    const bool modified = session.History().IsModified();
    if (session.ProjectPath.empty() && !modified) return session.Caption;
    const std::string name =
        session.ProjectPath.empty() ? UntitledName : XVclUtil::FileNameOfPath(session.ProjectPath);
    return name + (modified ? "*" : "") + " \u2014 " + session.Caption;
}

bool SaveToProjectFile(TEditorSession& session) {
    if (session.ProjectPath.empty()) {
        SaveProject(session);
        return !session.SaveIncomplete && !session.History().IsModified();
    }
    if (!IsValidOutDate(session.Document.OUTDATE)) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionDataError, "%s", Msg::DateFieldError);
        return false;
    }
    return WriteProjectFile(session, session.ProjectPath);
}

bool ConfirmDiscardChanges(TEditorSession& session, const char* question) {
    if (!session.History().IsModified()) return true;
    switch (session.Prompts.AskSaveChanges(question)) {
    case TSaveChoice::Save:
        return SaveToProjectFile(session);
    case TSaveChoice::Discard:
        return true;
    case TSaveChoice::Cancel:
        break;
    }
    return false;
}

bool ConfirmClearAll(TEditorSession& session) {
    if (session.History().IsModified())
        return ConfirmDiscardChanges(session, ClearAllUnsavedQuestion);
    return session.Prompts.AskYesNo(CaptionClearAll, ClearAllQuestion);
}

} // namespace AppCore
