#include "app/core/PictureBoxes.h"

#include "app/core/Messages.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"

namespace AppCore {

bool ShowPicture(TEditorSession& session, int image, const std::string& path) {
    return !path.empty() && session.Prompts.LoadPicture(image, XVclUtil::ResolveFileCase(path));
}

bool ShowLibraryPicture(TEditorSession& session, int image, int group, int index) {
    const std::span<const uint8_t> bytes = session.Library.Picture(group, index);
    if (bytes.empty()) return false;
    return session.Prompts.ShowPictureData(image, bytes, LibraryPictureName(session, group, index));
}

std::string LibraryPictureName(const TEditorSession& session, int group, int index) {
    return session.Settings.GLB + " (" + std::to_string(group) + ", " + std::to_string(index) + ")";
}

void ReportPictureLoadError(const std::string& path) {
    XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::PictureLoadError, path.c_str());
}

} // namespace AppCore
