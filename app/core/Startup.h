#pragma once
// Start-up of the editor (the window's FormCreate without the widgets) and the lift-state
// picture defaults.

#include "app/core/TEditorSession.h"

#include <string>

namespace AppCore {

// Runs the start-up sequence with the given program folder and working directory. Returns true
// when it ran to the end (status panel 2 then shows the library names); false when it stopped
// early, with the reason shown through the message sink.
bool RunStartup(TEditorSession& session, const std::string& programDir,
                const std::string& startDir);

// Sets all 40 lift-state slots to their default pictures under programDir (not tested to exist).
void SetDefaultLiftStateImages(ProjectDocument& document, const std::string& programDir);
// Default picture file name of a slot, e.g. "ALARM-INV-128x32_EN.bmp".
std::string DefaultLiftStateFileName(int state, int variant);

// Loads the lift-state pictures into the 50 message-page boxes. Stops at the first picture that
// cannot be loaded and returns its path; empty when all loaded.
std::string ShowLiftStatePictures(TEditorSession& session);

// Writes the grid's fixed texts: header row and column 1 ("HEX (DEC)") are constant; this fills
// the bit column for the current model.
void RelabelBitColumn(TEditorSession& session);

// Releases the library buffers (FormDestroy).
void ReleaseLibraries(TEditorSession& session);

} // namespace AppCore
