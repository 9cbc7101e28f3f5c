#include "app/core/DocumentPictures.h"

#include "app/core/PictureBoxes.h"

namespace AppCore {

namespace {

struct TTitleBox {
    std::string ProjectDocument::*Path;
    int Image;
    int LibraryIndex; // library group 0; -1: the box stays empty without a file
};

// In the order of TCustomerPicture.
constexpr TTitleBox TitleBoxes[] = {
    {&ProjectDocument::TITLEFILENAME_V, Images::TitleV, 0},
    {&ProjectDocument::TITLEFILENAME_H, Images::TitleH, 5},
    {&ProjectDocument::TITLEFILENAME_2, Images::Title2, -1},
    {&ProjectDocument::TITLEFILENAME_C, Images::Logo, -1},
};

void ShowFileOrDefault(TEditorSession& session, const TTitleBox& box) {
    const std::string& path = session.Document.*box.Path;
    if (!path.empty() && ShowPicture(session, box.Image, path)) return;
    if (box.LibraryIndex >= 0)
        ShowLibraryPicture(session, box.Image, 0, box.LibraryIndex);
    else
        session.Prompts.ClearPicture(box.Image);
}

} // namespace

void ClearCustomerPicture(TEditorSession& session, TCustomerPicture which) {
    const TTitleBox& box = TitleBoxes[int(which)];
    (session.Document.*box.Path).clear();
    ShowFileOrDefault(session, box);
}

void ShowChangedPictures(TEditorSession& session, const ProjectDocument& before) {
    const ProjectDocument& now = session.Document;
    for (const TTitleBox& box : TitleBoxes)
        if (before.*box.Path != now.*box.Path) ShowFileOrDefault(session, box);
    for (int s = 0; s < LiftStateCount; ++s)
        for (int v = 0; v < LiftStateVariantCount; ++v) {
            const std::size_t slot = std::size_t(LiftStateSlot(s, v));
            if (before.LiftStateImageTable[slot] == now.LiftStateImageTable[slot]) continue;
            if (!ShowPicture(session, Images::LiftStateBox(s, v), now.LiftStateImageTable[slot]))
                session.Prompts.ClearPicture(Images::LiftStateBox(s, v));
        }
}

} // namespace AppCore
