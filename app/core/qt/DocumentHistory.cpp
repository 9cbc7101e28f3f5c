#include "app/core/qt/DocumentHistory.h"

#include "app/core/qt/DocumentCommand.h"

namespace AppCore {

namespace {
constexpr int UndoLimit = 500; // each step holds at most two copies of the non-cell fields
}

TDocumentHistory::TDocumentHistory(ProjectDocument& document, std::string* fileLink)
    : Document(document), FileLink(fileLink) {
    Steps.setUndoLimit(UndoLimit);
}

void TDocumentHistory::Record(const std::string& text, const std::function<void()>& change,
                              int mergeKey) {
    if (Depth > 0) {
        change();
        return;
    }
    const ProjectDocument before = Document;
    const std::string linkBefore = FileLink ? *FileLink : std::string();
    const auto push = [&] {
        auto step = std::make_unique<TDocumentCommand>(text, before, Document, OnApplied, mergeKey);
        if (FileLink && !linkBefore.empty() && FileLink->empty())
            step->ForgetsFileLink(*FileLink, linkBefore);
        if (!step->IsEmpty()) Steps.push(step.release());
    };
    ++Depth;
    try {
        change();
    } catch (...) {
        --Depth;
        push();
        throw;
    }
    --Depth;
    push();
}

} // namespace AppCore
