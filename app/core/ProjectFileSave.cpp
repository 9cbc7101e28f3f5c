// Save: the version 2.2 project file.

#include "app/core/CodeCell.h"
#include "app/core/DefMsgRule.h"
#include "app/core/Messages.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectFileKeys.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <cstdio>
#include <vector>

namespace AppCore {

namespace {

using XVclUtil::TXIniFile;
namespace K = ProjectKeys;

// A line break inside a value would end its line in the file and start a forged key line, so
// each one is stored as a blank.
void WriteText(TXIniFile& ini, const std::string& section, const std::string& key,
               std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    ini.WriteString(section, key, value);
}

const char* OnOff(bool on) {
    return on ? "ON" : "OFF";
}

std::string WeekTypeText(const ProjectDocument& document) {
    if (document.WEEKTYPE == TWeekType::English) return "ENGLISH";
    const int lang = document.WEEKLANG;
    return lang >= 0 && lang < WeekLangItemCount ? WeekLangNames[std::size_t(lang)] : "";
}

void WriteGlobal(TXIniFile& ini, TEditorSession& session) {
    ProjectDocument& doc = session.Document;
    WriteText(ini, K::Global, "ZKFVERSION", ProjectVersion22);
    WriteText(ini, K::Global, "CODEVER", ""); // keeps its place; the value follows DEF_DIR
    WriteText(ini, K::Global, "CUSIDCODE", TrimText(doc.CUSIDCODE));
    WriteText(ini, K::Global, "OUTDATE", TrimText(doc.OUTDATE));
    doc.ROMFILENAME = RomFileNameForSave(doc.ROMFILENAME);
    WriteText(ini, K::Global, "ROMFILENAME", doc.ROMFILENAME);
    WriteText(ini, K::Global, "TITLEFILENAME_V", doc.TITLEFILENAME_V);
    WriteText(ini, K::Global, "TITLEFILENAME_H", doc.TITLEFILENAME_H);
    WriteText(ini, K::Global, "TITLEFILENAME_2", doc.TITLEFILENAME_2);
    WriteText(ini, K::Global, "TITLEFILENAME_C", doc.TITLEFILENAME_C);
    ini.WriteInteger(K::Global, "SWAPTIME", doc.SWAPTIME);
    ini.WriteInteger(K::Global, "CUSLOGOENABLE", doc.CUSLOGOENABLE ? 1 : 0);
    ini.WriteInteger(K::Global, "DEFCODETABLE", doc.DEFCODETABLE);
    ini.WriteInteger(K::Global, "DEF_FL", doc.DEF_FL);
    ini.WriteInteger(K::Global, "DEF_DIR", doc.DEF_DIR);
    // Without a selected entry (no Model list) the model the project was loaded with is kept.
    const int model = session.SelectedModelIndex();
    WriteText(ini, K::Global, "CODEVER",
              TrimText(model < 0 ? doc.CODEVER : session.Settings.ModelList[std::size_t(model)]));
    WriteText(ini, K::Global, "DISPLAYTYPE",
              doc.DISPLAYTYPE == TDisplayType::Horizontal ? "H" : "V");
    WriteText(ini, K::Global, "CUSTOMERTITLE", OnOff(doc.CUSTOMERTITLE));
    WriteText(ini, K::Global, "FLFRAME", OnOff(doc.FLFRAME));
    doc.DEF_MSG = NormaliseDefMsg(doc.MsgCheckBoxes);
    ini.WriteInteger(K::Global, "DEF_MSG", doc.DEF_MSG);
    ini.WriteInteger(K::Global, "WEEKLANG", doc.WEEKLANG);
    WriteText(ini, K::Global, "WEEKTYPE", WeekTypeText(doc));
    WriteText(ini, K::Global, "DATEFORMAT",
              doc.DATEFORMAT == TDateFormat::TYPE1 ? "TYPE1" : "TYPE2");
    ini.WriteInteger(K::Global, "PWRSAVING", doc.PWRSAVING);
    ini.WriteInteger(K::Global, "DPSTYLE", doc.DPSTYLE == TDpStyle::Left ? 2 : 1);
    ini.WriteInteger(K::Global, "DPDATETIME", doc.DPDATETIME ? 1 : 0);
}

void WriteLiftStates(TXIniFile& ini, const ProjectDocument& doc) {
    for (int s = 0; s < LiftStateCount; ++s)
        for (int v = 0; v < LiftStateVariantCount; ++v)
            WriteText(ini, K::LiftStateImage, K::LiftStateKey(s, v),
                      doc.LiftStateImageTable[std::size_t(LiftStateSlot(s, v))]);
}

void WriteCodeTables(TXIniFile& ini, const ProjectDocument& doc) {
    for (int n = 0; n < CodeCount; ++n)
        for (int t = 0; t < CodeTableCount; ++t)
            WriteText(ini, K::CodeTableSection(t), K::CodeKey(n),
                      NormaliseCell(doc.CodeTables[std::size_t(t)][std::size_t(n)]));
}

// Sections a save rewrites; every other section of an existing file stays where it is.
std::vector<std::string> OwnedSections() {
    std::vector<std::string> sections = {K::Global, K::LiftStateImage};
    for (int t = 0; t < CodeTableCount; ++t) sections.push_back(K::CodeTableSection(t));
    sections.push_back(K::PrjMemo);
    return sections;
}

bool WriteDocument(TEditorSession& session, const std::string& path, bool existed) {
    TXIniFile ini(path); // saves atomically: the old file stays whole until the new one is written
    if (existed)
        for (const std::string& section : OwnedSections()) ini.EraseSection(section);
    TBusyGuard busy(session.Prompts);
    WriteGlobal(ini, session);
    WriteLiftStates(ini, session.Document);
    WriteCodeTables(ini, session.Document);
    if (ini.UpdateFile()) return true;
    ini.Modified = false; // the failure has been reported once; no second try on release
    return false;
}

} // namespace

bool IsValidOutDate(const std::string& outDate) {
    const std::string date = TrimText(outDate);
    if (date.empty()) return true;
    if (date.size() < 6) return false;
    for (std::size_t i = 0; i < 6; ++i)
        if (date[i] < '0' || date[i] > '9') return false;
    return true;
}

std::string RomFileNameForSave(const std::string& text) {
    const std::string name = TrimText(text);
    return name.empty() ? DefaultRomFileName : XVclUtil::ChangeFileExt(name, ".ROM");
}

void SaveProject(TEditorSession& session, const TFileDialog& dialog) {
    session.SaveIncomplete = true;
    if (!IsValidOutDate(session.Document.OUTDATE)) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionDataError, "%s", Msg::DateFieldError);
        return;
    }
    const std::optional<std::string> path = session.Prompts.SaveFileDialog(
        TFileDialog{dialog.FileName, ProjectFileFilter, "zkf", dialog.Caption});
    if (!path) return;
    session.SaveIncomplete = false;
    if (XVclUtil::FileExists(*path) &&
        !session.Prompts.AskYesNo(Msg::CaptionOverlay, Msg::FileExistOverlay))
        return;
    WriteProjectFile(session, *path);
}

bool WriteProjectFile(TEditorSession& session, const std::string& path) {
    const bool existed = XVclUtil::FileExists(path);
    bool written = false;
    try {
        written = WriteDocument(session, path, existed);
    } catch (const XVclUtil::EXGeneral& e) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", e.what());
        return false;
    }
    if (!written) {
        if (!existed) std::remove(path.c_str()); // no empty file is left behind
        return false;
    }
    session.StatusPanels[0] = "Project file: " + path;
    session.ProjectPath = path;
    session.History().MarkSaved();
    return true;
}

} // namespace AppCore
