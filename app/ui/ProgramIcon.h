#pragma once
// The program's icon (the window's and the About box's), read from its resource only when it
// is first drawn.

#include <QIcon>

namespace AppUi {

// The icon of the resource picture :/zkf780a.png. Setting it on a window costs no decoding:
// the PNG is read when a pixmap of the icon is first asked for (by the window system when it
// shows the window's icon, by the About box), not at start-up on platforms that never ask.
QIcon ProgramIcon();

} // namespace AppUi
