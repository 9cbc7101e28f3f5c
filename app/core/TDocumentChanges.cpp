#include "app/core/TDocumentChanges.h"

namespace AppCore {

void TChangeMark::Record(const std::string& /*text*/, const std::function<void()>& change,
                         int /*mergeKey*/) {
    const ProjectDocument before = Document;
    try {
        change();
    } catch (...) {
        Modified = Modified || Document != before;
        throw;
    }
    Modified = Modified || Document != before;
}

} // namespace AppCore
