#include "app/core/qt/DocumentCommand.h"

namespace AppCore {

namespace {

// The document without its code tables.
ProjectDocument FieldsOf(const ProjectDocument& document) {
    ProjectDocument fields = document;
    fields.CodeTables = {};
    return fields;
}

} // namespace

TDocumentCommand::TDocumentCommand(const std::string& text, const ProjectDocument& before,
                                   ProjectDocument& document, const TAppliedHandler& onApplied,
                                   int mergeKey)
    : Document(document), OnApplied(onApplied), MergeKey(mergeKey) {
    setText(QString::fromStdString(text));
    for (int t = 0; t < CodeTableCount; ++t)
        for (int code = 0; code < CodeCount; ++code) {
            const std::string& was = before.CodeTables[t][code];
            const std::string& now = document.CodeTables[t][code];
            if (was != now) Cells.push_back({t, code, was, now});
        }
    ProjectDocument fieldsBefore = FieldsOf(before);
    ProjectDocument fieldsAfter = FieldsOf(document);
    if (fieldsBefore != fieldsAfter) {
        FieldsBefore = std::move(fieldsBefore);
        FieldsAfter = std::move(fieldsAfter);
    }
}

void TDocumentCommand::redo() {
    if (!Pushed) {
        Pushed = true;
        return;
    }
    Apply(true);
}

void TDocumentCommand::Apply(bool forward) {
    const ProjectDocument before = Document;
    if (const std::optional<ProjectDocument>& fields = forward ? FieldsAfter : FieldsBefore) {
        TCodeTables tables = std::move(Document.CodeTables);
        Document = *fields;
        Document.CodeTables = std::move(tables);
    }
    for (const TCellChange& cell : Cells)
        Document.CodeTables[cell.Table][cell.Code] = forward ? cell.After : cell.Before;
    if (FileLink) *FileLink = forward ? std::string() : FileLinkBefore;
    if (OnApplied) OnApplied(before);
}

bool TDocumentCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const TDocumentCommand*>(other);
    if (!next || next->MergeKey != MergeKey || !next->Cells.empty() || !Cells.empty() || FileLink ||
        next->FileLink)
        return false;
    if (next->FieldsAfter) {
        if (!FieldsBefore) FieldsBefore = next->FieldsBefore;
        FieldsAfter = next->FieldsAfter;
    }
    // Typing back to where the step began leaves nothing to undo.
    setObsolete(FieldsBefore && *FieldsBefore == *FieldsAfter);
    return true;
}

} // namespace AppCore
