#include "app/core/ModelSettings.h"

#include "app/core/CodeCell.h"
#include "app/core/Messages.h"
#include "app/core/Startup.h"

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <exception>

namespace AppCore {

namespace {

constexpr const char* Global = "GLOBAL";
// The model list is a drop-down list: far more entries than anyone would pick from. A larger
// VCN is cut to this, so that a hostile or mistyped value cannot keep start-up reading.
constexpr int MaxModels = 1000;

void ReadModelSection(XVclUtil::TXIniFile& ini, ToolSettings& settings, const std::string& model) {
    settings.OUTCPUBIN = ini.ReadInteger(model, "OUTCPUBIN", 0);
    if (settings.OUTCPUBIN == 1) {
        settings.CFI = ini.ReadInteger(model, "CFI", 251);
        settings.IFI = ini.ReadInteger(model, "IFI", 252);
    }
    settings.BANK = ini.ReadInteger(model, "BANK", 2);
    settings.OFFSET = ini.ReadInteger(model, "OFFSET", 116);
    settings.SETOFFSET = ini.ReadInteger(model, "SETOFFSET", 251);
    settings.CurrentModel = model;
}

void UseBuiltInModels(ToolSettings& settings) {
    settings.ModelList = BuiltInModelList();
    settings.CFI = 251;
    settings.IFI = 252;
    settings.BANK = 2;
    settings.OFFSET = 116;
    settings.SETOFFSET = 251;
    settings.OUTCPUBIN = 0;
    settings.CurrentModel = "KRV-RS";
}

// Reads the file into a copy, so that a conversion error leaves the settings as they were.
ToolSettings ReadToolSettingsFile(const std::string& path, ToolSettings settings) {
    XVclUtil::TXIniFile ini(path);
    int vcn = ini.ReadInteger(Global, "VCN", 0);
    if (vcn > MaxModels) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, Msg::VcnTooLarge, vcn, MaxModels,
                                       MaxModels);
        vcn = MaxModels;
    }
    std::vector<std::string> models;
    for (int n = 1; n <= vcn; ++n) {
        const std::string item = ini.ReadString(Global, "ITEM" + std::to_string(n), "");
        if (!TrimText(item).empty()) models.push_back(item);
    }
    // No usable ITEM entry counts as VCN = 0: the built-in list, GLOBAL's names unread.
    if (models.empty()) {
        UseBuiltInModels(settings);
        return settings;
    }
    settings.ModelList = models;
    ReadModelSection(ini, settings, TrimText(models.front()));
    settings.GLB = ini.ReadString(Global, "GLB", DefaultGlbFileName);
    settings.UBFGLB = ini.ReadString(Global, "UBFGLB", "");
    settings.APNOTE = ini.ReadString(Global, "APNOTE", "");
    return settings;
}

} // namespace

std::string ToolSettingsPath(const std::string& startDir) {
    return XVclUtil::ResolveFileCase(startDir + XVclUtil::PathDelim + ToolSettingsFileName);
}

void LoadToolSettings(TEditorSession& session) {
    const std::string path = ToolSettingsPath(session.Context.StartDir);
    if (!XVclUtil::FileExists(path)) {
        session.Context.NoteProblem(path, XVclUtil::NotRegularFileReason(path));
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s",
                                       session.StartupNotFoundText(Msg::SettingsNotFound).c_str());
        return;
    }
    try {
        session.Settings = ReadToolSettingsFile(path, session.Settings);
    } catch (const std::exception& e) { // a conversion or INI error: start-up shows it, stops
        session.Context.NoteProblem(path, e.what());
        throw;
    }
    session.Document.CODEVER = session.Settings.CurrentModel;
}

void ReadModelSettings(ToolSettings& settings, const std::string& startDir,
                       const std::string& model) {
    const std::string path = ToolSettingsPath(startDir);
    if (!XVclUtil::FileExists(path)) {
        // The settings file is never written: a missing file simply gives the defaults.
        settings.OUTCPUBIN = 0;
        settings.BANK = 2;
        settings.OFFSET = 116;
        settings.SETOFFSET = 251;
        settings.CurrentModel = model;
        return;
    }
    ToolSettings read = settings;
    XVclUtil::TXIniFile ini(path);
    ReadModelSection(ini, read, model);
    settings = read;
}

void ApplyModelSettings(TEditorSession& session, ToolSettings settings) {
    session.Settings = std::move(settings);
    session.Document.CODEVER = session.Settings.CurrentModel;
    session.StatusPanels[1] = "Version: " + session.Settings.CurrentModel;
    RelabelBitColumn(session);
}

bool ChangeModelIndex(TEditorSession& session, int index) {
    if (index < 0 || index >= int(session.Settings.ModelList.size())) return false;
    try {
        ToolSettings settings = session.Settings;
        ReadModelSettings(settings, session.Context.StartDir,
                          TrimText(settings.ModelList[std::size_t(index)]));
        ApplyModelSettings(session, std::move(settings));
        return true;
    } catch (const XVclUtil::EConvertError& e) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", e.what());
    } catch (const XVclUtil::EXGeneral& e) {
        XVclUtil::ShowErrMsgBox_Printf(Msg::CaptionError, "%s", e.what());
    }
    return false;
}

bool ChangeModel(TEditorSession& session, const std::string& modelText) {
    const std::string name = TrimText(modelText);
    const std::vector<std::string>& list = session.Settings.ModelList;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (TrimText(list[i]) == name) return ChangeModelIndex(session, int(i));
    return false; // typed text that names no entry keeps the current model
}

} // namespace AppCore
