// Load: the version 2.2 and 2.0 readers. A file is read completely into a copy of the document
// and the settings first; only a file read without error replaces them. Pictures are shown after
// that, and those that could not be shown are listed in one message.

#include "app/core/CodeCell.h"
#include "app/core/CodeTableLabels.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"
#include "app/core/PictureBoxes.h"
#include "app/core/PictureFinder.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectFileKeys.h"
#include "app/core/Startup.h"

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <vector>

namespace AppCore {

namespace {

using XVclUtil::TXIniFile;
namespace K = ProjectKeys;

// What one load produces: the new document and settings, and the pictures to show, in order.
struct TLoadedProject {
    ProjectDocument Document;
    ToolSettings Settings;
    bool ModelChanged = false;
    std::vector<std::function<bool(TEditorSession&, std::vector<std::string>&)>> Pictures;
    std::vector<std::string> WarningLines; // for the Make page's message box
    TPictureFinder Finder;                 // pictures of a moved project
};

bool IsBlank(const std::string& text) {
    return TrimText(text).empty();
}

std::string Read(TXIniFile& ini, const char* key, const std::string& def = "") {
    return ini.ReadString(K::Global, key, def);
}
int ReadInt(TXIniFile& ini, const char* key, int def) {
    return ini.ReadInteger(K::Global, key, def);
}

// An item index or radio value outside 0..count-1 leaves the field as it was.
void SetInRange(int& field, int value, int count) {
    if (value >= 0 && value < count) field = value;
}

// "ON" (exactly): true; other non-blank: false; blank: true.
bool OnUnlessOther(const std::string& value) {
    return IsBlank(value) || value == "ON";
}

void AddFilePicture(TLoadedProject& loaded, int image, const std::string& path) {
    loaded.Pictures.push_back(
        [image, path](TEditorSession& session, std::vector<std::string>& failed) {
            if (ShowPicture(session, image, path)) return true;
            failed.push_back(path);
            return false;
        });
}

void AddLibraryPicture(TLoadedProject& loaded, int image, int group, int index) {
    loaded.Pictures.push_back(
        [image, group, index](TEditorSession& session, std::vector<std::string>& failed) {
            if (ShowLibraryPicture(session, image, group, index)) return true;
            failed.push_back(LibraryPictureName(session, group, index));
            return false;
        });
}

// The ROM image is written in the working folder: a folder part ("../x/EVIL.ROM", "/tmp/A.ROM",
// "C:\ROMS\A.ROM") would write elsewhere, so only the file name is kept.
std::string PlainRomFileName(const std::string& value, std::vector<std::string>& warnings) {
    const std::string name = XVclUtil::FileNameOfPath(value);
    if (name != value)
        warnings.push_back("[Warning] ROMFILENAME " + value + " has a folder part --> " + name +
                           " !!!");
    return name;
}

// Steps 1 to 4 of both readers: ROM file name, title paths, logo, title pictures.
void ReadNamesAndTitles(TXIniFile& ini, TLoadedProject& loaded, bool withTitle2) {
    ProjectDocument& doc = loaded.Document;
    const std::string rom = Read(ini, "ROMFILENAME", DefaultRomFileName);
    if (!IsBlank(rom)) doc.ROMFILENAME = PlainRomFileName(rom, loaded.WarningLines);
    doc.TITLEFILENAME_V = loaded.Finder.Locate(Read(ini, "TITLEFILENAME_V"));
    doc.TITLEFILENAME_H = loaded.Finder.Locate(Read(ini, "TITLEFILENAME_H"));
    if (withTitle2) doc.TITLEFILENAME_2 = loaded.Finder.Locate(Read(ini, "TITLEFILENAME_2"));

    if (ReadInt(ini, "CUSLOGOENABLE", 0) == 0) {
        doc.CUSLOGOENABLE = false; // SWAPTIME and the logo path keep their values
    } else {
        SetInRange(doc.SWAPTIME, ReadInt(ini, "SWAPTIME", 0), SwapTimeItemCount);
        doc.TITLEFILENAME_C = loaded.Finder.Locate(Read(ini, "TITLEFILENAME_C"));
        doc.CUSLOGOENABLE = !doc.TITLEFILENAME_C.empty();
        if (doc.CUSLOGOENABLE) {
            AddFilePicture(loaded, Images::Logo, doc.TITLEFILENAME_C);
        } else {
            // MAKE ROM builds no logo, so the box shows none either.
            doc.TITLEFILENAME_C.clear();
            loaded.Pictures.push_back([](TEditorSession& session, std::vector<std::string>&) {
                session.Prompts.ClearPicture(Images::Logo);
                return true;
            });
        }
    }

    if (doc.TITLEFILENAME_V.empty())
        AddLibraryPicture(loaded, Images::TitleV, 0, 0);
    else
        AddFilePicture(loaded, Images::TitleV, doc.TITLEFILENAME_V);
    if (doc.TITLEFILENAME_H.empty())
        AddLibraryPicture(loaded, Images::TitleH, 0, 5);
    else
        AddFilePicture(loaded, Images::TitleH, doc.TITLEFILENAME_H);
    if (withTitle2 && !doc.TITLEFILENAME_2.empty())
        AddFilePicture(loaded, Images::Title2, doc.TITLEFILENAME_2);
}

// Styles and the three display switches, shared by both readers.
void ReadStylesAndSwitches(TXIniFile& ini, ProjectDocument& doc) {
    SetInRange(doc.DEFCODETABLE, ReadInt(ini, "DEFCODETABLE", 0), CodeTableCount);
    SetInRange(doc.DEF_FL, ReadInt(ini, "DEF_FL", 0), 5);
    SetInRange(doc.DEF_DIR, ReadInt(ini, "DEF_DIR", 0), 12);
    const std::string display = Read(ini, "DISPLAYTYPE");
    doc.DISPLAYTYPE =
        (IsBlank(display) || display == "H") ? TDisplayType::Horizontal : TDisplayType::Vertical;
    doc.CUSTOMERTITLE = OnUnlessOther(Read(ini, "CUSTOMERTITLE"));
    doc.FLFRAME = OnUnlessOther(Read(ini, "FLFRAME"));
}

void ReadDateFormat(TXIniFile& ini, ProjectDocument& doc) {
    const std::string format = Read(ini, "DATEFORMAT");
    doc.DATEFORMAT =
        (IsBlank(format) || format == "TYPE1") ? TDateFormat::TYPE1 : TDateFormat::TYPE2;
}

void ReadLiftStates(TXIniFile& ini, TLoadedProject& loaded, const std::string& programDir) {
    for (int s = 0; s < LiftStateCount; ++s) {
        for (int v = 0; v < LiftStateVariantCount; ++v) {
            const std::string value = ini.ReadString(K::LiftStateImage, K::LiftStateKey(s, v), "");
            if (IsBlank(value)) continue;
            // A picture moved with the project or the program (another folder, another PC) is
            // looked for beside the project, in the working folder and in the program's own
            // lift-state folder.
            std::string found = loaded.Finder.TryLocate(value);
            if (found.empty()) {
                const std::string stock = XVclUtil::ResolveFileCase(
                    programDir + "DefaultImage/LiftState/" + XVclUtil::FileNameOfPath(value));
                if (XVclUtil::FileExists(stock)) found = stock;
            }
            // One found nowhere keeps the path the user chose: it is saved again as it was,
            // listed as missing, and its box stays empty as MAKE ROM leaves it out.
            if (found.empty()) {
                loaded.Finder.NoteMissing(value);
                found = value;
            }
            loaded.Document.LiftStateImageTable[std::size_t(LiftStateSlot(s, v))] = found;
        }
    }
    loaded.Pictures.push_back([](TEditorSession& session, std::vector<std::string>& failed) {
        const std::vector<std::string> missing = ShowLiftStatePictures(session, false);
        for (const std::string& path : missing)
            if (std::find(failed.begin(), failed.end(), path) == failed.end())
                failed.push_back(path);
        return missing.empty();
    });
}

// Picks the model named by CODEVER (the last equal entry, else the first) and reads its section.
// Without a Model list (no settings file was found) the file's model is kept as it is, so that
// saving the project again does not lose it.
void ReadModel(TXIniFile& ini, TLoadedProject& loaded, const std::string& startDir) {
    const std::vector<std::string>& list = loaded.Settings.ModelList;
    const std::string codever = Read(ini, "CODEVER");
    if (list.empty()) {
        if (!IsBlank(codever)) loaded.Document.CODEVER = TrimText(codever);
        return;
    }
    std::size_t index = 0;
    if (!IsBlank(codever))
        for (std::size_t i = 0; i < list.size(); ++i)
            if (TrimText(list[i]) == codever) index = i;
    ReadModelSettings(loaded.Settings, startDir, TrimText(list[index]));
    loaded.ModelChanged = true;
}

void LoadProject22(TXIniFile& ini, TLoadedProject& loaded, const TStartupContext& context) {
    ProjectDocument& doc = loaded.Document;
    ReadNamesAndTitles(ini, loaded, true);
    ReadStylesAndSwitches(ini, doc);
    const int defMsg = ReadInt(ini, "DEF_MSG", MsgVariantMaskDefault);
    doc.MsgCheckBoxes = defMsg & 15;
    doc.DEF_MSG = defMsg;
    const std::string weekType = Read(ini, "WEEKTYPE");
    doc.WEEKTYPE = (IsBlank(weekType) || weekType == "ENGLISH") ? TWeekType::English
                                                                : TWeekType::OtherLanguage;
    if (doc.WEEKTYPE == TWeekType::OtherLanguage)
        SetInRange(doc.WEEKLANG, ReadInt(ini, "WEEKLANG", 0), WeekLangItemCount);
    ReadDateFormat(ini, doc);
    ReadLiftStates(ini, loaded, context.ProgramDir);
    for (int n = 0; n < CodeCount; ++n)
        for (int t = 0; t < CodeTableCount; ++t)
            doc.CodeTables[std::size_t(t)][std::size_t(n)] =
                TrimText(ini.ReadString(K::CodeTableSection(t), K::CodeKey(n), ""));
    ReadModel(ini, loaded, context.StartDir);
    doc.CUSIDCODE = Read(ini, "CUSIDCODE");
    doc.OUTDATE = Read(ini, "OUTDATE");
    SetInRange(doc.PWRSAVING, ReadInt(ini, "PWRSAVING", 0), PwrSavingItemCount);
    doc.DPSTYLE = ReadInt(ini, "DPSTYLE", 1) == 1 ? TDpStyle::Right : TDpStyle::Left;
    doc.DPDATETIME = ReadInt(ini, "DPDATETIME", 1) == 1;
}

// Floor number k of a version 2.0 code value: characters 4 to 6 of the trimmed text, a decimal
// number of 0 to 255; -1 when they are not.
int FloorNumber20(const std::string& value) {
    const std::string text = TrimText(value);
    if (text.size() < 4) return -1;
    const std::string digits = text.substr(3, 3);
    int k = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        k = k * 10 + (c - '0');
    }
    return k <= 255 ? k : -1;
}

void LoadProject20(TXIniFile& ini, TLoadedProject& loaded) {
    ProjectDocument& doc = loaded.Document;
    ReadNamesAndTitles(ini, loaded, false);
    ReadStylesAndSwitches(ini, doc);
    doc.DEF_MSG = MsgVariantMaskDefault;
    const std::string weekType = Read(ini, "WEEKTYPE");
    doc.WEEKTYPE = (IsBlank(weekType) || weekType == "ENGLISH") ? TWeekType::English
                                                                : TWeekType::OtherLanguage;
    ReadDateFormat(ini, doc);
    for (int n = 0; n < CodeCount; ++n) {
        for (int t = 0; t < CodeTableCount; ++t) {
            const std::string value = ini.ReadString(K::CodeTable20, K::CodeKey20(t, n), "");
            if (IsBlank(value)) continue;
            const int k = FloorNumber20(value);
            if (k >= 0) doc.CodeTables[std::size_t(t)][std::size_t(n)] = FloorLabel(k);
        }
    }
    doc.CUSIDCODE = Read(ini, "CUSIDCODE");
    doc.OUTDATE = Read(ini, "OUTDATE");
    doc.PWRSAVING = 0;
    doc.DPSTYLE = TDpStyle::Right;
}

void ShowError(const char* caption, const std::string& text) {
    XVclUtil::ShowErrMsgBox_Printf(caption, "%s", text.c_str());
}

// Reads the file into loaded; false with the message shown when it is not a loadable project.
bool ReadProject(TEditorSession& session, const std::string& path, TLoadedProject& loaded) {
    std::string error;
    try {
        TBusyGuard busy(session.Prompts);
        TXIniFile ini(path);
        const std::string version = Read(ini, "ZKFVERSION");
        if (IsBlank(version))
            error = Msg::ZkfFormatError;
        else if (version == ProjectVersion20)
            LoadProject20(ini, loaded);
        else if (version == ProjectVersion22)
            LoadProject22(ini, loaded, session.Context);
        else
            error = Msg::ZkfVersionError;
    } catch (const XVclUtil::EConvertError& e) {
        ShowError(Msg::CaptionError, e.what());
        return false;
    } catch (const XVclUtil::EXGeneral& e) {
        ShowError(Msg::CaptionError, e.what());
        return false;
    }
    if (!error.empty()) ShowError(Msg::CaptionError, error);
    return error.empty();
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace

void LoadProject(TEditorSession& session) {
    const std::optional<std::string> path =
        session.Prompts.OpenFileDialog(TFileDialog{"", ProjectFileFilter, "", ""});
    if (path) LoadProjectFile(session, *path);
}

bool LoadProjectFile(TEditorSession& session, const std::string& path) {
    // Loading never creates a file. A name under which nothing exists says so with the
    // system's reason; anything else that is no regular file is no project file.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::ZkfNotFound, path.c_str(),
                                       std::strerror(error));
        return false;
    }
    if (!XVclUtil::FileExists(path)) {
        ShowError(Msg::CaptionError, Msg::ZkfFormatError);
        return false;
    }
    TLoadedProject loaded{session.Document,
                          session.Settings,
                          false,
                          {},
                          {},
                          TPictureFinder(path, session.Context.StartDir)};
    if (!ReadProject(session, path, loaded)) return false;

    session.Document = std::move(loaded.Document);
    if (loaded.ModelChanged) ApplyModelSettings(session, std::move(loaded.Settings));
    session.StatusPanels[0] = "Project file: " + path;
    session.ProjectPath = path;
    session.History().Reset(); // the loaded file is the new starting point
    std::vector<std::string> failed;
    {
        TBusyGuard busy(session.Prompts);
        for (const auto& show : loaded.Pictures) show(session, failed);
    }
    session.Prompts.RelinkFileBrowser();
    for (const std::string& line : loaded.WarningLines) session.Prompts.AppendMessageLine(line);
    if (const std::string moved = loaded.Finder.Report(); !moved.empty())
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionPictures, "%s", moved.c_str());
    // A picture listed as missing is not named again as one that failed to load.
    std::erase_if(failed, [&](const std::string& path) { return loaded.Finder.IsMissing(path); });
    if (!failed.empty())
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::PictureLoadError,
                                       JoinLines(failed).c_str());
    return true;
}

} // namespace AppCore
