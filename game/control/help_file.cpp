// Opens the help file through the desktop's help viewer. Kept in a file of its own: the
// shell's header and the window framework's both speak the Windows names of ShowWindow.
#ifdef KIVRA_HAVE_SHELL
#include "platform/shell/shell.h"
#endif

void OpenHelpFile() {
#ifdef KIVRA_HAVE_SHELL
    // The default topic, no owner window and no further data; the viewer reports a missing
    // file itself.
    HtmlHelp(nullptr, "mavek.chm", HH_DISPLAY_TOPIC, 0);
#endif
}
