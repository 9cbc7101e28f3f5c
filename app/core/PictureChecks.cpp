#include "app/core/PictureChecks.h"

#include "rom/PictureWarnings.h"

#include "XVclUtil/FileUtil.h"

#include <QImage>

namespace AppCore {

void WarnAboutPicture(TEditorSession& session, const std::string& file, TPictureSize size) {
    const QImage picture(QString::fromStdString(XVclUtil::ResolveFileCase(file)));
    const std::string name = XVclUtil::FileNameOfPath(file);
    for (const std::string& line : {Rom::GreyPixelWarning(name, picture),
                                    Rom::SizeWarning(name, picture, size.Width, size.Height)})
        if (!line.empty()) session.Prompts.AppendMessageLine(line);
}

} // namespace AppCore
