#pragma once
// Message texts and captions of the editor's message boxes.

namespace AppCore::Msg {

inline constexpr const char* CaptionError = "Error";
inline constexpr const char* CaptionDataError = "Data error";
inline constexpr const char* CaptionFileError = "File error";
inline constexpr const char* CaptionOverlay = "Overlay file";
// Where the pictures of a moved project were found; a warning when a line starts with
// PictureMissing, else information.
inline constexpr const char* CaptionPictures = "Pictures of the project";
inline constexpr const char* PictureMissing = "Missing: ";

inline constexpr const char* SettingsNotFound = "KRVZKF780AS1.INI file not found!!\n\n";
inline constexpr const char* GlbNotFound = "GLB file not found!!\n\n";
inline constexpr const char* GlbTooLarge =
    "GLB file too large!!\n\n%s\nholds %llu bytes; a picture library holds at most 64 MB.\n";
inline constexpr const char* VcnTooLarge =
    "VCN=%d is more than %d models!!\n\nOnly ITEM1 to ITEM%d are read.\n";
inline constexpr const char* UbfNotFound = "User define BMP file not found!!\n\n";
inline constexpr const char* DateFieldError = "Date field data error!!\n";
inline constexpr const char* FileExistOverlay = "File exist!!\n\nOverlay?\n";
inline constexpr const char* ZkfFormatError = "ZKF file format error!!\n\n";
// A project file name under which nothing exists; %s the path, %s the system's reason.
inline constexpr const char* ZkfNotFound = "ZKF file not found!!\n\n%s\n(%s)\n";
// Why MAKE ROM refuses after a start-up that reported an error: %s the file, %s the reason.
inline constexpr const char* StartupIncomplete =
    "Error!!\n\nCannot make the ROM image: %s\n(%s)\n\nPlease check the working folder.!!\n";
inline constexpr const char* ZkfVersionError = "ZKF file version 1.0 not supported!!\n\n";
// A picture file the picture loader cannot read; %s is the path.
inline constexpr const char* PictureLoadError = "Picture file load error!!\n\n%s\n";

} // namespace AppCore::Msg
