#pragma once
// How the editor logic records changes to the project document and learns whether it differs
// from its file. The window's implementation is the undo history (app/core/qt); the
// command-line tool and the tests without a window use TChangeMark.

#include "app/core/ProjectDocument.h"

#include <functional>
#include <string>

namespace AppCore {

class TDocumentChanges {
public:
    virtual ~TDocumentChanges() = default;

    // Runs change as one step named text; steps with the same mergeKey (not 0) that follow each
    // other may become one. A change that throws still counts as far as it went.
    virtual void Record(const std::string& text, const std::function<void()>& change,
                        int mergeKey = 0) = 0;
    virtual bool IsModified() const = 0;
    // The document is as saved in its file.
    virtual void MarkSaved() = 0;
    // A document replaced as a whole (loaded): nothing recorded, not modified.
    virtual void Reset() = 0;
};

// Only the mark of unsaved changes, without undo: a recorded step that changed the document
// sets it.
class TChangeMark : public TDocumentChanges {
public:
    explicit TChangeMark(const ProjectDocument& document) : Document(document) {}

    void Record(const std::string& text, const std::function<void()>& change,
                int mergeKey = 0) override;
    bool IsModified() const override { return Modified; }
    void MarkSaved() override { Modified = false; }
    void Reset() override { Modified = false; }

private:
    const ProjectDocument& Document;
    bool Modified = false;
};

} // namespace AppCore
