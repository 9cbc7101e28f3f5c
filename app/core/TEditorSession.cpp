#include "app/core/TEditorSession.h"

#include "app/core/CodeCell.h"

namespace AppCore {

int TEditorSession::SelectedModelIndex() const {
    for (std::size_t i = 0; i < Settings.ModelList.size(); ++i)
        if (TrimText(Settings.ModelList[i]) == Document.CODEVER) return int(i);
    return -1;
}

} // namespace AppCore
