#include "tools/sampledata/ToolSettingsFile.h"

#include "tools/sampledata/SampleFiles.h"

#include "app/core/ToolSettings.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/ini/TXIniFile.h"

namespace SampleData {

const std::vector<TSampleModel>& SampleModels() {
    // KRV-BIN builds the configuration side file; KRV-LED shows the PM pairs the other way round.
    static const std::vector<TSampleModel> models = {
        {"KRV-RS", 0, 0, 0, 2, 116, 251},      {"KRV-CS", 0, 0, 0, 2, 116, 251},
        {"KRV-BIN", 1, 247, 248, 2, 116, 251}, {"KRV-GRY", 0, 0, 0, 2, 116, 251},
        {"KRV-LED", 0, 0, 0, 2, 251, 116},
    };
    return models;
}

void WriteToolSettingsFile(const std::string& path) {
    // The INI engine writes a file of its own name; its bytes then go to path through the
    // atomic writer, which keeps a link there a link and refuses a FIFO or a device.
    WriteThroughScratch(path, [](const std::string& scratch, std::string&) {
        try {
            XVclUtil::TXIniFile ini(scratch);
            const auto& models = SampleModels();
            ini.WriteInteger("GLOBAL", "VCN", static_cast<int>(models.size()));
            for (std::size_t n = 0; n < models.size(); ++n)
                ini.WriteString("GLOBAL", "ITEM" + std::to_string(n + 1), models[n].Name);
            ini.WriteString("GLOBAL", "GLB", AppCore::DefaultGlbFileName);
            ini.WriteString("GLOBAL", "UBFGLB", "");
            ini.WriteString("GLOBAL", "APNOTE", SampleApNote);
            for (const TSampleModel& m : models) {
                ini.WriteInteger(m.Name, "OUTCPUBIN", m.OUTCPUBIN);
                if (m.OUTCPUBIN == 1) {
                    ini.WriteInteger(m.Name, "CFI", m.CFI);
                    ini.WriteInteger(m.Name, "IFI", m.IFI);
                }
                ini.WriteInteger(m.Name, "BANK", m.BANK);
                ini.WriteInteger(m.Name, "OFFSET", m.OFFSET);
                ini.WriteInteger(m.Name, "SETOFFSET", m.SETOFFSET);
            }
            return ini.UpdateFile();
        } catch (const XVclUtil::EXGeneral&) {
            return false; // the INI engine has shown its own message
        }
    });
}

} // namespace SampleData
