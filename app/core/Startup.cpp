#include "app/core/Startup.h"

#include "app/core/CodeCell.h"
#include "app/core/CodeTableLabels.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"
#include "app/core/PictureBoxes.h"

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"

namespace AppCore {

namespace {

constexpr const char* LiftStateFolder = "DefaultImage/LiftState/";
constexpr const char* MissingDate = "000000";

constexpr const char* StateWords[LiftStateCount] = {
    "FIRE",        "EARTHQUAKE", "ALARM", "OUT_OF_SERVICE", "OVERLOAD",
    "MAINTENANCE", "FULL",       "VIP",   "PARKING",        "IND"};

// Start-up previews: library index of the arrow style samples (group 1).
constexpr int ArrowPreviewIndex[12] = {100, 116, 126, 139, 152, 166, 179, 192, 205, 218, 230, 243};

// Shows library picture (group, index) in the box. With onlyWhenPresent an empty entry is
// skipped; otherwise the box must take the picture or start-up stops.
bool ShowLibraryPreview(TEditorSession& session, int image, int group, int index,
                        bool onlyWhenPresent) {
    if (onlyWhenPresent && session.Library.Picture(group, index).empty()) return true;
    if (ShowLibraryPicture(session, image, group, index)) return true;
    ReportPictureLoadError(LibraryPictureName(session, group, index));
    return false;
}

bool ShowStartupPreviews(TEditorSession& session) {
    if (!ShowLibraryPreview(session, Images::TitleV, 0, 0, false)) return false;
    if (!ShowLibraryPreview(session, Images::TitleH, 0, 5, false)) return false;
    for (int style = 0; style < 5; ++style)
        if (!ShowLibraryPreview(session, Images::FloorStyle(style), style + 1, 56, true))
            return false;
    for (int style = 0; style < 12; ++style)
        if (!ShowLibraryPreview(session, Images::ArrowStyle(style), 1, ArrowPreviewIndex[style],
                                true))
            return false;
    return true;
}

// Steps 10 to 12: the picture libraries. False when start-up has to end here.
bool LoadLibraries(TEditorSession& session) {
    TStartupContext& context = session.Context;
    ToolSettings& settings = session.Settings;
    const std::string glbPath =
        XVclUtil::ResolveFileCase(context.StartDir + XVclUtil::PathDelim + settings.GLB);
    const std::optional<std::uint64_t> glbSize = XVclUtil::RegularFileSize(glbPath);
    const bool tooLarge = glbSize && *glbSize > TPictureLibrary::MaxFileSize;
    if (tooLarge || !glbSize || !session.Library.LoadFile(glbPath)) {
        const std::string why = XVclUtil::NotRegularFileReason(glbPath);
        context.NoteProblem(glbPath, tooLarge       ? std::string("larger than 64 MB")
                                     : !why.empty() ? why
                                                    : std::string("cannot be read"));
        if (tooLarge)
            XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::GlbTooLarge, glbPath.c_str(),
                                           static_cast<unsigned long long>(*glbSize));
        else
            XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s",
                                           session.StartupNotFoundText(Msg::GlbNotFound).c_str());
        context.GlbDate = MissingDate;
        session.Library.Release();
        return false;
    }
    context.GlbDate = FileDateYYMMDD(glbPath);
    if (!TrimText(settings.UBFGLB).empty()) {
        const std::string ubfPath =
            XVclUtil::ResolveFileCase(context.StartDir + XVclUtil::PathDelim + settings.UBFGLB);
        if (!XVclUtil::FileExists(ubfPath)) {
            context.NoteProblem(ubfPath, XVclUtil::NotRegularFileReason(ubfPath));
            XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", Msg::UbfNotFound);
            settings.UBFGLB.clear();
            context.UbfDate = MissingDate;
            return false;
        }
        context.UbfDate = FileDateYYMMDD(ubfPath);
    }
    return true;
}

bool RunStartupSteps(TEditorSession& session, const std::string& programDir,
                     const std::string& startDir) {
    session.Context.SetProgramDir(programDir);
    session.Context.SetStartDir(startDir);
    LoadToolSettings(session);
    RelabelBitColumn(session);
    SetDefaultLiftStateImages(session.Document, session.Context.ProgramDir);
    session.StatusPanels[1] = "Version: " + session.Settings.CurrentModel;
    session.StatusPanels[0] = "Project file:";
    session.Document.DISPLAYTYPE = TDisplayType::Vertical;
    if (!LoadLibraries(session)) return false;
    XVclUtil::DeleteFileIfExists(session.Context.StartDir + XVclUtil::PathDelim +
                                 TPictureLibrary::TempFileName);
    session.Caption = std::string(DesignCaption) + "  [ " + session.Context.GlbDate + " / " +
                      session.Context.UbfDate + " ] " + session.Settings.APNOTE;
    session.Prompts.ClearMessageLines();
    if (!ShowStartupPreviews(session)) return false;
    const std::vector<std::string> failed = ShowLiftStatePictures(session, true);
    if (!failed.empty()) {
        ReportPictureLoadError(failed.front());
        return false;
    }
    session.StatusPanels[2] = session.Settings.GLB + " / " + session.Settings.UBFGLB;
    return true;
}

} // namespace

bool RunStartup(TEditorSession& session, const std::string& programDir,
                const std::string& startDir) {
    try {
        return RunStartupSteps(session, programDir, startDir);
    } catch (const XVclUtil::EConvertError& e) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", e.what());
    } catch (const XVclUtil::EXGeneral& e) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", e.what());
    }
    return false;
}

std::string DefaultLiftStateFileName(int state, int variant) {
    const bool secondLanguage = variant == 1 || variant == 3;
    const bool inverted = variant >= 2;
    const std::string word = (state == 2 && secondLanguage) ? "BREAKDOWN" : StateWords[state];
    return word + (inverted ? "-INV" : "") + "-128x32_" + (secondLanguage ? "CHT" : "EN") + ".bmp";
}

void SetDefaultLiftStateImages(ProjectDocument& document, const std::string& programDir) {
    for (int s = 0; s < LiftStateCount; ++s)
        for (int v = 0; v < LiftStateVariantCount; ++v)
            document.LiftStateImageTable[LiftStateSlot(s, v)] =
                XVclUtil::NativePath(programDir + LiftStateFolder + DefaultLiftStateFileName(s, v));
}

std::vector<std::string> ShowLiftStatePictures(TEditorSession& session, bool stopAtFailure) {
    const auto& table = session.Document.LiftStateImageTable;
    std::vector<std::string> failed;
    for (int s = 0; s < LiftStateCount; ++s) {
        const int row = Images::LiftStateRowPicture(s);
        // Row picture (variant A), then the four boxes B, D, A, C from left to right.
        const std::pair<int, int> loads[5] = {{row, 0},
                                              {Images::LiftStateBox(s, 1), 1},
                                              {Images::LiftStateBox(s, 3), 3},
                                              {Images::LiftStateBox(s, 0), 0},
                                              {Images::LiftStateBox(s, 2), 2}};
        bool rowShown = false;
        for (const auto& [image, variant] : loads) {
            const std::string& path = table[LiftStateSlot(s, variant)];
            const std::string file = XVclUtil::ResolveFileCase(path);
            // Box A shows the row picture's file: taken from the row, not read again.
            const bool shown = variant == 0 && image != row && rowShown
                                   ? session.Prompts.ShowSamePicture(image, row, file)
                                   : session.Prompts.LoadPicture(image, file);
            if (image == row) rowShown = shown;
            if (shown) continue;
            // The box shows what MAKE ROM uses: nothing, not the picture shown before.
            session.Prompts.ClearPicture(image);
            failed.push_back(path);
            if (stopAtFailure) return failed;
        }
    }
    return failed;
}

void RelabelBitColumn(TEditorSession& session) {
    session.BitColumnLabels = BitLabelsForModel(session.Settings.CurrentModel);
}

void ReleaseLibraries(TEditorSession& session) {
    session.Library.Release();
}

} // namespace AppCore
