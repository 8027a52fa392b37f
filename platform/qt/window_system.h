// The choice of Qt's platform (X11 or Wayland) for the game's windows, made before Qt starts.
#pragma once

namespace afx {

// The platform the game's windows should use on this desktop, as a QT_QPA_PLATFORM value, or
// nullptr to leave the choice to Qt (or to the player, who set QT_QPA_PLATFORM).
const char* PreferredQtPlatform();
// Sets QT_QPA_PLATFORM to the preferred platform, when there is one.
void ChooseQtPlatform();

}  // namespace afx
