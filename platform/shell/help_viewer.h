// Inspection of help viewer windows, for tests and the scripted driver.
#pragma once

#include <string>

namespace shell {

// The page a viewer shows, as a path inside its help file ("/index.htm"); empty for a window
// that is not a viewer (the error window of a missing file).
std::string HelpViewerPage(void* viewer);
// The caption of the viewer or error window.
std::string HelpViewerCaption(void* viewer);
// The visible text of the page or of the error message.
std::string HelpViewerText(void* viewer);
// Follows a link of the page as a click on it would (relative to the page shown).
void HelpViewerFollowLink(void* viewer, const std::string& href);
// Number of help windows (viewers and error windows) open.
int HelpWindowCount();

}  // namespace shell
