#pragma once
// Undo and redo of the project document: one QUndoStack whose steps hold what an editor action
// changed (the cells one by one, the other fields as a whole), and the mark of the saved state.

#include "app/core/TDocumentChanges.h"

#include <QUndoStack>

#include <functional>
#include <string>

namespace AppCore {

class TDocumentHistory : public TDocumentChanges {
public:
    // Called after undo or redo replaced fields of the document, with the content before.
    using TAppliedHandler = std::function<void(const ProjectDocument& before)>;

    // fileLink: the project's file path, when given. A step that forgets it (Clear ALL, New)
    // brings it back on undo; saving and loading set it outside the history.
    explicit TDocumentHistory(ProjectDocument& document, std::string* fileLink = nullptr);

    // Runs change and records what it did to the document as one step named text; nothing is
    // recorded when the document is unchanged. Steps with the same mergeKey (not 0) that follow
    // each other become one, as typing in one text field. A change that throws is still
    // recorded as far as it went. Nested calls belong to the outermost step.
    void Record(const std::string& text, const std::function<void()>& change,
                int mergeKey = 0) override;

    QUndoStack& Stack() { return Steps; }
    bool IsModified() const override { return !Steps.isClean(); }
    void MarkSaved() override { Steps.setClean(); }
    void Reset() override { Steps.clear(); }
    void SetAppliedHandler(TAppliedHandler handler) { OnApplied = std::move(handler); }

private:
    ProjectDocument& Document;
    std::string* FileLink;
    QUndoStack Steps;
    TAppliedHandler OnApplied;
    int Depth = 0;
};

} // namespace AppCore
