#include "app/core/TScriptedPrompts.h"

#include "rom/MonoBitmap.h"

#include <exception>

namespace AppCore {

namespace {
// Whether the picture would load; nothing shows it, so its pixels are not decoded.
bool BmpReaderReads(const std::string& fileName) {
    try {
        Rom::CheckPicture(fileName);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

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
        PictureLoader ? PictureLoader(imageNumber, fileName) : BmpReaderReads(fileName);
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

std::string TScriptedPrompts::PictureIn(int imageNumber) const {
    for (auto it = LoadedPictures.rbegin(); it != LoadedPictures.rend(); ++it)
        if (it->first == imageNumber) return it->second;
    return {};
}

} // namespace AppCore
