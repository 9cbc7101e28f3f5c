#include "app/core/DocumentActions.h"

#include "app/core/PictureBoxes.h"

#include "XVclUtil/FileUtil.h"

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

std::optional<std::string> AskPictureFile(TEditorSession& session) {
    return session.Prompts.OpenFileDialog(TFileDialog{"", PictureFileFilter, ""});
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

void ClearAll(TEditorSession& session) {
    for (TCodeTable& table : session.Document.CodeTables)
        for (std::string& cell : table) cell.clear();
    if (!ShowLibraryPicture(session, Images::TitleV, 0, 0))
        ReportPictureLoadError(LibraryPictureName(session, 0, 0));
    if (!ShowLibraryPicture(session, Images::TitleH, 0, 5))
        ReportPictureLoadError(LibraryPictureName(session, 0, 5));
    session.StatusPanels[0] = "Project file: ";
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
    const std::optional<std::string> file = AskPictureFile(session);
    if (!file) return false;
    // A file the loader cannot read is reported and not remembered.
    if (!ShowPicture(session, CustomerPictureImage(which), *file)) {
        ReportPictureLoadError(*file);
        return false;
    }
    CustomerPicturePath(session.Document, which) = *file;
    return true;
}

bool PickLiftStatePicture(TEditorSession& session, int state, int variant) {
    if (state < 0 || state >= LiftStateCount || variant < 0 || variant >= LiftStateVariantCount)
        return false;
    const std::optional<std::string> file = AskPictureFile(session);
    if (!file) return false;
    if (!ShowPicture(session, Images::LiftStateBox(state, variant), *file)) {
        ReportPictureLoadError(*file);
        return false;
    }
    session.Document.LiftStateImageTable[std::size_t(LiftStateSlot(state, variant))] = *file;
    return true;
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
