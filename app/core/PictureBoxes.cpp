#include "app/core/PictureBoxes.h"

#include "app/core/Messages.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"

namespace AppCore {

bool ShowPicture(TEditorSession& session, int image, const std::string& path) {
    return !path.empty() && session.Prompts.LoadPicture(image, XVclUtil::ResolveFileCase(path));
}

bool ShowLibraryPicture(TEditorSession& session, int image, int group, int index) {
    const std::string name = session.Library.ExtractLibraryPicture(group, index);
    const bool shown = XVclUtil::FileExists(name) && session.Prompts.LoadPicture(image, name);
    XVclUtil::DeleteFileIfExists(TPictureLibrary::TempFileName);
    return shown;
}

void ReportPictureLoadError(const std::string& path) {
    XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::PictureLoadError, path.c_str());
}

} // namespace AppCore
