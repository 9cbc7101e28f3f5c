#include "app/core/PictureChecks.h"

#include "rom/MonoBitmap.h"
#include "rom/PictureWarnings.h"

#include "XVclUtil/FileUtil.h"

#include <exception>

namespace AppCore {

void WarnAboutPicture(TEditorSession& session, const std::string& file, TPictureSize size) {
    Rom::TPicture picture;
    try {
        picture = Rom::LoadPicture(XVclUtil::ResolveFileCase(file));
    } catch (const std::exception&) {
        return; // an unreadable picture is reported where it is loaded
    }
    const std::string name = XVclUtil::FileNameOfPath(file);
    for (const std::string& line : {Rom::GreyPixelWarning(name, picture),
                                    Rom::SizeWarning(name, picture, {size.Width, size.Height})})
        if (!line.empty()) session.Prompts.AppendMessageLine(line);
}

} // namespace AppCore
