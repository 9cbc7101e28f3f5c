#include "app/core/DocumentPictures.h"

#include "app/core/PictureBoxes.h"

namespace AppCore {

namespace {

struct TTitleBox {
    std::string ProjectDocument::*Path;
    int Image;
    int LibraryIndex; // library group 0 (MAKE ROM's picture without a file); -1: none
};

// In the order of TCustomerPicture.
constexpr TTitleBox TitleBoxes[] = {
    {&ProjectDocument::TITLEFILENAME_V, Images::TitleV, 0},
    {&ProjectDocument::TITLEFILENAME_H, Images::TitleH, 5},
    {&ProjectDocument::TITLEFILENAME_2, Images::Title2, 222},
    {&ProjectDocument::TITLEFILENAME_C, Images::Logo, -1},
};

void ShowFileOrDefault(TEditorSession& session, const TTitleBox& box) {
    const std::string& path = session.Document.*box.Path;
    if (!path.empty() && ShowPicture(session, box.Image, path)) return;
    if (box.LibraryIndex >= 0 && ShowLibraryPicture(session, box.Image, 0, box.LibraryIndex))
        return;
    session.Prompts.ClearPicture(box.Image);
}

void ShowLiftStateSlot(TEditorSession& session, int image, const std::string& path) {
    if (!ShowPicture(session, image, path)) session.Prompts.ClearPicture(image);
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
            ShowLiftStateSlot(session, Images::LiftStateBox(s, v), now.LiftStateImageTable[slot]);
            if (v == 0)
                ShowLiftStateSlot(session, Images::LiftStateRowPicture(s),
                                  now.LiftStateImageTable[slot]);
        }
}

void ShowCustomerPictures(TEditorSession& session) {
    for (const TTitleBox& box : TitleBoxes) ShowFileOrDefault(session, box);
}

void ShowDocumentPictures(TEditorSession& session) {
    ShowCustomerPictures(session);
    const auto& table = session.Document.LiftStateImageTable;
    for (int s = 0; s < LiftStateCount; ++s) {
        ShowLiftStateSlot(session, Images::LiftStateRowPicture(s),
                          table[std::size_t(LiftStateSlot(s, 0))]);
        for (int v = 0; v < LiftStateVariantCount; ++v)
            ShowLiftStateSlot(session, Images::LiftStateBox(s, v),
                              table[std::size_t(LiftStateSlot(s, v))]);
    }
}

} // namespace AppCore
