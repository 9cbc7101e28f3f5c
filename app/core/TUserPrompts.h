#pragma once
// Everything the editor logic asks of the user or shows on a control. The window implements it
// with dialogs and picture boxes, the command-line tool with scripted answers, the tests with
// recorded scripts. Message boxes go through the XVclUtil message sink.

#include "rom/TPicture.h"

#include <optional>
#include <string>
#include <vector>

namespace AppCore {

// Answer to the question about unsaved changes.
enum class TSaveChoice { Save, Discard, Cancel };

struct TFileDialog {
    std::string FileName;   // preset file name; with a folder, the dialog starts there
    std::string Filter;     // "description (*.ext)|*.ext"
    std::string DefaultExt; // added when the typed name has none; empty = none
    std::string Caption;    // what the dialog picks; empty = "Save As" or "Open"
};

inline constexpr const char* ProjectFileFilter = "ZKF780A Project File (*.zkf)|*.zkf";
inline constexpr const char* PictureFileFilter = "Bitmap file (*.bmp)|*.bmp";

// Picture boxes, by the number of their control (Image<N>).
namespace Images {
constexpr int TitleV = 1;  // Image1, 128 x 24
constexpr int Preview = 2; // Image2, 112 x 80 (drawn by the window from the preview plan)
constexpr int TitleH = 3;  // Image3, 104 x 24
constexpr int Logo = 4;    // Image4, 120 x 80
constexpr int Title2 = 62; // Image62, 128 x 32
constexpr int FloorStyle(int style) {
    return 5 + style;
} // Image5 .. Image9
constexpr int ArrowStyle(int style) {
    return 10 + style;
} // Image10 .. Image21
// Message-page box of lift state s and variant v (0 A, 1 B, 2 C, 3 D).
constexpr int LiftStateBox(int state, int variant) {
    constexpr int column[4] = {2, 0, 3, 1}; // left to right: B, D, A, C
    return 22 + 4 * state + column[variant];
}
constexpr int LiftStateRowPicture(int state) {
    return 63 + state;
} // Image63 .. Image72
} // namespace Images

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;

    // File dialogs: the chosen path, or nullopt when cancelled.
    virtual std::optional<std::string> SaveFileDialog(const TFileDialog& dialog) = 0;
    virtual std::optional<std::string> OpenFileDialog(const TFileDialog& dialog) = 0;
    // Yes/No question box: true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // Save / Discard / Cancel question about unsaved changes; Cancel unless answered.
    virtual TSaveChoice AskSaveChanges(const std::string& /*text*/) { return TSaveChoice::Cancel; }
    // Loads a picture file into picture box Image<imageNumber>; false when the file cannot be
    // read as a picture (the box keeps its picture). Shows no message itself.
    virtual bool LoadPicture(int imageNumber, const std::string& fileName) = 0;
    // Shows a picture decoded in memory (a picture library entry) in Image<imageNumber>; source
    // names where it came from. False when the box cannot take it.
    virtual bool ShowDecodedPicture(int imageNumber, const Rom::TPicture& picture,
                                    const std::string& source) = 0;
    // Shows the picture file that was just loaded into Image<loadedInto> in Image<imageNumber>
    // as well (one file shown in two boxes); the window takes it from the first box instead of
    // reading the file again. False when it cannot be shown, as for LoadPicture.
    virtual bool ShowSamePicture(int imageNumber, int /*loadedInto*/, const std::string& fileName) {
        return LoadPicture(imageNumber, fileName);
    }
    // The file name extensions (lower case) LoadPicture reads, for the picture dialogs' filter.
    virtual std::vector<std::string> PictureFormats() const { return {"bmp"}; }

    // Empties picture box Image<imageNumber>.
    virtual void ClearPicture(int /*imageNumber*/) {}

    // Busy (hourglass) cursor on and off.
    virtual void SetBusy(bool /*busy*/) {}
    // The Make page's message box (RichEdit1).
    virtual void ClearMessageLines() {}
    virtual void AppendMessageLine(const std::string& /*line*/) {}
    // The Make page's drive box, folder list and file list are linked again.
    virtual void RelinkFileBrowser() {}
};

// Busy cursor for the lifetime of the guard.
class TBusyGuard {
public:
    explicit TBusyGuard(TUserPrompts& prompts) : Prompts(prompts) { Prompts.SetBusy(true); }
    ~TBusyGuard() { Prompts.SetBusy(false); }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
    TUserPrompts& Prompts;
};

} // namespace AppCore
