#pragma once
// One undoable step of the project document: the cells it changed, and the other fields before
// and after when it changed any of them.

#include "app/core/ProjectDocument.h"

#include <QUndoCommand>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace AppCore {

class TDocumentCommand : public QUndoCommand {
public:
    using TAppliedHandler = std::function<void(const ProjectDocument& before)>;

    // The step from before to the document's current content (already applied).
    TDocumentCommand(const std::string& text, const ProjectDocument& before,
                     ProjectDocument& document, const TAppliedHandler& onApplied, int mergeKey);

    // The step also emptied the project's file link, which was linkBefore.
    void ForgetsFileLink(std::string& link, const std::string& linkBefore) {
        FileLink = &link;
        FileLinkBefore = linkBefore;
    }

    bool IsEmpty() const { return Cells.empty() && !FieldsBefore && !FileLink; }

    void undo() override { Apply(false); }
    void redo() override;
    int id() const override { return MergeKey ? MergeKey : -1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    struct TCellChange {
        int Table;
        int Code;
        std::string Before;
        std::string After;
    };

    void Apply(bool forward);

    ProjectDocument& Document;
    const TAppliedHandler& OnApplied;
    int MergeKey;
    bool Pushed = false; // the first redo() is the push of a change already made
    std::vector<TCellChange> Cells;
    // Every field but the code tables (those are left empty), when any of them changed.
    std::optional<ProjectDocument> FieldsBefore;
    std::optional<ProjectDocument> FieldsAfter;
    std::string* FileLink = nullptr; // set when the step emptied the link
    std::string FileLinkBefore;
};

} // namespace AppCore
