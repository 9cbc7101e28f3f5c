#pragma once
// User prompts answered from a script and recorded: for the tests and the command-line tool.

#include "app/core/TUserPrompts.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace AppCore {

class TScriptedPrompts : public TUserPrompts {
public:
    // Answers, used front first; an empty queue cancels the dialog / answers No.
    std::deque<std::optional<std::string>> SaveAnswers;
    std::deque<std::optional<std::string>> OpenAnswers;
    std::deque<bool> YesNoAnswers;
    // Decides whether a picture loads; by default a picture loads when the BMP reader that
    // MAKE ROM uses can read the file.
    std::function<bool(int imageNumber, const std::string& fileName)> PictureLoader;

    // What was asked and shown.
    std::vector<TFileDialog> SaveDialogs;
    std::vector<TFileDialog> OpenDialogs;
    std::vector<std::pair<std::string, std::string>> Questions; // caption, text
    std::vector<std::pair<int, std::string>> LoadedPictures;    // successful loads
    std::vector<std::pair<int, std::string>> FailedPictures;
    std::vector<std::string> MessageLines;
    int BusyDepth = 0;
    int MessageBoxClears = 0;
    int FileBrowserRelinks = 0;

    std::optional<std::string> SaveFileDialog(const TFileDialog& dialog) override;
    std::optional<std::string> OpenFileDialog(const TFileDialog& dialog) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    bool LoadPicture(int imageNumber, const std::string& fileName) override;
    // Records the source name like a loaded file.
    bool ShowPictureData(int imageNumber, std::span<const std::uint8_t> bytes,
                         const std::string& source) override;
    void SetBusy(bool busy) override { BusyDepth += busy ? 1 : -1; }
    void ClearMessageLines() override;
    void AppendMessageLine(const std::string& line) override { MessageLines.push_back(line); }
    void RelinkFileBrowser() override { ++FileBrowserRelinks; }

    // The file last loaded into Image<imageNumber>, or empty.
    std::string PictureIn(int imageNumber) const;
};

} // namespace AppCore
