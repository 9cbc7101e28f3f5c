#include "app/core/CompareImage.h"

#include "app/core/CodeCell.h"
#include "app/core/MakeRom.h"
#include "app/core/PrivateFolder.h"
#include "app/core/RecoverProject.h"

#include "XVclUtil/FileUtil.h"
#include "rom/RomDiff.h"
#include "rom/RomLayout.h"
#include "rom/TRomBuilder.h"

namespace AppCore {

TImageComparison CompareWithImage(const TEditorSession& session, const std::string& romPath) {
    TImageComparison result;
    const auto image = ReadRomImageFile(romPath, result.Error);
    if (!image) return result;
    if (CountCodeCells(session.Document) == 0) {
        result.Error = TrimText(MsgAllCtblEmpty);
        return result;
    }
    const TPrivateTempFolder temp("zkf780a-compare-");
    if (temp.Path().empty()) {
        result.Error = temp.Error();
        return result;
    }
    const Rom::TRomBuildInput input = RomBuildInput(session, temp.Path() + "/COMPARE.ROM");
    Rom::TRomBuildEvents events;
    events.OnMessageLine = [&](const std::string& line) { result.BuildLines.push_back(line); };
    events.OnMessageBox = [&](const std::string& caption, const std::string& text) {
        if (caption != "Succeeded") result.Error = caption + ": " + TrimText(text);
    };
    Rom::TRomBuilder builder(input, std::move(events));
    if (builder.Run()) {
        if (const auto built = XVclUtil::ReadWholeFile(input.RomFileName, Rom::RomImageSize)) {
            for (const Rom::TRomDifference& d : Rom::DiffRomImages(*built, *image))
                result.Lines.push_back(d.Text);
        } else {
            result.Error = "cannot read the image just built";
        }
    }
    return result;
}

} // namespace AppCore
