#pragma once
// Operations of the editor pages on the document: what the buttons, radio buttons and picture
// boxes do besides storing a value.

#include "app/core/PictureChecks.h"
#include "app/core/TEditorSession.h"

namespace AppCore {

enum class TCustomerPicture { TitleV, TitleH, Title2, Logo };

// Clear ALL: empties every code cell, forgets the title V and H files and shows library
// pictures (0, 0) and (0, 5) in their boxes, as MAKE ROM then builds them, and sets status
// panel 0 to "Project file: "; the project no longer has a file.
void ClearAll(TEditorSession& session);

// Right click on the grid: empties the selected cell (the caller clears the preview).
void ClearCell(ProjectDocument& document, int table, int code);

// "OFF" of "Customer Logo": logo off, seconds list disabled.
void LogoOff(TEditorSession& session);
// "ON (Sec.)": without a chosen logo, first the logo box's picture dialog; then logo on and the
// seconds list enabled, whether or not a file was chosen.
void LogoOn(TEditorSession& session);

// Click on a customer picture box: picture dialog; a confirmed file is loaded into the box and
// remembered. Returns true when a file was chosen.
bool PickCustomerPicture(TEditorSession& session, TCustomerPicture which);
// The same with the file given (dropped on the box): false when it cannot be read.
bool SetCustomerPicture(TEditorSession& session, TCustomerPicture which, const std::string& file);
// Double click on a message picture box: picture dialog; a confirmed file goes into slot
// 4s + v and is loaded into the box. Returns true when a file was chosen.
bool PickLiftStatePicture(TEditorSession& session, int state, int variant);

bool SetLiftStatePicture(TEditorSession& session, int state, int variant, const std::string& file);
// The picture dialogs' filter: "Bitmap file (*.bmp)" first, then PNG, then the other formats
// the picture loader reads (formats: lower-case extensions, as TUserPrompts::PictureFormats).
std::string PictureFileFilterAll(const std::vector<std::string>& formats);

// Radio groups: a value outside the group's range changes nothing and returns false.
bool SelectDefCodeTable(ProjectDocument& document, int table); // 0..5
bool SelectFloorStyle(ProjectDocument& document, int style);   // 0..4
bool SelectArrowStyle(ProjectDocument& document, int style);   // 0..11

// Click in the Make page's ROM file list: ROMFILENAME becomes the file's name without its folder.
void SelectRomFile(ProjectDocument& document, const std::string& path);

// Picture box number of a customer picture.
int CustomerPictureImage(TCustomerPicture which);
// The size the display gives a customer picture.
TPictureSize CustomerPictureSize(TCustomerPicture which);

} // namespace AppCore
