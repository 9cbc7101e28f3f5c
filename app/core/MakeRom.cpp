#include "app/core/MakeRom.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"
#include "app/core/CodeCell.h"
#include "app/core/Messages.h"
#include "app/core/ProjectFile.h"
#include "rom/TRomBuilder.h"

namespace AppCore {

namespace {

Rom::TRomOptions RomOptions(const ProjectDocument& d) {
    Rom::TRomOptions o;
    o.DEF_DIR = d.DEF_DIR;
    o.DEF_FL = d.DEF_FL;
    o.DATEFORMAT = d.DATEFORMAT == TDateFormat::TYPE2 ? 1 : 0;
    o.CUSTOMERTITLE = d.CUSTOMERTITLE ? 1 : 0;
    o.DEF_MSG = d.DEF_MSG;
    o.DPDATETIME = d.DPDATETIME ? 1 : 0;
    o.OUTDATE = TrimText(d.OUTDATE);
    o.WEEKTYPE = d.WEEKTYPE == TWeekType::English ? 1 : 0;
    o.WEEKLANG = d.WEEKLANG;
    o.FLFRAME = d.FLFRAME ? 1 : 0;
    o.DEFCODETABLE = d.DEFCODETABLE;
    o.CUSIDCODE = TrimText(d.CUSIDCODE);
    o.CUSLOGOENABLE = d.CUSLOGOENABLE ? 1 : 0;
    o.SWAPTIME = d.SWAPTIME;
    o.PWRSAVING = d.PWRSAVING;
    o.DPSTYLE = d.DPSTYLE == TDpStyle::Left ? 2 : 1;
    return o;
}

// The Save As of MAKE ROM offers the project's own file, or a new project named after the ROM.
std::string MakeRomProjectName(const TEditorSession& session) {
    if (!session.ProjectPath.empty()) return session.ProjectPath;
    return XVclUtil::ChangeFileExt(
        RomFileNameForSave(XVclUtil::FileNameOfPath(session.Document.ROMFILENAME)), ".zkf");
}

} // namespace

std::string RomImagePath(const TEditorSession& session) {
    const std::string name = XVclUtil::ChangeFileExt(
        RomFileNameForSave(XVclUtil::FileNameOfPath(session.Document.ROMFILENAME)), ".ROM");
    return session.Context.StartDir.empty() ? name
                                            : XVclUtil::JoinPath(session.Context.StartDir, name);
}

Rom::TLibraryReader LibraryReader(const TPictureLibrary& library) {
    return [&library](int group, int index) {
        Rom::TLibraryEntry e;
        if (!library.IsLoaded()) return e; // NoLibrary
        using TState = Rom::TLibraryEntry::TState;
        e.Bytes = library.Picture(group, index);
        e.State = !e.Bytes.empty()                 ? TState::Found
                  : library.IsCutOff(group, index) ? TState::Missing
                                                   : TState::Empty;
        return e;
    };
}

int CountCodeCells(const ProjectDocument& document) {
    int count = 0;
    for (const TCodeTable& table : document.CodeTables)
        for (const std::string& cell : table)
            if (!TrimText(cell).empty()) ++count;
    return count;
}

Rom::TRomBuildInput RomBuildInput(const TEditorSession& session, const std::string& romFileName) {
    const ProjectDocument& d = session.Document;
    const ToolSettings& s = session.Settings;
    Rom::TRomBuildInput in;
    for (int t = 0; t < CodeTableCount; ++t) in.Cells[t] = d.CodeTables[t];
    in.DISPLAYTYPE = d.DISPLAYTYPE == TDisplayType::Vertical ? Rom::TDisplayType::Vertical
                                                             : Rom::TDisplayType::Horizontal;
    in.Options = RomOptions(d);
    for (int slot = 0; slot < LiftStateSlotCount; ++slot)
        in.LiftStateImageTable[slot] = d.LiftStateImageTable[slot];
    in.TITLEFILENAME_V = d.TITLEFILENAME_V;
    in.TITLEFILENAME_H = d.TITLEFILENAME_H;
    in.TITLEFILENAME_2 = d.TITLEFILENAME_2;
    in.TITLEFILENAME_C = d.TITLEFILENAME_C;
    in.OUTCPUBIN = s.OUTCPUBIN;
    in.CFI = s.CFI;
    in.IFI = s.IFI;
    in.BANK = s.BANK;
    in.OFFSET = s.OFFSET;
    in.SETOFFSET = s.SETOFFSET;
    in.FloorStylePrefix = session.Context.FloorStylePrefix;
    in.Library = LibraryReader(session.Library);
    in.LibraryName = s.GLB;
    // ROMFILENAME is a name in the working folder, however it was typed; only the caller's
    // own romFileName (the command line's -o) writes elsewhere.
    in.RomFileName = romFileName.empty()
                         ? XVclUtil::ChangeFileExt(
                               RomFileNameForSave(XVclUtil::FileNameOfPath(d.ROMFILENAME)), ".ROM")
                         : romFileName;
    in.BinFileName = XVclUtil::ChangeFileExt(in.RomFileName, ".BIN");
    // An existing file of that name in another case (x.rom picked in the file list) is the one
    // written, not a second file beside it.
    for (std::string* name : {&in.RomFileName, &in.BinFileName})
        if (const std::string found = XVclUtil::FindFileNoCase(*name); !found.empty())
            *name = found;
    return in;
}

bool MakeRom(TEditorSession& session, const std::string& romFileName) {
    // A start-up that reported an error left built-in model settings or no library: an image
    // made from that would not be the one the working folder describes.
    if (const TStartupContext& context = session.Context; !context.ProblemFile.empty()) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionFileError, Msg::StartupIncomplete,
                                       context.ProblemFile.c_str(), context.ProblemReason.c_str());
        return false;
    }
    if (CountCodeCells(session.Document) == 0) {
        XVclUtil::ShowErrMsgBox_Printf(CaptionWarning, "%s", MsgAllCtblEmpty);
        return false;
    }
    session.Prompts.ClearMessageLines();
    SaveProject(session,
                TFileDialog{MakeRomProjectName(session), "", "", "Save the project for MAKE ROM"});
    if (session.SaveIncomplete) return false;

    TBusyGuard busy(session.Prompts);
    const Rom::TRomBuildInput input = RomBuildInput(session, romFileName);
    Rom::TRomBuildEvents events;
    events.OnMessageLine = [&](const std::string& line) {
        session.Prompts.AppendMessageLine(line);
    };
    events.OnCellCancelled = [&](int t, int r) { session.Document.CodeTables[t][r].clear(); };
    events.OnMessageBox = [](const std::string& caption, const std::string& text) {
        XVclUtil::ShowErrMsgBox_Printf(caption.c_str(), "%s", text.c_str());
    };
    Rom::TRomBuilder builder(input, std::move(events));
    const bool finished = builder.Run();
    return finished;
}

} // namespace AppCore
