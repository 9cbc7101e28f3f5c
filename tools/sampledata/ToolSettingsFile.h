#pragma once
// The sample tool settings file "KRVZKF780AS1.INI": the five models of the built-in list, each
// with its section, the picture library's name and a caption note.

#include <string>
#include <vector>

namespace SampleData {

struct TSampleModel {
    std::string Name;
    int OUTCPUBIN = 0;
    int CFI = 0; // written only when OUTCPUBIN is 1
    int IFI = 0;
    int BANK = 2;
    int OFFSET = 116;
    int SETOFFSET = 251;
};

const std::vector<TSampleModel>& SampleModels();
inline constexpr const char* SampleApNote = "Sample data";

// Writes the settings file to path through the INI engine (a fresh file, put in place by
// rename). Raises XVclUtil::EXGeneral when it cannot be written.
void WriteToolSettingsFile(const std::string& path);

} // namespace SampleData
