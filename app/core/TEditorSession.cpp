#include "app/core/TEditorSession.h"

#include "app/core/CodeCell.h"

namespace AppCore {

std::string TEditorSession::StartupNotFoundText(const char* systemText) const {
    return std::string(systemText) + "Searched in the working folder:\n" + Context.StartDir +
           "\n\n" + ReadyFolderHint + "\n";
}

int TEditorSession::SelectedModelIndex() const {
    for (std::size_t i = 0; i < Settings.ModelList.size(); ++i)
        if (TrimText(Settings.ModelList[i]) == Document.CODEVER) return int(i);
    return -1;
}

} // namespace AppCore
