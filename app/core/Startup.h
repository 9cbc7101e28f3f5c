#pragma once
// Start-up of the editor (the window's FormCreate without the widgets) and the lift-state
// picture defaults.

#include "app/core/TEditorSession.h"

#include <string>
#include <vector>

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

// Loads the lift-state pictures into the 50 message-page boxes and returns the paths that could
// not be loaded (empty when all loaded). With stopAtFailure it stops at the first failure.
std::vector<std::string> ShowLiftStatePictures(TEditorSession& session, bool stopAtFailure);

// Writes the grid's fixed texts: header row and column 1 ("HEX (DEC)") are constant; this fills
// the bit column for the current model.
void RelabelBitColumn(TEditorSession& session);

// Releases the library buffers (FormDestroy).
void ReleaseLibraries(TEditorSession& session);

} // namespace AppCore
