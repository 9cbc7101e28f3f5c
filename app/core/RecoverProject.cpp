#include "app/core/RecoverProject.h"

#include "app/core/CodeCell.h"
#include "app/core/DefMsgRule.h"
#include "app/core/MakeRom.h"
#include "app/core/ModelSettings.h"
#include "app/core/PrivateFolder.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectFileKeys.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/ini/TXIniFile.h"
#include "rom/MonoBmpWriter.h"
#include "rom/RomDiff.h"
#include "rom/RomLayout.h"
#include "rom/RomRecovery.h"

#include <filesystem>

namespace AppCore {

namespace {

constexpr const char* LiftStateFolder = "DefaultImage/LiftState";
constexpr const char* FloorFolder = "DefaultImage/UserDefine/Floor/Style";
// Stored for a lift-state slot the image leaves empty: no folder holds a file of that name, so
// the slot stays empty whichever program folder the project is built with.
constexpr const char* NoPicture = "(none)";
constexpr std::uint64_t MaxPictureFile = 16u << 20;

// Every model of the settings file with its settings; a model whose section cannot be read
// is left out.
std::vector<Rom::TModelSettings> Models(const TEditorSession& session) {
    std::vector<Rom::TModelSettings> models;
    for (const std::string& item : session.Settings.ModelList) {
        ToolSettings s = session.Settings;
        try {
            ReadModelSettings(s, session.Context.StartDir, TrimText(item));
        } catch (const XVclUtil::EConvertError&) {
            continue;
        } catch (const XVclUtil::EXGeneral&) {
            continue;
        }
        models.push_back(
            {TrimText(item), s.OUTCPUBIN, s.CFI, s.IFI, s.BANK, s.OFFSET, s.SETOFFSET});
    }
    return models;
}

std::string DefaultLiftStatePath(const std::string& programDir, int slot) {
    return XVclUtil::ResolveFileCase(XVclUtil::NativePath(
        programDir + LiftStateFolder + "/" + DefaultLiftStateFileName(slot / 4, slot % 4)));
}

bool MakeFolders(const std::string& base, const std::string& relative, std::string& error) {
    std::string path = base;
    std::size_t at = 0;
    while (at <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', at), relative.size());
        path += XVclUtil::PathDelim + relative.substr(at, end - at);
        if (!MakeFolder(path, error)) return false;
        at = end + 1;
    }
    return true;
}

class TRecoveryWriter {
public:
    TRecoveryWriter(TEditorSession& session, std::string folder, TRecoverResult& result)
        : Session(session), Folder(std::move(folder)), Result(result) {}

    bool Write(const Rom::TRecoveredProject& project, const std::string& romPath,
               const std::string& projectName) {
        ProjectDocument& doc = Session.Document;
        doc = ProjectDocument{};
        SetDefaultLiftStateImages(doc, Session.Context.ProgramDir);
        if (!CopyDefaults(project)) return false;
        for (const Rom::TRecoveredPicture& p : project.Pictures)
            if (!WritePicture(project, p)) return false;
        int absent = 0;
        for (int slot = 0; slot < LiftStateSlotCount; ++slot)
            if (project.LiftStates[std::size_t(slot)] == Rom::TLiftStateSource::Absent) {
                doc.LiftStateImageTable[std::size_t(slot)] = NoPicture;
                ++absent;
            }
        if (absent > 0)
            Result.Notes.push_back("lift-state pictures: " + std::to_string(absent) +
                                   " slots hold no picture; the project names \"" + NoPicture +
                                   "\" for them");
        for (int t = 0; t < CodeTableCount; ++t)
            for (int r = 0; r < CodeCount; ++r)
                doc.CodeTables[std::size_t(t)][std::size_t(r)] = project.Cells[t][r];
        SetOptions(project);
        doc.ROMFILENAME = RomFileNameForSave(XVclUtil::FileNameOfPath(romPath));
        if (!project.Model.empty()) ChangeModel(Session, project.Model);
        return WriteProject(projectName, project.Options.DEF_MSG);
    }

private:
    // The default lift-state pictures go into the folder's own DefaultImage tree, so that the
    // folder serves on its own as the program folder (start-up shows all forty).
    bool CopyDefaults(const Rom::TRecoveredProject& project) {
        for (int slot = 0; slot < LiftStateSlotCount; ++slot) {
            const auto bytes = XVclUtil::ReadWholeFile(
                DefaultLiftStatePath(Session.Context.ProgramDir, slot), MaxPictureFile);
            if (!bytes) continue; // compared equal, so it was read a moment ago
            const std::string path = XVclUtil::JoinPath(
                Folder, XVclUtil::NativePath(std::string(LiftStateFolder) + "/" +
                                             DefaultLiftStateFileName(slot / 4, slot % 4)));
            if (!MakeFolders(Folder, LiftStateFolder, Result.Error) || !Put(path, *bytes))
                return false;
            if (project.LiftStates[std::size_t(slot)] == Rom::TLiftStateSource::Default)
                Session.Document.LiftStateImageTable[std::size_t(slot)] = path;
        }
        return true;
    }

    bool Put(const std::string& path, std::span<const std::uint8_t> bytes) {
        std::string why;
        if (!XVclUtil::WriteFileAtomically(path, bytes, &why, XVclUtil::TLinkPolicy::Replace)) {
            Result.Error = "cannot write " + path + ": " + why;
            return false;
        }
        Result.Written.push_back(path);
        return true;
    }

    bool WritePicture(const Rom::TRecoveredProject& project, const Rom::TRecoveredPicture& p) {
        using R = Rom::TRecoveredRole;
        ProjectDocument& doc = Session.Document;
        std::string relative = p.FileName;
        if (p.Role == R::Floor) {
            const std::string style = FloorFolder + std::to_string(project.Options.DEF_FL);
            if (!MakeFolders(Folder, style, Result.Error)) return false;
            relative = style + "/" + p.FileName;
        } else if (p.Role == R::LiftState) {
            relative = DefaultLiftStateFileName(p.Slot / 4, p.Slot % 4);
        }
        const std::string path = XVclUtil::JoinPath(Folder, XVclUtil::NativePath(relative));
        if (!Put(path, Rom::EncodeMonoBmp(p.Picture))) return false;
        switch (p.Role) {
        case R::Floor:
            break;
        case R::LiftState:
            doc.LiftStateImageTable[std::size_t(p.Slot)] = path;
            break;
        case R::TitleV:
            doc.TITLEFILENAME_V = path;
            break;
        case R::TitleH:
            doc.TITLEFILENAME_H = path;
            break;
        case R::Title2:
            doc.TITLEFILENAME_2 = path;
            break;
        case R::Logo:
            doc.TITLEFILENAME_C = path;
            break;
        }
        return true;
    }

    void SetOptions(const Rom::TRecoveredProject& project) {
        ProjectDocument& doc = Session.Document;
        const Rom::TRomOptions& o = project.Options;
        doc.DISPLAYTYPE = project.DisplayType == Rom::TDisplayType::Vertical
                              ? TDisplayType::Vertical
                              : TDisplayType::Horizontal;
        doc.DEF_DIR = o.DEF_DIR;
        doc.DEF_FL = o.DEF_FL;
        doc.DATEFORMAT = o.DATEFORMAT == 1 ? TDateFormat::TYPE2 : TDateFormat::TYPE1;
        doc.CUSTOMERTITLE = o.CUSTOMERTITLE == 1;
        doc.MsgCheckBoxes = o.DEF_MSG & 15;
        doc.DEF_MSG = o.DEF_MSG;
        doc.DPDATETIME = o.DPDATETIME == 1;
        doc.OUTDATE = o.OUTDATE;
        doc.WEEKTYPE = o.WEEKTYPE == 1 ? TWeekType::English : TWeekType::OtherLanguage;
        doc.WEEKLANG = o.WEEKLANG;
        doc.FLFRAME = o.FLFRAME == 1;
        doc.DEFCODETABLE = o.DEFCODETABLE;
        doc.CUSIDCODE = o.CUSIDCODE;
        doc.CUSLOGOENABLE = o.CUSLOGOENABLE == 1;
        doc.SWAPTIME = o.SWAPTIME;
        doc.PWRSAVING = o.PWRSAVING;
        doc.DPSTYLE = o.DPSTYLE == 2 ? TDpStyle::Left : TDpStyle::Right;
    }

    bool WriteProject(const std::string& name, int defMsg) {
        Result.ProjectPath = XVclUtil::JoinPath(Folder, name);
        XVclUtil::DeleteFileIfExists(Result.ProjectPath); // a fresh file, no old sections kept
        if (!WriteProjectFile(Session, Result.ProjectPath)) {
            Result.Error = "cannot write the project file " + Result.ProjectPath;
            return false;
        }
        // Save stores DEF_MSG as two of four boxes; the image may hold another mask, which
        // Load takes as it is.
        if (NormaliseDefMsg(defMsg & 15) != defMsg) {
            try {
                XVclUtil::TXIniFile ini(Result.ProjectPath);
                ini.WriteInteger(ProjectKeys::Global, "DEF_MSG", defMsg);
                if (!ini.UpdateFile()) {
                    Result.Error = "cannot write the project file " + Result.ProjectPath;
                    return false;
                }
            } catch (const XVclUtil::EXGeneral& e) {
                Result.Error = e.what();
                return false;
            }
            Session.Document.DEF_MSG = defMsg;
        }
        Result.Written.push_back(Result.ProjectPath);
        return true;
    }

    TEditorSession& Session;
    std::string Folder;
    TRecoverResult& Result;
};

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const auto abs = std::filesystem::absolute(path, ec);
    std::string text = ec ? path : abs.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

} // namespace

std::optional<std::vector<std::uint8_t>> ReadRomImageFile(const std::string& path,
                                                          std::string& error) {
    const auto size = XVclUtil::RegularFileSize(path);
    if (!size) {
        error = "cannot read \"" + path + "\" (no such regular file)";
        return std::nullopt;
    }
    if (*size != Rom::RomImageSize) {
        error = "\"" + path + "\" holds " + std::to_string(*size) + " bytes; a ROM image holds " +
                std::to_string(Rom::RomImageSize);
        return std::nullopt;
    }
    auto bytes = XVclUtil::ReadWholeFile(path, Rom::RomImageSize);
    if (!bytes || bytes->size() != Rom::RomImageSize) {
        error = "cannot read \"" + path + "\"";
        return std::nullopt;
    }
    return bytes;
}

TRecoverResult RecoverProjectFromImage(TEditorSession& session, const std::string& romPath,
                                       const std::string& folderIn,
                                       const std::string& projectName) {
    TRecoverResult result;
    const auto image = ReadRomImageFile(romPath, result.Error);
    if (!image) {
        result.NotAnImage = true;
        return result;
    }

    Rom::TRecoveryInput in;
    in.Library = LibraryReader(session.Library);
    in.Models = Models(session);
    const std::string programDir = session.Context.ProgramDir;
    in.DefaultLiftState = [programDir](int slot) {
        return XVclUtil::ReadWholeFile(DefaultLiftStatePath(programDir, slot), MaxPictureFile);
    };
    const std::string side = XVclUtil::FindFileNoCase(XVclUtil::ChangeFileExt(romPath, ".BIN"));
    if (!side.empty() && XVclUtil::RegularFileSize(side) == Rom::ConfigBlockSize)
        in.SideFile = XVclUtil::ReadWholeFile(side, Rom::ConfigBlockSize);

    Rom::TRecoveredProject project;
    std::string why;
    if (!Rom::RecoverProject(*image, in, project, why)) {
        result.Error = "\"" + romPath + "\" is no ROM image MAKE ROM writes: " + why;
        result.NotAnImage = true;
        return result;
    }
    result.Lost = project.Lost;
    result.Notes = project.Notes;
    if (in.SideFile) result.Notes.push_back("side file compared: " + side);

    const std::string folder = Absolute(folderIn);
    if (!MakeFolder(folder, result.Error, true)) return result;
    TRecoveryWriter writer(session, folder, result);
    const std::string name =
        projectName.empty() ? XVclUtil::ChangeFileExt(XVclUtil::FileNameOfPath(romPath), ".zkf")
                            : XVclUtil::FileNameOfPath(projectName);
    result.Ok = writer.Write(project, romPath, name);
    return result;
}

std::vector<std::string> CheckRebuild(const std::string& projectPath, const std::string& workDir,
                                      const std::string& programDir,
                                      const std::vector<std::uint8_t>& image, std::string& error) {
    const TPrivateTempFolder temp("zkf780a-check-");
    if (temp.Path().empty()) {
        error = temp.Error();
        return {};
    }
    std::vector<std::string> boxes;
    const XVclUtil::TMessageSink previous =
        XVclUtil::SetMessageSink([&boxes](const std::string& caption, const std::string& text) {
            if (caption == "Succeeded") return;
            std::string line; // the box on one line
            for (char c : TrimText(text)) {
                if (c != '\n')
                    line += c;
                else if (!line.empty() && line.back() != ' ')
                    line += ' ';
            }
            boxes.push_back(caption + ": " + line);
        });
    bool built = false;
    const std::string rom = temp.Path() + "/CHECK.ROM";
    {
        TScriptedPrompts prompts;
        TEditorSession session(prompts);
        RunStartup(session, programDir, workDir);
        if (LoadProjectFile(session, projectPath)) {
            prompts.SaveAnswers.push_back(projectPath);
            prompts.YesNoAnswers.push_back(false); // the project file stays as it is
            built = MakeRom(session, rom);
        }
    }
    XVclUtil::SetMessageSink(previous);
    std::vector<std::string> lines;
    if (const auto rebuilt = XVclUtil::ReadWholeFile(rom, Rom::RomImageSize); built && rebuilt) {
        for (const Rom::TRomDifference& d : Rom::DiffRomImages(image, *rebuilt))
            lines.push_back(d.Text);
    } else {
        error = "the project does not build";
        for (const std::string& box : boxes) error += "; " + box;
    }
    return lines;
}

} // namespace AppCore
