#include "app/core/DocumentActions.h"

#include "app/core/PictureBoxes.h"
#include "app/core/PictureChecks.h"

#include "XVclUtil/FileUtil.h"

#include <vector>

namespace AppCore {

namespace {

std::string& CustomerPicturePath(ProjectDocument& document, TCustomerPicture which) {
    switch (which) {
    case TCustomerPicture::TitleV:
        return document.TITLEFILENAME_V;
    case TCustomerPicture::TitleH:
        return document.TITLEFILENAME_H;
    case TCustomerPicture::Title2:
        return document.TITLEFILENAME_2;
    case TCustomerPicture::Logo:
        break;
    }
    return document.TITLEFILENAME_C;
}

// Starts with the current picture, so in its folder, and says which picture it picks.
std::optional<std::string> AskPictureFile(TEditorSession& session, const std::string& current,
                                          const std::string& caption) {
    return session.Prompts.OpenFileDialog(
        TFileDialog{current, PictureFileFilterAll(session.Prompts.PictureFormats()), "", caption});
}

std::string CustomerPictureCaption(TCustomerPicture which) {
    switch (which) {
    case TCustomerPicture::TitleV:
        return "Open the vertical title picture";
    case TCustomerPicture::TitleH:
        return "Open the horizontal title picture";
    case TCustomerPicture::Title2:
        return "Open the second title picture";
    case TCustomerPicture::Logo:
        break;
    }
    return "Open the customer logo picture";
}

} // namespace

int CustomerPictureImage(TCustomerPicture which) {
    switch (which) {
    case TCustomerPicture::TitleV:
        return Images::TitleV;
    case TCustomerPicture::TitleH:
        return Images::TitleH;
    case TCustomerPicture::Title2:
        return Images::Title2;
    case TCustomerPicture::Logo:
        break;
    }
    return Images::Logo;
}

TPictureSize CustomerPictureSize(TCustomerPicture which) {
    switch (which) {
    case TCustomerPicture::TitleV:
        return {128, 24};
    case TCustomerPicture::TitleH:
        return {104, 24};
    case TCustomerPicture::Title2:
        return {128, 32};
    case TCustomerPicture::Logo:
        break;
    }
    return {112, 80};
}

void ClearAll(TEditorSession& session) {
    for (TCodeTable& table : session.Document.CodeTables)
        for (std::string& cell : table) cell.clear();
    // The title previews show the library titles, and MAKE ROM builds what they show.
    session.Document.TITLEFILENAME_V.clear();
    session.Document.TITLEFILENAME_H.clear();
    if (!ShowLibraryPicture(session, Images::TitleV, 0, 0))
        ReportPictureLoadError(LibraryPictureName(session, 0, 0));
    if (!ShowLibraryPicture(session, Images::TitleH, 0, 5))
        ReportPictureLoadError(LibraryPictureName(session, 0, 5));
    session.StatusPanels[0] = "Project file: ";
    session.ProjectPath.clear();
}

void ClearCell(ProjectDocument& document, int table, int code) {
    if (table < 0 || table >= CodeTableCount || code < 0 || code >= CodeCount) return;
    document.CodeTables[std::size_t(table)][std::size_t(code)].clear();
}

void LogoOff(TEditorSession& session) {
    session.Document.CUSLOGOENABLE = false;
}

void LogoOn(TEditorSession& session) {
    if (session.Document.TITLEFILENAME_C.empty())
        PickCustomerPicture(session, TCustomerPicture::Logo);
    session.Document.CUSLOGOENABLE = true;
}

bool PickCustomerPicture(TEditorSession& session, TCustomerPicture which) {
    const std::optional<std::string> file = AskPictureFile(
        session, CustomerPicturePath(session.Document, which), CustomerPictureCaption(which));
    return file && SetCustomerPicture(session, which, *file);
}

bool SetCustomerPicture(TEditorSession& session, TCustomerPicture which, const std::string& file) {
    // A file the loader cannot read is reported and not remembered.
    if (!ShowPicture(session, CustomerPictureImage(which), file)) {
        ReportPictureLoadError(file);
        return false;
    }
    CustomerPicturePath(session.Document, which) = file;
    WarnAboutPicture(session, file, CustomerPictureSize(which));
    return true;
}

bool PickLiftStatePicture(TEditorSession& session, int state, int variant) {
    if (state < 0 || state >= LiftStateCount || variant < 0 || variant >= LiftStateVariantCount)
        return false;
    const std::string caption =
        "Open the lift-state picture " + std::to_string(state + 1) + char('A' + variant);
    const std::optional<std::string> file = AskPictureFile(
        session, session.Document.LiftStateImageTable[std::size_t(LiftStateSlot(state, variant))],
        caption);
    return file && SetLiftStatePicture(session, state, variant, *file);
}

bool SetLiftStatePicture(TEditorSession& session, int state, int variant, const std::string& file) {
    if (state < 0 || state >= LiftStateCount || variant < 0 || variant >= LiftStateVariantCount)
        return false;
    if (!ShowPicture(session, Images::LiftStateBox(state, variant), file)) {
        ReportPictureLoadError(file);
        return false;
    }
    session.Document.LiftStateImageTable[std::size_t(LiftStateSlot(state, variant))] = file;
    WarnAboutPicture(session, file, LiftStatePictureSize);
    return true;
}

std::string PictureFileFilterAll(const std::vector<std::string>& formats) {
    // BMP first, then PNG, then every other format the picture loader reads.
    std::string filter = PictureFileFilter;
    std::string shown, patterns;
    for (const std::string& ext : formats) {
        if (ext == "png")
            filter += "|PNG picture (*.png)|*.png";
        else if (ext != "bmp") {
            shown += (shown.empty() ? "*." : " *.") + ext;
            patterns += (patterns.empty() ? "*." : ";*.") + ext;
        }
    }
    if (!shown.empty()) filter += "|Other pictures (" + shown + ")|" + patterns;
    return filter;
}

bool SelectDefCodeTable(ProjectDocument& document, int table) {
    if (table < 0 || table >= CodeTableCount) return false;
    document.DEFCODETABLE = table;
    return true;
}

bool SelectFloorStyle(ProjectDocument& document, int style) {
    if (style < 0 || style > 4) return false;
    document.DEF_FL = style;
    return true;
}

bool SelectArrowStyle(ProjectDocument& document, int style) {
    if (style < 0 || style > 11) return false;
    document.DEF_DIR = style;
    return true;
}

void SelectRomFile(ProjectDocument& document, const std::string& path) {
    document.ROMFILENAME = XVclUtil::FileNameOfPath(path);
}

} // namespace AppCore
