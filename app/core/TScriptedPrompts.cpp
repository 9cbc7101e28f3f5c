#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "rom/TBmpReader.h"

namespace AppCore {

namespace {
bool ReadsAsBmp(std::span<const std::uint8_t> bytes) {
    try {
        Rom::ReadBmp(bytes);
        return true;
    } catch (const XVclUtil::EXGeneral&) {
        return false; // refused with its reason; here only whether it loads counts
    }
}

template <typename T> T TakeFront(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) return whenEmpty;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

bool ReadsAsBmp(const std::string& fileName) {
    const auto bytes = XVclUtil::ReadWholeFile(fileName);
    return bytes && ReadsAsBmp(std::span<const std::uint8_t>(*bytes));
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

bool TScriptedPrompts::LoadPicture(int imageNumber, const std::string& fileName) {
    const bool loaded = PictureLoader ? PictureLoader(imageNumber, fileName) : ReadsAsBmp(fileName);
    (loaded ? LoadedPictures : FailedPictures).emplace_back(imageNumber, fileName);
    return loaded;
}

bool TScriptedPrompts::ShowPictureData(int imageNumber, std::span<const std::uint8_t> bytes,
                                       const std::string& source) {
    const bool shown = ReadsAsBmp(bytes);
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
