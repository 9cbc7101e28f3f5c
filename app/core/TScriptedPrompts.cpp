#include "app/core/TScriptedPrompts.h"

#include "rom/MonoBitmap.h"

#include <exception>

namespace AppCore {

namespace {
template <typename T> T TakeFront(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) return whenEmpty;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}
} // namespace

std::optional<std::string> TScriptedPrompts::SaveFileDialog(const TFileDialog& dialog) {
    SaveDialogs.push_back(dialog);
    return TakeFront<std::optional<std::string>>(SaveAnswers, std::nullopt);
}

std::optional<std::string> TScriptedPrompts::OpenFileDialog(const TFileDialog& dialog) {
    OpenDialogs.push_back(dialog);
    return TakeFront<std::optional<std::string>>(OpenAnswers, std::nullopt);
}

bool TScriptedPrompts::AskYesNo(const std::string& caption, const std::string& text) {
    Questions.emplace_back(caption, text);
    return TakeFront(YesNoAnswers, false);
}

TSaveChoice TScriptedPrompts::AskSaveChanges(const std::string& text) {
    SaveChoiceQuestions.push_back(text);
    return TakeFront(SaveChoiceAnswers, TSaveChoice::Cancel);
}

bool TScriptedPrompts::LoadPicture(int imageNumber, const std::string& fileName) {
    const bool loaded =
        PictureLoader ? PictureLoader(imageNumber, fileName) : PictureReads(fileName);
    (loaded ? LoadedPictures : FailedPictures).emplace_back(imageNumber, fileName);
    return loaded;
}

bool TScriptedPrompts::ShowDecodedPicture(int imageNumber, const Rom::TPicture& picture,
                                          const std::string& source) {
    const bool shown = !picture.IsNull();
    (shown ? LoadedPictures : FailedPictures).emplace_back(imageNumber, source);
    return shown;
}

void TScriptedPrompts::ClearMessageLines() {
    MessageLines.clear();
    ++MessageBoxClears;
}

// Nothing shows the picture, so its pixels are not decoded: the reader's checks alone decide.
bool TScriptedPrompts::PictureReads(const std::string& fileName) {
    const std::optional<XVclUtil::TFileStamp> stamp = XVclUtil::RegularFileStamp(fileName);
    if (!stamp) return false; // nothing to read, as the reader would find
    auto checked = CheckedPictures.find(fileName);
    if (checked != CheckedPictures.end() && checked->second.first == *stamp)
        return checked->second.second;
    bool reads = true;
    try {
        Rom::CheckPicture(fileName);
    } catch (const std::exception&) {
        reads = false;
    }
    CheckedPictures[fileName] = {*stamp, reads};
    return reads;
}

std::string TScriptedPrompts::PictureIn(int imageNumber) const {
    for (auto it = LoadedPictures.rbegin(); it != LoadedPictures.rend(); ++it)
        if (it->first == imageNumber) return it->second;
    return {};
}

} // namespace AppCore
