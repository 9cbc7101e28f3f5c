#pragma once
// User prompts answered from a script and recorded: for the tests and the command-line tool.

#include "XVclUtil/FileUtil.h"
#include "app/core/TUserPrompts.h"

#include <deque>
#include <functional>
#include <map>
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
    std::deque<TSaveChoice> SaveChoiceAnswers;
    // Decides whether a picture loads; by default a picture loads when the BMP reader that
    // MAKE ROM uses can read the file.
    std::function<bool(int imageNumber, const std::string& fileName)> PictureLoader;
    // What PictureFormats() answers.
    std::vector<std::string> ReadableFormats = {"bmp"};

    // What was asked and shown.
    std::vector<TFileDialog> SaveDialogs;
    std::vector<TFileDialog> OpenDialogs;
    std::vector<std::pair<std::string, std::string>> Questions; // caption, text
    std::vector<std::string> SaveChoiceQuestions;
    std::vector<std::pair<int, std::string>> LoadedPictures; // successful loads
    std::vector<std::pair<int, std::string>> FailedPictures;
    std::vector<std::string> MessageLines;
    int BusyDepth = 0;
    int MessageBoxClears = 0;
    int FileBrowserRelinks = 0;

    std::optional<std::string> SaveFileDialog(const TFileDialog& dialog) override;
    std::optional<std::string> OpenFileDialog(const TFileDialog& dialog) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    TSaveChoice AskSaveChanges(const std::string& text) override;
    bool LoadPicture(int imageNumber, const std::string& fileName) override;
    // Records the source name like a loaded file.
    bool ShowDecodedPicture(int imageNumber, const Rom::TPicture& picture,
                            const std::string& source) override;
    std::vector<std::string> PictureFormats() const override { return ReadableFormats; }
    void SetBusy(bool busy) override { BusyDepth += busy ? 1 : -1; }
    void ClearMessageLines() override;
    void AppendMessageLine(const std::string& line) override { MessageLines.push_back(line); }
    void RelinkFileBrowser() override { ++FileBrowserRelinks; }

    // The file last loaded into Image<imageNumber>, or empty.
    std::string PictureIn(int imageNumber) const;

private:
    // Whether the BMP reader reads the file. Start-up and every project load check the same
    // pictures again: a file unchanged since its check keeps its verdict.
    bool PictureReads(const std::string& fileName);
    std::map<std::string, std::pair<XVclUtil::TFileStamp, bool>> CheckedPictures;
};

} // namespace AppCore
